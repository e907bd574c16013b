// screen sizes: 1920x1080 1280x800
// A student joins the class from the login screen of the main window, against a class server
// and a teacher played here on loopback addresses.
#include "app/MainWidget.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "screens/LoginWidget.h"
#include "screens/ScreenPointers.h"
#include "screens/SettingWidget.h"
#include "screens/ToolbarButton.h"
#include "support/DialogAnswer.h"
#include "support/FakeClassServer.h"
#include "support/FakeTeacher.h"
#include "support/TestArtifacts.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

namespace {
const QHostAddress kServerAddress(QStringLiteral("127.0.0.2"));
const QHostAddress kOtherTeacherAddress(QStringLiteral("127.0.0.3"));
const QByteArray kTeacherQuery = "teacher@cXVlcnk=";
const QByteArray kTeacherIpQuery = "teacherIP@cXVlcnk=";

QByteArray loginBytes(const QString &teacher, const QString &name, const QByteArray &password)
{
    return FakeClassServer::command(
        "login@", teacher + ',' + name + ',' +
                      QCryptographicHash::hash(password, QCryptographicHash::Md5).toHex());
}

QImage svgImage(const char *name)
{
    ToolbarButton button(QString(), nullptr);
    button.setImage(QStringLiteral(":/res/res/") + name, false);
    return button.normalImage().toImage();
}
} // namespace

// Stands in for the book screens the login screen calls by name.
class StandInScreen : public QWidget
{
    Q_OBJECT
public:
    Q_INVOKABLE void LoadBooks() { ++loads; }
    Q_INVOKABLE void stopOpening() { ++stops; }
    int loads = 0;
    int stops = 0;
};

class TestJoining : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void refusedLogins();
    void studentJoinsAndRejoinsAfterADrop();
    void logoutAsksFirst();
    void logoutStopsTheRejoin();
    void teacherAddressForms();
    void sampleBookWithoutServer();
    void settingsReconnectToTheNewServer();

private:
    template <typename T> T *child(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    QPushButton *loginButton() const { return child<QPushButton>("loginButton"); }
    QComboBox *teachers() const { return child<QComboBox>("teacherCombo"); }
    void fill(const QString &name, const QString &password);
    // Logs in with the remembered teacher list and joins the teacher; true when joined.
    bool logInAndJoin();
    bool closeNotice(const QString &expected);

    FakeClassServer m_server;
    FakeTeacher m_teacher;
    FakePeer m_images;
    StandInScreen m_books;
    StandInScreen m_display;
    std::unique_ptr<MainWidget> m_window;
};

void TestJoining::initTestCase()
{
    QApplication::setFont(QFont(QStringLiteral("Arial"), 13));
    QVERIFY(m_server.listenOn(kServerAddress));
    QVERIFY(m_teacher.listenOn(kServerAddress));
    QVERIFY(m_images.listenOn(kServerAddress));
    const QString root = Settings::instance()->dataRoot();
    for (const char *file : {"setting.ini", "lang.cfg", "localBook/test.pdf"})
        QFile::remove(root + file);
    {
        QSettings ini(root + "setting.ini", QSettings::IniFormat);
        ini.setValue("init/Ip", kServerAddress.toString());
        ini.setValue("init/Port", QString::number(m_server.port()));
    }
    TcpManager::instance()->setTeacherPorts(m_teacher.port(), m_images.port());
    QVERIFY(ScreenPointers::setLocalBooksWidget(&m_books));
    QVERIFY(ScreenPointers::setDisplayWidget(&m_display));

    m_window = std::make_unique<MainWidget>();
    m_window->setGeometry(QGuiApplication::primaryScreen()->geometry());
    m_window->showFullScreen();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // The constructor's connection asks for the teacher list at once.
    QVERIFY(m_server.waitUntil([this] { return m_server.received() == kTeacherQuery; }));
    QCOMPARE(m_window->geometry(), QGuiApplication::primaryScreen()->geometry());
    QCOMPARE(m_window->stack()->currentIndex(), int(MainWidget::LoginPage));
    QVERIFY(TestArtifacts::saveScreen("login", m_window.get()));

    // The panel's spare height is shared out evenly above, between and below its five rows.
    const QMap<QString, QList<int>> rowTops = {{"1920x1080", {14, 106, 198, 311, 419}},
                                               {"1280x800", {7, 73, 139, 226, 313}}};
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
    QList<int> tops;
    for (const QString &text : {tr("Student Name:"), tr("Password:"), tr("Teacher:")}) {
        for (QLabel *label : m_window->loginWidget()->findChildren<QLabel *>()) {
            if (label->text() == text)
                tops << label->y();
        }
    }
    tops << qMin(loginButton()->y(), child<QPushButton>("exitButton")->y())
         << child<ToolbarButton>("settingButton")->y();
    if (rowTops.contains(size))
        QCOMPARE(tops, rowTops.value(size));
}

