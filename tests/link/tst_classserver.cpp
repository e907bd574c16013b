#include "link/ClassServerConnection.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "support/FakeClassServer.h"

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

// A TcpManager connected to a class server on 127.0.0.1.
struct Server
{
    explicit Server(bool connectNow = true)
    {
        server.listen();
        tcp.m_strIp = QStringLiteral("127.0.0.1");
        tcp.m_strPort = QString::number(server.port());
        QObject::connect(&tcp, &TcpManager::sendLoginResult, &tcp,
                         [this](bool ok) { log << QStringLiteral("login:%1").arg(ok); });
        QObject::connect(&tcp, &TcpManager::changeServerStatus, &tcp,
                         [this](bool ok) { log << QStringLiteral("status:%1").arg(ok); });
        QObject::connect(&tcp, &TcpManager::connecttoServerResult, &tcp,
                         [this](bool ok) { log << QStringLiteral("connected:%1").arg(ok); });
        QObject::connect(&tcp, &TcpManager::loginFail, &tcp, [this] { log << "loginFail"; });
        QObject::connect(&tcp, &TcpManager::updateTeacherList, &tcp, [this](const QStringList &l) {
            log << QStringLiteral("teachers:%1:%2").arg(l.size()).arg(l.join('|'));
        });
        QObject::connect(&tcp, &TcpManager::querybookResult, &tcp,
                         [this](const QString &s) { log << "books:" + s; });
        QObject::connect(&tcp, &TcpManager::queryTeacherIpResult, &tcp,
                         [this](const QString &s) { log << "ip:" + s; });
        QObject::connect(&tcp, &TcpManager::DownloadResult, &tcp,
                         [this](bool ok) { log << QStringLiteral("result:%1").arg(ok); });
        QObject::connect(&tcp, &TcpManager::downloadPdfComplete, &tcp,
                         [this](const QString &s) { log << "complete:" + s; });
        QObject::connect(&tcp, &TcpManager::downloadPdfProgress, &tcp, [this](int total, int got) {
            log << QStringLiteral("progress:%1/%2").arg(got).arg(total);
        });
        if (connectNow) {
            tcp.connectToServer();
            FakePeer::waitUntil([this] { return tcp.m_bServerConnected && server.isConnected(); });
            log.clear();
        }
    }
    // Sends one answer and waits until the client has read it.
    bool answer(const QByteArray &bytes)
    {
        QSignalSpy reads(tcp.serverSocket(), &QIODevice::readyRead);
        return server.write(bytes) && reads.wait(FakePeer::kWaitMs);
    }
    bool logIn()
    {
        server.clearReceived();
        tcp.login(QStringLiteral("T1"), QStringLiteral("Anna"), QStringLiteral("pw"));
        const bool ok = server.waitForBytes(1) && answer(command("login@", "success"));
        server.clearReceived();
        log.clear();
        return ok && tcp.m_bLogin;
    }
    // True when the next request the server got was "download@" with this argument.
    bool sent(const QString &argument)
    {
        const bool ok =
            server.waitForBytes(1) && server.received() == command("download@", argument);
        server.clearReceived();
        return ok;
    }
    // The download wait reads the test's clock; pass lets that much silent time go by.
    void useClock()
    {
        tcp.serverConnection()->setClock([this] { return clock; });
    }
    void pass(qint64 ms)
    {
        clock += ms;
        tcp.serverConnection()->onDownloadWait();
    }
    // Asks for a book and answers with its size; returns the bytes of the ready request.
    QByteArray offer(const QString &path, const QString &size)
    {
        server.clearReceived();
        tcp.downloadBooks(path);
        if (!server.waitForBytes(1))
            return QByteArray();
        server.clearReceived();
        answer(command("download@", path + '#' + size));
        // The answer is handled: a request it made comes before a teacher-list query made now.
        const QByteArray marker = command("teacher@", "query");
        tcp.queryTeacherList();
        if (!server.waitUntil([&] { return server.received().endsWith(marker); }))
            return "<no marker>";
        const QByteArray asked = server.received();
        server.clearReceived();
        return asked.left(asked.size() - marker.size());
    }

