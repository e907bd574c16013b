#include "screens/LoginWidget.h"

#include "link/SafeFileWriter.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "screens/CRMessageBox.h"
#include "screens/LineEdit.h"
#include "screens/NoticeBox.h"
#include "screens/ScreenPointers.h"
#include "screens/SettingWidget.h"
#include "screens/ToolbarButton.h"

#include <QComboBox>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

const char *const LoginWidget::SampleName = "velmora";

namespace {
const char *const kSampleBook = ":/res/res/test.pdf";

QString iniPath()
{
    return Settings::instance()->dataRoot() + QStringLiteral("setting.ini");
}

QHBoxLayout *row(QWidget *first, QWidget *second)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first);
    layout->addWidget(second);
    return layout;
}
} // namespace

LoginWidget::LoginWidget(QWidget *parent) : QWidget(parent), m_WaitingDialog(nullptr)
{
    m_WaitingDialog.hide();
    m_bLogin = false;

    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window,
                 QBrush(QPixmap(QStringLiteral(":/res/res/background-01.jpg"))));
    setPalette(pal);

    m_LoginTimer = new QTimer(this);
    m_LoginTimer->setObjectName(QStringLiteral("loginTimer"));
    m_LoginTimer->setSingleShot(true);
    m_LoginTimer->setInterval(LoginAnswerTimeoutMs);
    connect(m_LoginTimer, &QTimer::timeout, this, &LoginWidget::onLoginTimeout);

    buildPanel();

    TcpManager *tcp = TcpManager::instance();
    connect(m_btnLogin, SIGNAL(clicked()), this, SLOT(onOk()));
    connect(tcp, SIGNAL(connecttoServerResult(bool)), this, SLOT(onconnectServerResult(bool)));
    connect(tcp, SIGNAL(updateTeacherList(QStringList)), this,
            SLOT(onUpdateTeacherList(QStringList)));
    connect(tcp, SIGNAL(sendLoginResult(bool)), this, SLOT(onLoginResult(bool)));
    connect(tcp, SIGNAL(queryTeacherIpResult(QString)), this, SLOT(onTeacherIpResult(QString)));
    connect(tcp, SIGNAL(loginFail()), this, SLOT(onLoginFail()));
    m_SettingWidget = new SettingWidget(this);
    connect(m_btnSetting, SIGNAL(clicked()), this, SLOT(onBtnSetting()));
    connect(m_SettingWidget, SIGNAL(reloadSettings()), this, SLOT(onReloadSettings()));

    if (QFile::exists(iniPath())) {
        QSettings ini(iniPath(), QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("init"));
        m_NameEdit->setText(ini.value(QStringLiteral("StudentName")).toString());
        ini.endGroup();
    }
    tcp->connectToServer();
}

LoginWidget::~LoginWidget() = default;

void LoginWidget::buildPanel()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QSize panelSize(333, 300);
    if (screen.width() >= 1280 && screen.height() >= 800)
        panelSize = QSize(int(0.26 * screen.width()), int(0.46 * screen.height()));
    const QSize labelSize(int(0.4 * panelSize.width()), int(0.15 * panelSize.height()));
    const QSize fieldSize(int(0.6 * panelSize.width()), int(0.126 * panelSize.height()));

    m_Panel = new QWidget(this);
    m_Panel->setObjectName(QStringLiteral("loginPanel"));
    m_Panel->setFixedSize(panelSize);

    QLabel *labels[3];
    const QString texts[3] = {tr("Student Name:"), tr("Password:"), tr("Teacher:")};
    for (int i = 0; i < 3; ++i) {
        labels[i] = new QLabel(texts[i]);
        labels[i]->setFixedSize(labelSize);
        labels[i]->setWordWrap(true);
        // Long translations wrap before they touch the field.
        labels[i]->setContentsMargins(0, 0, 6, 0);
    }
    m_NameEdit = new LineEdit;
    m_NameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_NameEdit->setStyleSheet(QStringLiteral("font-size : 16px"));
    m_PasswordEdit = new LineEdit;
    m_PasswordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_PasswordEdit->setEchoMode(QLineEdit::Password);
    m_TeacherCombo = new QComboBox;
    m_TeacherCombo->setObjectName(QStringLiteral("teacherCombo"));
    for (QWidget *field :
         {static_cast<QWidget *>(m_NameEdit), static_cast<QWidget *>(m_PasswordEdit),
          static_cast<QWidget *>(m_TeacherCombo)})
        field->setFixedSize(fieldSize);
    m_TeacherCombo->setItemDelegate(new QStyledItemDelegate(m_TeacherCombo));
    m_TeacherCombo->setStyleSheet(
        QStringLiteral("QComboBox QAbstractItemView::item{min-height: %1px}")
            .arg(fieldSize.height()));

    m_btnLogin = new QPushButton(tr("Login"));
    m_btnLogin->setObjectName(QStringLiteral("loginButton"));
    m_btnLogin->setAttribute(Qt::WA_TranslucentBackground);
    m_btnLogin->setFixedSize(labelSize);
    auto *btnExit = new QPushButton(tr("Exit"));
    btnExit->setObjectName(QStringLiteral("exitButton"));
    btnExit->setFixedSize(130, 60);
    if (QWidget *main = ScreenPointers::mainWidget())
        connect(btnExit, SIGNAL(clicked()), main, SLOT(close()));
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(0);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addWidget(m_btnLogin, 0, Qt::AlignLeft);
    buttonRow->addWidget(btnExit, 0, Qt::AlignLeft);
    buttonRow->addStretch();

    m_btnSetting = new ToolbarButton(QString());
    m_btnSetting->setObjectName(QStringLiteral("settingButton"));
    m_btnSetting->setImageSize(fieldSize.height(), fieldSize.height());
    m_btnSetting->setImage(QStringLiteral(":/res/res/Setting.svg"), false);
    m_btnSetting->setImage(QStringLiteral(":/res/res/Setting.svg"), true);
    auto *settingRow = new QHBoxLayout;
    settingRow->setContentsMargins(0, 0, 0, 0);
    settingRow->addWidget(m_btnSetting, 0, Qt::AlignLeft);

    auto *layout = new QVBoxLayout(m_Panel);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row(labels[0], m_NameEdit));
    layout->addSpacing(4);
    layout->addLayout(row(labels[1], m_PasswordEdit));
    layout->addSpacing(4);
    layout->addLayout(row(labels[2], m_TeacherCombo));
    layout->addSpacing(25);
    layout->addLayout(buttonRow);
    layout->addSpacing(20);
    // No stretch: the spare height is shared out evenly above, between and below the rows.
    layout->addLayout(settingRow);

    auto *screenLayout = new QVBoxLayout(this);
    screenLayout->addStretch();
    screenLayout->addWidget(m_Panel, 0, Qt::AlignCenter);
    screenLayout->addStretch();
}