void TestJoining::fill(const QString &name, const QString &password)
{
    for (auto *edit : {child<QLineEdit>("nameEdit"), child<QLineEdit>("passwordEdit")})
        edit->clear();
    QTest::keyClicks(child<QLineEdit>("nameEdit"), name);
    QTest::keyClicks(child<QLineEdit>("passwordEdit"), password);
}

bool TestJoining::closeNotice(const QString &expected)
{
    auto *box = m_window->findChild<QMessageBox *>(QStringLiteral("notice"));
    if (!box || !box->isVisible() || box->text() != expected)
        return false;
    box->close();
    QTest::qWait(1);
    return true;
}

void TestJoining::refusedLogins()
{
    // A list without names lets the student type the teacher; a later list keeps that.
    m_server.sendCommand("teacher@", QString());
    QVERIFY(m_server.waitUntil([this] { return teachers()->isEditable(); }));
    QCOMPARE(teachers()->count(), 0);
    m_server.sendCommand("teacher@", QStringLiteral("T1,,T2"));
    QVERIFY(m_server.waitUntil([this] { return teachers()->count() == 2; }));
    QVERIFY(teachers()->isEditable());
    QCOMPARE(teachers()->currentText(), QStringLiteral("T1"));
    m_server.clearReceived();

    // An empty field does nothing; a comma in the name or teacher is refused before sending.
    fill(QString(), QStringLiteral("pw"));
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    fill(QStringLiteral("An,na"), QStringLiteral("pw"));
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    QVERIFY(closeNotice(tr("The name and the teacher must not contain \",\".")));
    fill(QStringLiteral("Anna"), QStringLiteral("pw"));
    teachers()->setEditText(QStringLiteral("T,1"));
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    QVERIFY(closeNotice(tr("The name and the teacher must not contain \",\".")));
    QTest::qWait(50);
    QCOMPARE(m_server.received(), QByteArray());

    // Refused by the server: the indicator goes and the student is told.
    LoginWidget *login = m_window->loginWidget();
    teachers()->setCurrentIndex(0);
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    QVERIFY(login->waitingDialog()->isVisible());
    // Below the form, across the middle of the window.
    const QWidget *setting = child<ToolbarButton>("settingButton");
    const QRect waiting = login->waitingDialog()->geometry();
    QVERIFY(waiting.top() >= setting->mapToGlobal(QPoint(0, setting->height())).y());
    QVERIFY(qAbs(waiting.center().x() - m_window->geometry().center().x()) <= 1);
    // Painted before the screen is taken.
    QVERIFY(QTest::qWaitForWindowExposed(login->waitingDialog()));
    QTest::qWait(200);
    QVERIFY(TestArtifacts::saveScreen("login_waiting", m_window.get()));
    QVERIFY(m_server.waitUntil(
        [this] { return m_server.received() == loginBytes("T1", "Anna", "pw"); }));
    m_server.sendCommand("login@", QStringLiteral("fail"));
    QVERIFY(m_server.waitUntil([login] { return !login->waitingDialog()->isVisible(); }));
    QVERIFY(closeNotice(tr("Login failed. Check the name, the password and the teacher.")));
    QVERIFY(!login->isLoggedIn());

    // No answer at all: the indicator gives up.
    auto *timer = login->findChild<QTimer *>(QStringLiteral("loginTimer"));
    timer->setInterval(200);
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    QVERIFY(login->waitingDialog()->isVisible());
    QVERIFY(m_server.waitUntil([login] { return !login->waitingDialog()->isVisible(); }));
    QVERIFY(closeNotice(tr("The class server did not answer. Try again.")));
    timer->setInterval(LoginWidget::LoginAnswerTimeoutMs);
    QCOMPARE(m_window->stack()->currentIndex(), int(MainWidget::LoginPage));
}

