#include "link/ClassServerConnection.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "support/ClassServerLink.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
QByteArray command(const QByteArray &word, const QString &argument)
{
    return FakeClassServer::command(word, argument);
}

QByteArray book(int size)
{
    return FakeClassServer::book(size);
}

// A class-server link that also offers a book on request.
struct Server : ClassServerLink
{
    using ClassServerLink::ClassServerLink;

    // Asks for a book and answers with its size; returns the ready request that follows, or
    // nothing when the download ended there.
    QString offer(const QString &path, const QString &size)
    {
        server.clearReceived();
        tcp.downloadBooks(path);
        if (!asked({"download@" + path}) || !answer(command("download@", path + '#' + size)))
            return "<no answer>";
        server.waitUntil([&] { return !server.requests().isEmpty() || !log.isEmpty(); });
        const QStringList requests = server.requests();
        server.clearReceived();
        return requests.value(0);
    }
};

QString md5(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

} // namespace

class TestClassServer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void settingsFile();
    void portFallback_data();
    void portFallback();
    void requestBytes();
    void loginBeforeConnection();
    void answers();
    void loginRefused();
    void downloadInChunks();
    void surplusIsNextAnswer();
    void retriesThenFailure();
    void downloadFaults_data();
    void downloadFaults();
    void unmatchedAnswersIgnored();
    void everyDownloadHasAnOutcome();
    void refusedOrSilentRequestEnds();
    void backslashPathStaysInFolder();
    void dropMidDownload();
    void serverDisconnect();
};

void TestClassServer::init()
{
    Server::emptyBookDir();
}

void TestClassServer::settingsFile()
{
    const QString ini = Settings::instance()->dataRoot() + "setting.ini";
    QFile::remove(ini);
    TcpManager tcp;
    QVERIFY(QFile::exists(ini));
    QSettings s(ini, QSettings::IniFormat);
    QCOMPARE(s.value("init/Port").toString(), QStringLiteral("5502"));
    QVERIFY(!s.value("init/Ip").toString().isEmpty());
    QCOMPARE(tcp.m_strPort, QStringLiteral("5502"));
    QCOMPARE(tcp.m_strIp, s.value("init/Ip").toString());
}

void TestClassServer::portFallback_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("used");
    QTest::newRow("absent") << QString() << "5502";
    QTest::newRow("valid") << "6001"
                           << "6001";
    QTest::newRow("zero") << "0"
                          << "5502";
    QTest::newRow("too big") << "70000"
                             << "5502";
    QTest::newRow("negative") << "-1"
                              << "5502";
    QTest::newRow("text") << "abc"
                          << "5502";
}

void TestClassServer::portFallback()
{
    QFETCH(QString, port);
    QFETCH(QString, used);
    const QString ini = Settings::instance()->dataRoot() + "setting.ini";
    QFile::remove(ini);
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue("init/Ip", "10.1.2.3");
        if (!port.isNull())
            s.setValue("init/Port", port);
    }
    TcpManager tcp;
    QCOMPARE(tcp.m_strIp, QStringLiteral("10.1.2.3"));
    QCOMPARE(tcp.m_strPort, used);
    QFile::remove(ini);
}

void TestClassServer::requestBytes()
{
    Server s;
    s.tcp.queryTeacherList();
    s.tcp.queryTeacherIp();
    s.tcp.queryBook(); // logged out: nothing
    s.tcp.login(QStringLiteral("T1"), QStringLiteral("Anna"), QStringLiteral("pässwörd"));
    s.tcp.downloadBooks(QStringLiteral("books/数学/a.pdf"));
    s.tcp.readyDownloadBooks(QStringLiteral("books/a.pdf"));
    const QByteArray expected = QByteArray("teacher@cXVlcnk=") + "teacherIP@cXVlcnk=" +
                                command("login@", "T1,Anna," + md5(QStringLiteral("pässwörd"))) +
                                command("download@", QStringLiteral("books/数学/a.pdf")) +
                                command("download@", "ready#books/a.pdf");
    QVERIFY(s.server.waitForBytes(expected.size()));
    QCOMPARE(s.server.received(), expected);
    QCOMPARE(md5(QStringLiteral("pässwörd")).size(), 32);
    QVERIFY(!s.server.received().contains("pässwörd"));
}