void LoginWidget::setLoginState(bool loggedIn)
{
    m_bLogin = loggedIn;
    // While the last teacher is being joined again, the button offers to stop that.
    const bool logout = loggedIn || Settings::instance()->m_bReconnecting;
    m_btnLogin->setText(logout ? tr("Logout") : tr("Login"));
}

void LoginWidget::saveToInipath(const QString &name)
{
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("init"));
    ini.setValue(QStringLiteral("StudentName"), name);
    ini.endGroup();
    ini.sync();
    qDebug() << "saveToInipath = " << iniPath();
}

void LoginWidget::callScreen(QWidget *screen, const char *method)
{
    if (screen && !QMetaObject::invokeMethod(screen, method))
        qDebug() << "LoginWidget: screen has no" << method;
}

void LoginWidget::onconnectServerResult(bool ok)
{
    if (ok)
        TcpManager::instance()->queryTeacherList();
}

void LoginWidget::onUpdateTeacherList(QStringList teachers)
{
    m_TeacherCombo->clear();
    QStringList names;
    for (const QString &name : teachers) {
        if (!name.isEmpty())
            names << name;
    }
    if (names.isEmpty()) {
        qDebug() << "no teacher,set editable";
        m_TeacherCombo->setEditable(true);
        return;
    }
    if (names.size() > MaxTeachers) {
        qDebug() << "teacher list of" << names.size() << "names cut to" << MaxTeachers;
        names = names.mid(0, MaxTeachers);
    }
    m_TeacherCombo->addItems(names);
    if (!Settings::instance()->m_bReconnecting || m_strTeacher.isEmpty())
        return;
    qDebug() << "onUpdateTeacherList() reconnect to last teacher";
    const int at = names.indexOf(m_strTeacher);
    if (at < 0)
        return;
    if (m_bLoginPending) {
        qDebug() << "reconnect login still waiting for its answer";
        return;
    }
    m_TeacherCombo->setCurrentIndex(at);
    runLogin();
}

void LoginWidget::onOk()
{
    // Logged in, or the last teacher being joined again: the button logs out.
    if (m_bLogin || Settings::instance()->m_bReconnecting) {
        askLogout();
        return;
    }
    runLogin();
}

void LoginWidget::askLogout()
{
    CRMessageBox box(this);
    box.setMessage(tr("Logout"), tr("Sure to Logout?"));
    box.centerOnMainWidget();
    if (box.exec() != QDialog::Accepted)
        return;
    callScreen(ScreenPointers::displayWidget(), "stopOpening");
    Settings *settings = Settings::instance();
    if (settings->m_bReconnecting) {
        qDebug() << "reconnect to last teacher stopped by logout";
        settings->m_bReconnecting = false;
        emit reconnectStopped();
    }
    loginFinished();
    TcpManager::instance()->logout();
    setLoginState(false);
}