bool TestJoining::logInAndJoin()
{
    const int connections = m_teacher.connectionCount();
    m_server.clearReceived();
    m_teacher.clearFrames();
    fill(QStringLiteral("Anna"), QStringLiteral("pw"));
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    if (!m_server.waitUntil(
            [this] { return m_server.received().contains(loginBytes("T1", "Anna", "pw")); }))
        return false;
    m_server.clearReceived();
    m_server.sendCommand("login@", QStringLiteral("success"));
    if (!m_server.waitUntil([this] { return m_server.received().contains(kTeacherIpQuery); }))
        return false;
    // "127.0.0.1" stands for the class server's own address.
    m_server.sendCommand("teacherIP@", QStringLiteral("T1#127.0.0.1"));
    if (!m_teacher.waitUntil([&] { return m_teacher.connectionCount() > connections; }) ||
        !m_teacher.waitForFrames(1))
        return false;
    m_teacher.sendFrame("information@", "");
    return m_teacher.waitForFrames(2) && TcpManager::instance()->m_bTeacherConnected;
}

void TestJoining::studentJoinsAndRejoinsAfterADrop()
{
    QSignalSpy jumps(m_window->loginWidget(), SIGNAL(jumpLocalbook()));
    const int stops = m_display.stops;
    QVERIFY(logInAndJoin());
    QCOMPARE(m_teacher.frameTexts(), (QList<QByteArray>{"information@Anna", "query@status"}));
    QCOMPARE(jumps.count(), 1);
    QCOMPARE(m_display.stops, stops + 1);
    QCOMPARE(QSettings(Settings::instance()->dataRoot() + "setting.ini", QSettings::IniFormat)
                 .value("init/StudentName")
                 .toString(),
             QStringLiteral("Anna"));
    QCOMPARE(m_window->stack()->currentIndex(), int(MainWidget::LocalBooksPage));
    QCOMPARE(loginButton()->text(), tr("Logout"));
    QCOMPARE(child<ToolbarButton>("Login_offline.svg")->normalImage().toImage(),
             svgImage("Login.svg"));
    QCOMPARE(m_window->statusLabel()->pixmap(Qt::ReturnByValue).toImage(), svgImage("Online.svg"));
    QVERIFY(!child<ToolbarButton>("eBook.svg")->isEnabled());
    QVERIFY(!child<ToolbarButton>("eBook Manager.svg")->isEnabled());

    // The teacher drops; the main window marks the re-join and asks the server for the list.
    m_window->onSwitchEBook();
    m_teacher.closeConnection();
    QVERIFY(m_teacher.waitUntil([] { return !TcpManager::instance()->m_bTeacherConnected; }));
    Settings::instance()->m_bReconnecting = true;
    m_server.clearReceived();
    m_teacher.clearFrames();
    TcpManager::instance()->queryTeacherList();
    QVERIFY(m_server.waitUntil([this] { return m_server.received().contains(kTeacherQuery); }));
    m_server.clearReceived();
    // The remembered teacher, twice in the list: one login.
    m_server.sendCommand("teacher@", QStringLiteral("T2,T1,T1"));
    QVERIFY(m_server.waitUntil(
        [this] { return m_server.received() == loginBytes("T1", "Anna", "pw"); }));
    QVERIFY(!m_window->loginWidget()->waitingDialog()->isVisible());
    QTest::qWait(100);
    QCOMPARE(m_server.received().count("login@"), 1);
    m_server.clearReceived();
    m_server.sendCommand("login@", QStringLiteral("success"));
    QVERIFY(m_server.waitUntil([this] { return m_server.received().contains(kTeacherIpQuery); }));
    m_server.sendCommand("teacherIP@", QStringLiteral("T1#127.0.0.1"));
    QVERIFY(m_teacher.waitForFrames(1));
    QCOMPARE(m_teacher.frameTexts().first(), QByteArray("information@Anna"));
    m_teacher.sendFrame("information@", "");
    QVERIFY(m_teacher.waitUntil([] { return !Settings::instance()->m_bReconnecting; }));
    QCOMPARE(jumps.count(), 1);
    QCOMPARE(m_window->stack()->currentIndex(), int(MainWidget::EBookPage));
}