void TestClassServer::loginBeforeConnection()
{
    Server s(false);
    s.tcp.m_strIp = QStringLiteral(" localhost "); // a host name, as the settings may give it
    QSignalSpy connected(&s.tcp, &TcpManager::connecttoServerResult);
    s.tcp.login(QStringLiteral("T1"), QStringLiteral("Anna"), QStringLiteral("pw"));
    QVERIFY(s.server.waitForBytes(10));
    QVERIFY(s.server.waitForBytes(command("login@", "T1,Anna," + md5("pw")).size()));
    QCOMPARE(s.server.received(), command("login@", "T1,Anna," + md5("pw")));
    QCOMPARE(connected.count(), 0);
    QCOMPARE(s.tcp.m_strStudentName, QStringLiteral("Anna"));
}

void TestClassServer::answers()
{
    Server s;
    QVERIFY(s.answer(command("teacher@", "A,,B")));
    QVERIFY(s.answer(command("teacherIP@", "192.168.3.4")));
    QVERIFY(s.answer(command("login@", "success")));
    QVERIFY(s.tcp.m_bLogin);
    s.tcp.queryBook();
    QVERIFY(s.asked({"book@query"}));
    QVERIFY(s.answer(command("book@", QStringLiteral("a.pdf#b.pdf"))));
    QVERIFY(s.answer("nonsense@eA=="));
    // Bytes after a NUL in the argument are not part of it.
    QVERIFY(s.answer("teacherIP@" + QByteArray("1.2.3.4\0zz", 10).toBase64()));
    QCOMPARE(s.log, (QStringList{"teachers:3:A||B", "ip:192.168.3.4", "login:1", "status:1",
                                 "books:a.pdf#b.pdf", "ip:1.2.3.4"}));
}

void TestClassServer::loginRefused()
{
    Server s;
    QVERIFY(s.answer(command("login@", "fail")));
    QVERIFY(s.answer(command("login@", "Success")));
    QCOMPARE(s.log, (QStringList{"login:0", "login:0"}));
    QVERIFY(!s.tcp.m_bLogin);
}

void TestClassServer::downloadInChunks()
{
    Server s;
    QCOMPARE(s.offer("books/math/a.pdf", "1000"),
             QStringLiteral("download@ready#books/math/a.pdf"));
    QVERIFY(s.tcp.m_bDownloading);
    const QByteArray pdf = book(1000);
    QVERIFY(s.answer(pdf.left(600)));
    QVERIFY(s.answer(pdf.mid(600)));
    const QString local = Server::bookDir() + "a.pdf";
    QCOMPARE(s.log, (QStringList{"progress:600/1000", "complete:" + local, "progress:1000/1000"}));
    QCOMPARE(Server::readBook("a.pdf"), pdf);
    QVERIFY(!s.tcp.m_bDownloading);
    QCOMPARE(s.tcp.m_strDownloadFile, local);
    QCOMPARE(Server::bookFiles(), QStringList{"a.pdf"});
}

void TestClassServer::surplusIsNextAnswer()
{
    Server s;
    QVERIFY(!s.offer("b.pdf", "10").isEmpty());
    QVERIFY(s.answer(book(10) + command("teacher@", "X")));
    QCOMPARE(s.log.value(2), QStringLiteral("teachers:1:X"));
    QCOMPARE(Server::readBook("b.pdf"), book(10));
}

void TestClassServer::retriesThenFailure()
{
    {
        Server idle;
        idle.tcp.retryDownLoad(); // nothing downloaded yet: nothing happens
        QTest::qWait(30);
        QCOMPARE(idle.server.received(), QByteArray());
        QCOMPARE(idle.log, QStringList());
    }
    Server s;
    const QByteArray pdf = book(12);
    QVERIFY(!s.offer("c.pdf", "12").isEmpty());
    QVERIFY(s.answer(pdf));
    s.log.clear();
    // Each retry asks again and is answered before the next one.
    for (int i = 0; i < 2; ++i) {
        s.tcp.retryDownLoad();
        QVERIFY(s.asked({"download@c.pdf"}));
        QVERIFY(s.answer(command("download@", "c.pdf#12")));
        QVERIFY(s.asked({"download@ready#c.pdf"}));
        QVERIFY(s.answer(pdf));
    }
    s.log.clear();
    s.tcp.retryDownLoad();
    QCOMPARE(s.log, QStringList{"result:0"});
    QTest::qWait(50);
    QCOMPARE(s.server.received(), QByteArray());
}