    FakeClassServer server;
    TcpManager tcp;
    QStringList log;
    qint64 clock = 1000;
};

QString md5(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString bookDir()
{
    return Settings::instance()->localBookDir();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList bookFolderEntries()
{
    return QDir(bookDir()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
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
    void lateAnswersBelongToEndedRequests();
    void unansweredRequestBlocksNothing();
    void answersInOneRead();
    void backslashPathStaysInFolder();
    void dropMidDownload();
    void serverDisconnect();
};

void TestClassServer::init()
{
    for (const QString &name : bookFolderEntries())
        QFile::remove(bookDir() + name);
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
    s.tcp.downloadBooks(QStringLiteral("books/数学/a.pdf"));
    s.tcp.readyDownloadBooks(QStringLiteral("books/a.pdf"));
    s.tcp.login(QStringLiteral("T1"), QStringLiteral("Anna"), QStringLiteral("pässwörd"));
    const QByteArray expected = QByteArray("teacher@cXVlcnk=") + "teacherIP@cXVlcnk=" +
                                command("download@", QStringLiteral("books/数学/a.pdf")) +
                                command("download@", "ready#books/a.pdf") +
                                command("login@", "T1,Anna," + md5(QStringLiteral("pässwörd")));
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
    QVERIFY(s.server.waitForBytes(command("book@", "query").size()));
    QCOMPARE(s.server.received(), command("book@", "query"));
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
    QCOMPARE(s.offer("books/math/a.pdf", "1000"), command("download@", "ready#books/math/a.pdf"));
    QVERIFY(s.tcp.m_bDownloading);
    const QByteArray book = QByteArray(1000, 'p');
    QVERIFY(s.answer(book.left(600)));
    QVERIFY(s.answer(book.mid(600)));
    const QString local = bookDir() + "a.pdf";
    QCOMPARE(s.log, (QStringList{"progress:600/1000", "complete:" + local, "progress:1000/1000"}));
    QCOMPARE(readFile(local), book);
    QVERIFY(!s.tcp.m_bDownloading);
    QCOMPARE(s.tcp.m_strDownloadFile, local);
    QCOMPARE(bookFolderEntries(), QStringList{"a.pdf"});
    QFile::remove(local);
}

void TestClassServer::surplusIsNextAnswer()
{
    Server s;
    QVERIFY(!s.offer("b.pdf", "10").isEmpty());
    QVERIFY(s.answer("0123456789" + command("teacher@", "X")));
    QVERIFY(FakePeer::waitUntil([&] { return s.log.size() == 3; }));
    QCOMPARE(s.log.last(), QStringLiteral("teachers:1:X"));
    QCOMPARE(readFile(bookDir() + "b.pdf"), QByteArray("0123456789"));
    QFile::remove(bookDir() + "b.pdf");
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
    QVERIFY(!s.offer("c.pdf", "4").isEmpty());
    QVERIFY(s.answer("abcd"));
    s.log.clear();
    // Each retry asks again and is answered before the next one.
    for (int i = 0; i < 2; ++i) {
        s.server.clearReceived();
        s.tcp.retryDownLoad();
        QVERIFY(s.server.waitForBytes(1));
        QCOMPARE(s.server.received(), command("download@", "c.pdf"));
        s.server.clearReceived();
        QVERIFY(s.answer(command("download@", "c.pdf#4")));
        QVERIFY(s.server.waitForBytes(1));
        QVERIFY(s.answer("abcd"));
    }
    s.log.clear();
    s.server.clearReceived();
    s.tcp.retryDownLoad();
    QCOMPARE(s.log, QStringList{"result:0"});
    QTest::qWait(50);
    QCOMPARE(s.server.received(), QByteArray());
    QFile::remove(bookDir() + "c.pdf");
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
    QCOMPARE(s.offer(path, size), QByteArray());
    QCOMPARE(s.log, QStringList{"result:0"});
    QVERIFY(!s.tcp.m_bDownloading);
    QCOMPARE(bookFolderEntries(), QStringList());
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
    QVERIFY(s.server.waitForBytes(1));
    s.server.clearReceived();
    QVERIFY(s.answer(command("download@", "other.pdf#10")));
    QVERIFY(s.answer(command("download@", "failed")));
    QTest::qWait(50);
    QCOMPARE(s.server.received(), QByteArray());
    QCOMPARE(s.log, QStringList{"result:0"});
    QVERIFY(s.answer(command("download@", "failed#e.pdf")));
    QCOMPARE(s.log, (QStringList{"result:0", "result:0"}));
    QCOMPARE(bookFolderEntries(), QStringList());
}

// Every request ends in exactly one outcome, in the order they were made.
void TestClassServer::everyDownloadHasAnOutcome()
{
    Server s;
    s.tcp.downloadBooks(QStringLiteral("f.pdf"));
    s.tcp.downloadBooks(QStringLiteral("g.pdf")); // waits for the first
    s.tcp.downloadBooks(QStringLiteral("h.pdf"));
    QVERIFY(s.server.waitForBytes(1));
    QTest::qWait(50);
    QCOMPARE(s.server.received(), command("download@", "f.pdf"));
    s.server.clearReceived();
    QVERIFY(s.answer(command("download@", "f.pdf#3")));
    QVERIFY(s.server.waitForBytes(1));
    QCOMPARE(s.server.received(), command("download@", "ready#f.pdf"));
    s.server.clearReceived();
    QVERIFY(s.answer("fff"));
    QVERIFY(s.server.waitForBytes(1)); // the second goes out once the first is done
    QCOMPARE(s.server.received(), command("download@", "g.pdf"));
    s.server.clearReceived();
    QVERIFY(s.answer(command("download@", "failed#g.pdf")));
    QVERIFY(s.server.waitForBytes(1));
    QCOMPARE(s.server.received(), command("download@", "h.pdf"));
    s.server.clearReceived();
    s.tcp.downloadBooks(QStringLiteral("i.pdf"));
    s.server.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !s.tcp.m_bServerConnected; }));
    // f.pdf arrived, g.pdf failed, h.pdf (asked) and i.pdf (waiting) end with the connection.
    QCOMPARE(s.log, (QStringList{"complete:" + bookDir() + "f.pdf", "progress:3/3", "result:0",
                                 "result:0", "result:0", "loginFail", "status:0"}));
    // Without a server connection a request fails at once, after the call returns.
    s.log.clear();
    s.tcp.downloadBooks(QStringLiteral("j.pdf"));
    QCOMPARE(s.log, QStringList());
    QVERIFY(FakePeer::waitUntil([&] { return !s.log.isEmpty(); }));
    QCOMPARE(s.log, QStringList{"result:0"});
    QFile::remove(bookDir() + "f.pdf");
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
    QVERIFY(s.sent("books/a.pdf"));
    QVERIFY(s.answer(command("download@", "failed")));
    QCOMPARE(s.log, QStringList{"result:0"});
    QVERIFY(s.sent("books/b.pdf"));

    // b.pdf is never answered.
    s.pass(ClassServerConnection::DownloadWaitMs - 1);
    QCOMPARE(s.log, QStringList{"result:0"});
    s.pass(1);
    QCOMPARE(s.log, (QStringList{"result:0", "result:0"}));
    QVERIFY(s.sent("books/c.pdf"));

    // c.pdf is offered and stops half way; the bytes that came kept it alive till then.
    s.log.clear();
    QVERIFY(s.answer(command("download@", "books/c.pdf#10")));
    QVERIFY(s.sent("ready#books/c.pdf"));
    s.clock += 20000;
    QVERIFY(s.answer("01234"));
    s.pass(ClassServerConnection::DownloadWaitMs - 1);
    QCOMPARE(s.log, QStringList{"progress:5/10"});
    s.pass(1);
    QCOMPARE(s.log, (QStringList{"progress:5/10", "result:0"}));
    QVERIFY(!s.tcp.m_bDownloading);
    QCOMPARE(bookFolderEntries(), QStringList());
    s.tcp.downloadBooks(QStringLiteral("books/d.pdf"));
    QVERIFY(s.sent("books/d.pdf"));
}