void TestJoining::logoutAsksFirst()
{
    QVERIFY(TcpManager::instance()->m_bTeacherConnected);
    {
        DialogAnswer no(QStringLiteral("no"));
        QTest::mouseClick(loginButton(), Qt::LeftButton);
        QVERIFY(no.answered());
        QCOMPARE(no.text(), tr("Sure to Logout?"));
    }
    QTest::qWait(50);
    QVERIFY(m_server.isConnected() && m_teacher.isConnected());
    QCOMPARE(loginButton()->text(), tr("Logout"));

    const int stops = m_display.stops;
    DialogAnswer yes(QStringLiteral("yes"));
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    QVERIFY(yes.answered());
    QCOMPARE(m_display.stops, stops + 1);
    QVERIFY(m_server.waitForDisconnected());
    QVERIFY(m_teacher.waitForDisconnected());
    QCOMPARE(loginButton()->text(), tr("Login"));
    QCOMPARE(child<ToolbarButton>("Login_offline.svg")->normalImage().toImage(),
             svgImage("Login_offline.svg"));
}

void TestJoining::logoutStopsTheRejoin()
{
    // Back in: the server connection comes up again and the list is shown.
    TcpManager::instance()->connectToServer();
    QVERIFY(m_server.waitUntil([this] { return m_server.received().endsWith(kTeacherQuery); }));
    m_server.sendCommand("teacher@", QStringLiteral("T1"));
    QVERIFY(m_server.waitUntil([this] { return teachers()->count() == 1; }));
    QVERIFY(logInAndJoin());

    // Teacher and server both drop while the re-join runs: the button still offers logout.
    m_teacher.closeConnection();
    QVERIFY(m_teacher.waitUntil([] { return !TcpManager::instance()->m_bTeacherConnected; }));
    Settings::instance()->m_bReconnecting = true;
    m_server.closeConnection();
    QVERIFY(m_server.waitUntil([] { return !TcpManager::instance()->m_bServerConnected; }));
    QCOMPARE(loginButton()->text(), tr("Logout"));
    QSignalSpy stopped(m_window->loginWidget(), SIGNAL(reconnectStopped()));
    DialogAnswer yes(QStringLiteral("yes"));
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    QVERIFY(yes.answered());
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!Settings::instance()->m_bReconnecting);
    QCOMPARE(loginButton()->text(), tr("Login"));

    // A list that comes later is only shown.
    m_server.clearReceived();
    TcpManager::instance()->connectToServer();
    QVERIFY(m_server.waitUntil([this] { return m_server.received().endsWith(kTeacherQuery); }));
    m_server.sendCommand("teacher@", QStringLiteral("T1"));
    QTest::qWait(150);
    QVERIFY(!m_server.received().contains("login@"));
}