void TestClassServer::downloadFaults_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("size");
    QTest::newRow("size zero") << "d.pdf"
                               << "0";
    QTest::newRow("size negative") << "d.pdf"
                                   << "-5";
    QTest::newRow("size text") << "d.pdf"
                               << "12kb";
    QTest::newRow("size empty") << "d.pdf"
                                << "";
    QTest::newRow("size huge") << "d.pdf"
                               << "99999999999";
    QTest::newRow("dot dot") << "books/.."
                             << "10";
    QTest::newRow("dot") << "books/."
                         << "10";
    QTest::newRow("trailing slash") << "books/"
                                    << "10";
    QTest::newRow("trailing backslash") << "..\\..\\"
                                        << "10";
    QTest::newRow("colon") << "books/c:x.pdf"
                           << "10";
    QTest::newRow("control") << "books/a\tb.pdf"
                             << "10";
}

void TestClassServer::downloadFaults()
{
    QFETCH(QString, path);
    QFETCH(QString, size);
    Server s;
    QCOMPARE(s.offer(path, size), QString());
    QCOMPARE(s.log, QStringList{"result:0"});
    QVERIFY(!s.tcp.m_bDownloading);
    QCOMPARE(Server::bookFiles(), QStringList());
}

void TestClassServer::unmatchedAnswersIgnored()
{
    Server s;
    // No request pending: an offer is not taken, a failure is still told.
    QVERIFY(s.answer(command("download@", "e.pdf#10")));
    QVERIFY(s.answer(command("download@", "failed#x")));
    QCOMPARE(s.log, QStringList{"result:0"});
    // An answer for another book is passed over: its file is not written.
    s.log.clear();
    s.tcp.downloadBooks(QStringLiteral("e.pdf"));
    QVERIFY(s.asked({"download@e.pdf"}));
    QVERIFY(s.answer(command("download@", "other.pdf#10")));
    QVERIFY(s.answer(command("download@", "failed")));
    QTest::qWait(50);
    QCOMPARE(s.server.received(), QByteArray());
    QCOMPARE(s.log, QStringList{"result:0"});
    QVERIFY(s.answer(command("download@", "failed#e.pdf")));
    QCOMPARE(s.log, (QStringList{"result:0", "result:0"}));
    QCOMPARE(Server::bookFiles(), QStringList());
}

// Every request ends in exactly one outcome, in the order they were made; one download is on
// the wire at a time, and the requests made meanwhile wait their turn.
void TestClassServer::everyDownloadHasAnOutcome()
{
    Server s;
    s.tcp.downloadBooks(QStringLiteral("f.pdf"));
    s.tcp.downloadBooks(QStringLiteral("g.pdf")); // waits for the first
    s.tcp.queryTeacherIp();
    s.tcp.downloadBooks(QStringLiteral("h.pdf"));
    QVERIFY(s.asked({"download@f.pdf"}));
    QVERIFY(s.answer(command("download@", "f.pdf#12")));
    QVERIFY(s.asked({"download@ready#f.pdf"}));
    QVERIFY(s.answer(book(12)));
    QVERIFY(s.asked({"download@g.pdf"})); // the second goes out once the first is done
    QVERIFY(s.answer(command("download@", "failed#g.pdf")));
    QVERIFY(s.asked({"teacherIP@query", "download@h.pdf"}));
    s.tcp.downloadBooks(QStringLiteral("i.pdf"));
    s.server.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !s.tcp.m_bServerConnected; }));
    // f.pdf arrived, g.pdf failed, h.pdf (asked) and i.pdf (waiting) end with the connection.
    QCOMPARE(s.log, (QStringList{"complete:" + Server::bookDir() + "f.pdf", "progress:12/12",
                                 "result:0", "result:0", "result:0", "loginFail", "status:0"}));
    // Without a server connection a request fails at once, after the call returns.
    s.log.clear();
    s.tcp.downloadBooks(QStringLiteral("j.pdf"));
    QCOMPARE(s.log, QStringList());
    QVERIFY(FakePeer::waitUntil([&] { return !s.log.isEmpty(); }));
    QCOMPARE(s.log, QStringList{"result:0"});
}