void LoginWidget::runLogin()
{
    const QString name = m_NameEdit->text();
    if (name.isEmpty())
        return;
    if (name == QLatin1String(SampleName)) {
        saveToInipath(name);
        copySampleBook();
        callScreen(ScreenPointers::localBooksWidget(), "LoadBooks");
        emit jumpLocalbook();
        return;
    }
    const QString password = m_PasswordEdit->text();
    const QString teacher = m_TeacherCombo->currentText();
    if (password.isEmpty() || teacher.isEmpty())
        return;
    // The login text separates teacher, name and password hash with ",".
    if (name.contains(QLatin1Char(',')) || teacher.contains(QLatin1Char(','))) {
        qDebug() << "login refused: a comma in the name or the teacher";
        NoticeBox::show(this, tr("Login"), tr("The name and the teacher must not contain \",\"."));
        return;
    }
    callScreen(ScreenPointers::displayWidget(), "stopOpening");
    saveToInipath(name);
    m_strTeacher = teacher;
    m_bLoginPending = true;
    m_LoginTimer->start();
    TcpManager::instance()->login(teacher, name, password);
    if (Settings::instance()->m_bReconnecting)
        return;
    m_bStudentWaiting = true;
    showWaiting();
}

// Centred across the main window, in the free band below the form, so it hides no field.
void LoginWidget::showWaiting()
{
    QWidget *main = ScreenPointers::mainWidget();
    const int areaWidth =
        main ? main->width() : QGuiApplication::primaryScreen()->geometry().width();
    const int formBottom = m_btnSetting->mapToGlobal(QPoint(0, m_btnSetting->height())).y();
    const int panelBottom = m_Panel->mapToGlobal(QPoint(0, m_Panel->height())).y();
    const int gap = qMax(0, panelBottom - formBottom - m_WaitingDialog.height());
    m_WaitingDialog.show();
    m_WaitingDialog.move((areaWidth - m_WaitingDialog.width()) / 2, formBottom + gap / 2);
}

void LoginWidget::copySampleBook()
{
    QFile sample(QString::fromLatin1(kSampleBook));
    if (!sample.open(QIODevice::ReadOnly)) {
        qDebug() << "sample book not readable";
        return;
    }
    const QByteArray bytes = sample.readAll();
    sample.close();
    SafeFileWriter::write(Settings::instance()->localBookDir() + QStringLiteral("test.pdf"), bytes,
                          "copySampleBook");
}

// The login got its answer, gave up or was dropped: nothing waits any more.
void LoginWidget::loginFinished()
{
    m_bLoginPending = false;
    m_bStudentWaiting = false;
    m_LoginTimer->stop();
    m_WaitingDialog.hide();
}

void LoginWidget::onLoginResult(bool ok)
{
    const bool studentWaiting = m_bStudentWaiting;
    loginFinished();
    qDebug() << "login server res=" << ok;
    if (!ok) {
        if (studentWaiting)
            NoticeBox::show(this, tr("Login"),
                            tr("Login failed. Check the name, the password and the teacher."));
        return;
    }
    setLoginState(true);
    if (!Settings::instance()->m_bReconnecting)
        emit jumpLocalbook();
    TcpManager::instance()->queryTeacherIp();
}

void LoginWidget::onLoginTimeout()
{
    const bool studentWaiting = m_bStudentWaiting;
    loginFinished();
    qDebug() << "login answer did not come";
    if (studentWaiting)
        NoticeBox::show(this, tr("Login"), tr("The class server did not answer. Try again."));
}

void LoginWidget::onLoginFail()
{
    const bool studentWaiting = m_bStudentWaiting;
    loginFinished();
    if (studentWaiting)
        NoticeBox::show(this, tr("Login"), tr("The class server did not answer. Try again."));
}

void LoginWidget::onTeacherIpResult(QString reply)
{
    qDebug() << "query Teacher Ip Result=" << reply.left(256);
    if (reply.isEmpty())
        return;
    const bool reconnecting = Settings::instance()->m_bReconnecting;
    const QStringList fields = reply.split(QLatin1Char('#'));
    if (fields.size() < 2) {
        qDebug() << "teacher is not online  2";
        emit jumpLocalbook();
        return;
    }
    TcpManager *tcp = TcpManager::instance();
    QString address = fields.at(1);
    // The class server's own address, as the student's settings name it (an address or a name).
    if (address == QLatin1String("127.0.0.1"))
        address = tcp->m_strIp.trimmed();
    else if (!address.isEmpty() && QHostAddress(address).isNull()) {
        qDebug() << "teacher address not usable" << address.left(64);
        address.clear();
    }
    if (address.isEmpty()) {
        qDebug() << "teacher is not online  1  reconnect?=" << reconnecting;
        if (!reconnecting)
            emit jumpLocalbook();
        return;
    }
    tcp->connectToTeacher(address);
}

void LoginWidget::onBtnSetting()
{
    m_SettingWidget->loadSetting();
    m_SettingWidget->move((width() - m_SettingWidget->width()) / 2,
                          (height() - m_SettingWidget->height()) / 2 + 50);
    m_SettingWidget->show();
    m_SettingWidget->raise();
}

void LoginWidget::onReloadSettings()
{
    qDebug() << "onReloadSettings";
    m_TeacherCombo->clear();
    TcpManager *tcp = TcpManager::instance();
    tcp->disconnectFromServer();
    tcp->initIpandPort();
    tcp->connectToServer();
}