void TestJoining::teacherAddressForms()
{
    FakeTeacher other;
    QVERIFY(other.listenOn(kOtherTeacherAddress, m_teacher.port()));
    QSignalSpy jumps(m_window->loginWidget(), SIGNAL(jumpLocalbook()));
    const struct
    {
        const char *reply;
        bool reconnecting;
        FakeTeacher *reached; // null: no teacher connection
        bool jumps;
    } forms[] = {
        {"", false, nullptr, false},
        {"T1", false, nullptr, true},
        {"T1", true, nullptr, true},
        {"T1#", false, nullptr, true},
        {"T1#", true, nullptr, false},
        {"T1#not an address", false, nullptr, true},
        {"T1#127.0.0.1", false, &m_teacher, false},
        {"T1#127.0.0.3#later#fields", false, &other, false},
    };
    for (const auto &form : forms) {
        const QString what =
            QString::fromLatin1(form.reply) + (form.reconnecting ? " (re-join)" : "");
        TcpManager::instance()->teacherSocket()->abort();
        Settings::instance()->m_bReconnecting = form.reconnecting;
        const int before[2] = {m_teacher.connectionCount(), other.connectionCount()};
        jumps.clear();
        QSignalSpy answers(TcpManager::instance(), SIGNAL(queryTeacherIpResult(QString)));
        m_server.sendCommand("teacherIP@", QString::fromLatin1(form.reply));
        if (form.reached) {
            const int was = form.reached == &m_teacher ? before[0] : before[1];
            QVERIFY2(form.reached->waitUntil([&] { return form.reached->connectionCount() > was; }),
                     qPrintable(what));
        } else {
            // Handled; a connection it started would come up meanwhile.
            QVERIFY2(answers.wait(FakePeer::kWaitMs), qPrintable(what));
            QTest::qWait(100);
        }
        QCOMPARE(m_teacher.connectionCount() + other.connectionCount(),
                 before[0] + before[1] + (form.reached ? 1 : 0));
        QVERIFY2(jumps.count() == (form.jumps ? 1 : 0), qPrintable(what));
    }
    TcpManager::instance()->teacherSocket()->abort();
    QApplication::processEvents();
    // The drops above started a re-join of the teacher: end it as a kick does.
    m_window->onTeacherKick();
    QVERIFY(!Settings::instance()->m_bReconnecting);
}

void TestJoining::sampleBookWithoutServer()
{
    const QString copy = Settings::instance()->localBookDir() + "test.pdf";
    QFile sample(":/res/res/test.pdf");
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QByteArray bytes = sample.readAll();
    QSignalSpy jumps(m_window->loginWidget(), SIGNAL(jumpLocalbook()));
    m_server.clearReceived();
    fill(LoginWidget::SampleName, QString());
    for (int press = 0; press < 2; ++press) {
        QTest::mouseClick(loginButton(), Qt::LeftButton);
        QFile book(copy);
        QVERIFY(book.open(QIODevice::ReadOnly));
        QCOMPARE(book.readAll(), bytes);
        book.close();
        QCOMPARE(jumps.count(), press + 1);
        QCOMPARE(m_books.loads, press + 1);
        // The second press writes the copy again over a spoiled one.
        QVERIFY(book.open(QIODevice::WriteOnly | QIODevice::Truncate));
        book.write("spoiled");
    }
    QTest::qWait(50);
    QCOMPARE(m_server.received(), QByteArray());

    // One letter in another case is an ordinary name.
    fill(QStringLiteral("Velmora"), QString());
    QTest::mouseClick(loginButton(), Qt::LeftButton);
    QCOMPARE(jumps.count(), 2);
}

void TestJoining::settingsReconnectToTheNewServer()
{
    FakeClassServer moved;
    QVERIFY(moved.listen());
    m_window->stack()->setCurrentIndex(MainWidget::LoginPage);
    fill(QStringLiteral("Anna"), QString());
    QTest::mouseClick(child<ToolbarButton>("settingButton"), Qt::LeftButton);
    SettingWidget *settings = m_window->loginWidget()->settingWidget();
    QVERIFY(QTest::qWaitForWindowExposed(settings));
    QCOMPARE(settings->findChild<QLineEdit *>("ipEdit")->text(), kServerAddress.toString());
    QCOMPARE(settings->findChild<QLineEdit *>("portEdit")->text(),
             QString::number(m_server.port()));
    QVERIFY(TestArtifacts::saveScreen("settings", settings));

    settings->findChild<QLineEdit *>("ipEdit")->setText(" 127.0.0.1 ");
    settings->findChild<QLineEdit *>("portEdit")->setText(QString::number(moved.port()));
    QTest::mouseClick(settings->findChild<QPushButton *>("okButton"), Qt::LeftButton);
    QVERIFY(!settings->isVisible());
    QCOMPARE(teachers()->count(), 0);
    QVERIFY(moved.waitUntil([&] { return moved.received() == kTeacherQuery; }));
    QCOMPARE(TcpManager::instance()->m_strIp, QStringLiteral("127.0.0.1"));
}

QTEST_MAIN(TestJoining)
#include "tst_joining.moc"