// A bare "failed", or a request left without an answer or bytes for 30 s, ends that
// request; the next waiting one goes out.
void TestClassServer::refusedOrSilentRequestEnds()
{
    Server s;
    s.useClock();
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    s.tcp.downloadBooks(QStringLiteral("books/b.pdf"));
    s.tcp.downloadBooks(QStringLiteral("books/c.pdf"));
    QVERIFY(s.asked({"download@books/a.pdf"}));
    QVERIFY(s.answer(command("download@", "failed")));
    QCOMPARE(s.log, QStringList{"result:0"});
    QVERIFY(s.asked({"download@books/b.pdf"}));

    // b.pdf is never answered.
    s.pass(ClassServerConnection::DownloadWaitMs - 1);
    QCOMPARE(s.log, QStringList{"result:0"});
    s.pass(1);
    QCOMPARE(s.log, (QStringList{"result:0", "result:0"}));
    QVERIFY(s.asked({"download@books/c.pdf"}));

    // c.pdf is offered and stops half way; the bytes that came kept it alive till then.
    s.log.clear();
    QVERIFY(s.answer(command("download@", "books/c.pdf#10")));
    QVERIFY(s.asked({"download@ready#books/c.pdf"}));
    s.clock += 20000;
    QVERIFY(s.answer("%PDF-"));
    s.pass(ClassServerConnection::DownloadWaitMs - 1);
    QCOMPARE(s.log, QStringList{"progress:5/10"});
    s.pass(1);
    QCOMPARE(s.log, (QStringList{"progress:5/10", "result:0"}));
    QVERIFY(!s.tcp.m_bDownloading);
    QCOMPARE(Server::bookFiles(), QStringList());
    s.tcp.downloadBooks(QStringLiteral("books/d.pdf"));
    QVERIFY(s.asked({"download@books/d.pdf"}));
}

void TestClassServer::backslashPathStaysInFolder()
{
    Server s;
    const QString outside = QDir::cleanPath(Server::bookDir() + "../../x.pdf");
    QFile::remove(outside);
    QCOMPARE(s.offer("..\\..\\x.pdf", "12"), QStringLiteral("download@ready#..\\..\\x.pdf"));
    QVERIFY(s.answer(book(12)));
    QCOMPARE(s.tcp.m_strDownloadFile, Server::bookDir() + "x.pdf");
    QCOMPARE(Server::readBook("x.pdf"), book(12));
    QVERIFY(!QFile::exists(outside));
}

void TestClassServer::dropMidDownload()
{
    QVERIFY(Server::writeBook("keep.pdf", "old book"));
    Server s;
    QVERIFY(!s.offer("keep.pdf", "100").isEmpty());
    QVERIFY(s.answer(book(100).left(50)));
    s.server.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !s.tcp.m_bServerConnected; }));
    QCOMPARE(s.log, (QStringList{"progress:50/100", "result:0", "loginFail", "status:0"}));
    QCOMPARE(Server::readBook("keep.pdf"), QByteArray("old book"));
    QCOMPARE(Server::bookFiles(), QStringList{"keep.pdf"});
    QVERIFY(!s.tcp.m_bDownloading);
}

void TestClassServer::serverDisconnect()
{
    Server s;
    QVERIFY(s.logIn());
    s.server.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !s.tcp.m_bServerConnected; }));
    QCOMPARE(s.log, (QStringList{"loginFail", "status:0"}));
    QVERIFY(!s.tcp.m_bLogin);
}

QTEST_GUILESS_MAIN(TestClassServer)
#include "tst_classserver.moc"
