// screen sizes: 1920x1080
// The program as it ships, started on a bare X server and driven with xdotool against a class
// server played here. Each later step of a lesson adds its own function below.
#include "support/FakeClassServer.h"
#include "support/ProgramRunner.h"
#include "support/TestArtifacts.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QtTest>

namespace {
#if defined(__SANITIZE_ADDRESS__)
const int kStartBudgetMs = 8000; // instrumented builds start several times slower
#else
const int kStartBudgetMs = 2000;
#endif
const int kToolbarHeight = 62;

// Where the login screen puts its fields on a screen of the given size.
struct LoginLayout
{
    explicit LoginLayout(const QRect &screen)
    {
        QSize panel(333, 300);
        if (screen.width() >= 1280 && screen.height() >= 800)
            panel = QSize(int(0.26 * screen.width()), int(0.46 * screen.height()));
        const int labelWidth = int(0.4 * panel.width());
        const int rowHeight = int(0.15 * panel.height());
        const int fieldWidth = int(0.6 * panel.width());
        const QPoint origin((screen.width() - panel.width()) / 2,
                            kToolbarHeight +
                                (screen.height() - kToolbarHeight - panel.height()) / 2);
        // Left third of a field: clear of its keyboard button.
        const auto field = [&](int row) {
            return origin +
                   QPoint(labelWidth + fieldWidth / 3, row * (rowHeight + 4) + rowHeight / 2);
        };
        name = field(0);
        password = field(1);
        teacher = field(2);
        const int buttonRowHeight = qMax(rowHeight, 60);
        login = origin + QPoint(labelWidth / 2, 3 * rowHeight + 8 + 25 + buttonRowHeight / 2);
    }
    QPoint name, password, teacher, login;
};
} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!ProgramRunner::xdotool({QStringLiteral("version")}).isNull(),
                 "xdotool is missing (scripts/install-deps.sh installs it)");
        QVERIFY(m_server.listen());
        QVERIFY(m_program.writeSettings(QStringLiteral("127.0.0.1"), m_server.port()));
    }

    void joiningTheClass()
    {
        QElapsedTimer clock;
        clock.start();
        QVERIFY(m_program.start());
        const QByteArray query = "teacher@cXVlcnk=";
        QVERIFY2(m_server.waitUntil([&] { return m_server.received() == query; }, kStartBudgetMs),
                 m_program.output().right(2000).constData());
        QVERIFY(clock.elapsed() <= kStartBudgetMs);

        // Full screen without a window manager.
        QRect window;
        QVERIFY(m_program.waitForWindow(&window));
        QCOMPARE(window, ProgramRunner::screenGeometry());

        m_server.clearReceived();
        QVERIFY(m_server.sendCommand("teacher@", QStringLiteral("Ms Kowalski,Mr Brandt")));
        QTest::qWait(300); // the list reaches the screen
        const LoginLayout layout(window);
        QVERIFY(m_program.click(layout.name));
        QVERIFY(m_program.type(QStringLiteral("Anna")));
        QVERIFY(m_program.click(layout.password));
        QVERIFY(m_program.type(QStringLiteral("secret 1")));
        QVERIFY(m_program.click(layout.login));

        const QByteArray login = FakeClassServer::command(
            "login@", QStringLiteral("Ms Kowalski,Anna,") +
                          QCryptographicHash::hash("secret 1", QCryptographicHash::Md5).toHex());
        QVERIFY2(m_server.waitUntil([&] { return m_server.received() == login; }),
                 m_server.received().constData());
        QCOMPARE(m_program.readSetting(QStringLiteral("StudentName")), QStringLiteral("Anna"));
        QVERIFY(TestArtifacts::saveScreen(QStringLiteral("program_login")));

        // Accepted: the program asks where the teacher is.
        m_server.clearReceived();
        QVERIFY(m_server.sendCommand("login@", QStringLiteral("success")));
        QVERIFY(m_server.waitUntil([&] { return m_server.received() == "teacherIP@cXVlcnk="; }));
        QVERIFY(m_program.isRunning());
    }

    void cleanupTestCase() { m_program.stop(); }

private:
    FakeClassServer m_server;
    ProgramRunner m_program;
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