// The server still answers a request that the wait ended; that answer is passed over, and
// each later request takes its own.
void TestClassServer::lateAnswersBelongToEndedRequests()
{
    Server s;
    s.useClock();
    auto offer = [&s](const QString &path, int size) {
        return s.answer(command("download@", path + '#' + QString::number(size)));
    };
    // The same book asked again: the first offer is the ended request's.
    const QByteArray book = "%PDF-1.4 the book";
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    QVERIFY(s.sent("books/a.pdf"));
    s.pass(ClassServerConnection::DownloadWaitMs);
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    QVERIFY(s.sent("books/a.pdf"));
    QVERIFY(offer("books/a.pdf", book.size()));
    QVERIFY(!s.server.waitForBytes(1, 100));
    QVERIFY(offer("books/a.pdf", book.size()));
    QVERIFY(s.sent("ready#books/a.pdf"));
    QVERIFY(s.answer(book));
    QCOMPARE(readFile(bookDir() + "a.pdf"), book);
    QCOMPARE(s.log, (QStringList{"result:0", "complete:" + bookDir() + "a.pdf",
                                 QStringLiteral("progress:%1/%1").arg(book.size())}));

    // Books queued behind ended ones: a late offer or failure is passed over, and an answer
    // that never comes (d.pdf's) holds nothing up.
    s.log.clear();
    for (const char *path : {"books/b.pdf", "books/c.pdf", "books/d.pdf", "books/e.pdf"})
        s.tcp.downloadBooks(QString::fromLatin1(path));
    for (const char *path : {"books/b.pdf", "books/c.pdf", "books/d.pdf"}) {
        QVERIFY(s.sent(QString::fromLatin1(path)));
        s.pass(ClassServerConnection::DownloadWaitMs);
    }
    QVERIFY(s.sent("books/e.pdf"));
    QVERIFY(offer("books/b.pdf", 3));
    QVERIFY(s.answer(command("download@", "failed#books/c.pdf")));
    QVERIFY(offer("books/e.pdf", 3));
    QVERIFY(s.sent("ready#books/e.pdf"));
    QVERIFY(s.answer("eee"));
    QCOMPARE(s.log, (QStringList{"result:0", "result:0", "result:0",
                                 "complete:" + bookDir() + "e.pdf", "progress:3/3"}));
    QCOMPARE(bookFolderEntries(), (QStringList{"a.pdf", "e.pdf"}));
}

// A request the server never answered holds up no later one: the same book asked again comes
// at the latest with the request after that, an ended request is owed nothing after one more
// wait or once the connection drops, and a failure while one is owed is the open request's.
void TestClassServer::unansweredRequestBlocksNothing()
{
    Server s;
    s.useClock();
    const int wait = ClassServerConnection::DownloadWaitMs;
    const auto unanswered = [&s, wait](const QString &path) {
        s.tcp.downloadBooks(path);
        const bool ok = s.sent(path);
        s.pass(wait);
        return ok;
    };
    const auto download = [&s](const QString &path, const QByteArray &book) {
        s.tcp.downloadBooks(path);
        return s.sent(path) &&
               s.answer(command("download@", path + '#' + QString::number(book.size()))) &&
               s.sent("ready#" + path) && s.answer(book);
    };
    const auto completed = [](const QString &name, int size) {
        return QStringList{"complete:" + bookDir() + name,
                           QStringLiteral("progress:%1/%1").arg(size)};
    };

    // The prompt offer to the second request may be the first one's, so it is passed over;
    // no other came in its wait, so nothing is owed after it and the third takes its offer.
    QVERIFY(unanswered("books/a.pdf"));
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    QVERIFY(s.sent("books/a.pdf"));
    QVERIFY(s.answer(command("download@", "books/a.pdf#3")));
    QVERIFY(!s.server.waitForBytes(1, 100));
    s.pass(wait);
    QVERIFY(download("books/a.pdf", "aaa"));
    QCOMPARE(s.log, QStringList({"result:0", "result:0"}) + completed("a.pdf", 3));

    // One more wait gone by: the ended request's answer is not coming.
    s.log.clear();
    QVERIFY(unanswered("books/b.pdf"));
    s.clock += wait + 1;
    QVERIFY(download("books/b.pdf", "bb"));
    QCOMPARE(s.log, QStringList{"result:0"} + completed("b.pdf", 2));

    // A failure naming no owed book is the open request's, told at once.
    s.log.clear();
    QVERIFY(unanswered("books/c.pdf"));
    s.tcp.downloadBooks(QStringLiteral("books/d.pdf"));
    QVERIFY(s.sent("books/d.pdf"));
    QVERIFY(s.answer(command("download@", "failed#no such book")));
    QCOMPARE(s.log, (QStringList{"result:0", "result:0"}));

    // A dropped connection takes what was owed with it.
    s.log.clear();
    QVERIFY(unanswered("books/e.pdf"));
    s.server.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !s.tcp.m_bServerConnected; }));
    s.tcp.connectToServer();
    QVERIFY(
        FakePeer::waitUntil([&] { return s.tcp.m_bServerConnected && s.server.isConnected(); }));
    s.log.clear();
    QVERIFY(download("books/e.pdf", "eeee"));
    QCOMPARE(s.log, completed("e.pdf", 4));
    QCOMPARE(bookFolderEntries(), (QStringList{"a.pdf", "b.pdf", "e.pdf"}));
}

// A server that catches up sends several answers at once: each one is read, and a book list
// cut after others goes on in the next read.
void TestClassServer::answersInOneRead()
{
    Server s;
    s.useClock();
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    QVERIFY(s.sent("books/a.pdf"));
    s.pass(ClassServerConnection::DownloadWaitMs);
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    QVERIFY(s.sent("books/a.pdf"));
    // The ended request's offer and this one's.
    QVERIFY(
        s.answer(command("download@", "books/a.pdf#4") + command("download@", "books/a.pdf#4")));
    QVERIFY(s.sent("ready#books/a.pdf"));
    QVERIFY(s.answer("abcd"));
    QCOMPARE(readFile(bookDir() + "a.pdf"), QByteArray("abcd"));

    s.log.clear();
    const QByteArray books = command("book@", "math#a.pdf,b.pdf@end");
    QVERIFY(s.answer(command("teacher@", "X,Y") + command("download@", "failed#x") +
                     command("teacherIP@", "1.2.3.4") + books.left(10)));
    QVERIFY(s.answer(books.mid(10)));
    QCOMPARE(s.log, (QStringList{"teachers:2:X|Y", "result:0", "ip:1.2.3.4",
                                 "books:math#a.pdf,b.pdf@end"}));
}

void TestClassServer::backslashPathStaysInFolder()
{
    Server s;
    const QString outside = QDir::cleanPath(bookDir() + "../../x.pdf");
    QFile::remove(outside);
    QCOMPARE(s.offer("..\\..\\x.pdf", "3"), command("download@", "ready#..\\..\\x.pdf"));
    QVERIFY(s.answer("xyz"));
    QCOMPARE(s.tcp.m_strDownloadFile, bookDir() + "x.pdf");
    QCOMPARE(readFile(bookDir() + "x.pdf"), QByteArray("xyz"));
    QVERIFY(!QFile::exists(outside));
    QFile::remove(bookDir() + "x.pdf");
}

void TestClassServer::dropMidDownload()
{
    const QString keep = bookDir() + "keep.pdf";
    {
        QFile f(keep);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old book");
    }
    Server s;
    QVERIFY(!s.offer("keep.pdf", "100").isEmpty());
    QVERIFY(s.answer(QByteArray(50, 'n')));
    s.server.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !s.tcp.m_bServerConnected; }));
    QCOMPARE(s.log, (QStringList{"progress:50/100", "result:0", "loginFail", "status:0"}));
    QCOMPARE(readFile(keep), QByteArray("old book"));
    QCOMPARE(bookFolderEntries(), QStringList{"keep.pdf"});
    QVERIFY(!s.tcp.m_bDownloading);
    QFile::remove(keep);
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
