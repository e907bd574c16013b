#include "link/Settings.h"
#include "link/TcpManager.h"
#include "support/FakeTeacher.h"
#include "support/TeacherSignalLog.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
using Recorder = TeacherSignalLog;

// A TcpManager joined to a teacher on 127.0.0.1.
struct Link
{
    Link()
    {
        teacher.listen();
        image.listen();
        tcp.setTeacherPorts(teacher.port(), image.port());
        tcp.setHeartbeatClock([this] { return clock; });
        tcp.m_strStudentName = QStringLiteral("Anna");
    }
    bool connect()
    {
        const int before = teacher.connectionCount();
        tcp.connectToTeacher(QStringLiteral("127.0.0.1"));
        return FakePeer::waitUntil([&] {
            return teacher.connectionCount() > before && teacher.isConnected() &&
                   tcp.teacherSocket()->state() == QAbstractSocket::ConnectedState &&
                   !teacher.frames().isEmpty();
        });
    }
    bool accept()
    {
        if (!connect())
            return false;
        teacher.clearFrames();
        teacher.sendFrame("information@", "");
        return FakePeer::waitUntil([&] { return tcp.m_bTeacherConnected; }) &&
               teacher.waitForFrames(1);
    }
    // Writes raw bytes and waits until the client has read them.
    bool feed(const QByteArray &bytes)
    {
        QSignalSpy reads(tcp.teacherSocket(), &QIODevice::readyRead);
        return teacher.write(bytes) && reads.wait(FakePeer::kWaitMs);
    }
    bool drop()
    {
        teacher.closeConnection();
        return FakePeer::waitUntil(
            [&] { return tcp.teacherSocket()->state() == QAbstractSocket::UnconnectedState; });
    }

    qint64 clock = 1000;
    FakeTeacher teacher;
    FakePeer image;
    TcpManager tcp;
    Recorder rec{&tcp};
};

QByteArray frame(const QByteArray &word, const QByteArray &args)
{
    return FakeTeacher::frame(word, args);
}

// The reader's log lines about the pieces of data it handles.
QStringList g_readerLines;
QtMessageHandler g_previousHandler = nullptr;
void keepReaderLines(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    for (const char *start : {"rece teacher data :", "wait len ", "len > 0 "}) {
        if (text.startsWith(QLatin1String(start)))
            g_readerLines << (type == QtWarningMsg ? "warning " : "") + text;
    }
    g_previousHandler(type, context, text);
}
} // namespace

class TestTeacherLink : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void incomingCommands_data();
    void incomingCommands();
    void readerReplies();
    void argumentTextEndsAtNul();
    void readBoundaries_data();
    void readBoundaries();
    void acceptanceOrder();
    void readerLogLines();
    void streamSplitting();
    void manyFramesInOneStream();
    void outgoingMessages();
    void guardsBeforeAcceptance();
    void pageCountAskedOncePerConnection();
    void heartbeat();
    void staleHeartbeatKeepsFreshConnection();
    void heartbeatEndsStuckConnection();
    void kickAndReconnect();
    void reconnectingDropKeepsShare();
    void logout();
    void pendingFrameDroppedOnDisconnect();
    void oversizedFrameAborts();
};

void TestTeacherLink::init()
{
    Settings::instance()->m_bReconnecting = false;
}

void TestTeacherLink::incomingCommands_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char *name, const QByteArray &word, const QByteArray &args,
                  const QStringList &expected) {
        QTest::newRow(name) << frame(word, args) << expected;
    };
    row("status", "query@", "status#ebook", {"status:ebook"});
    row("status extra", "query@", "status#enote#x", {"status:enote"});
    row("book path", "query@", "ebook#bookpath#/books/a b.pdf",
        {"book:ebook|bookpath|/books/a b.pdf"});
    row("enote count", "query@", "enote#pagecount#3", {"enote:enote|pagecount|3"});
    row("add page", "query@", "enote#addpage#800,600#1", {"addPage:enote|addpage|800,600|1"});
    row("query one field", "query@", "enote", {});
    row("query ebook four", "query@", "ebook#a#b#c", {});
    row("query other", "query@", "browser#x#y", {});
    row("line", "line@", "ebook&2&3#0,0,0,255#2#1,2;3,4", {"line:ebook&2&3#0,0,0,255#2#1,2;3,4"});
    row("move image", "moveimage@", "enote#1#id#3,4", {"moveImage:enote#1#id#3,4"});
    row("clear", "clear@", "ebook#1", {"clear:ebook#1"});
    row("browser", "browser@", "http://x/?a=1&b=2", {"browser:http://x/?a=1&b=2"});
    row("chat utf8", "chat@", QStringLiteral("héllo 你好").toUtf8(),
        {QStringLiteral("chat:héllo 你好")});
    row("chat nul", "chat@", QByteArray("ab\0cd", 5), {"chat:ab"});
    row("close chat", "closechat@", "anything", {"closeChat"});
    row("warning", "warning@", "stop", {"warning:stop"});
    row("lock", "lockscreen@", "1#Eyes up", {"lock:1#Eyes up"});
    row("vote", "vote@", "1", {"vote:1"});
    row("share vote", "sharevote@", "enote#0#v", {"shareVote:enote#0#v"});
    row("share on", "share@", "2", {"share:2"});
    row("share off text", "share@", "x", {"share:0"});
    row("kick", "kick@", "1", {});
    row("kick other", "kick@", "2", {});
    row("sync end", "sync@", "enote#end", {"syncEnd:enote"});
    row("sync no end", "sync@", "enote#3", {});
    row("preview", "preview@", "query", {"preview"});
    row("preview other", "preview@", "Query", {});
    row("rotate", "rotate@", "ebook#1#90", {"rotate:ebook#1#90"});
    row("heart", "heart@", "", {});
    row("unknown word", "foo@", "chat@2_hi", {});
    QTest::newRow("unknown then chat")
        << frame("foo@", "abc") + frame("chat@", "hi") << QStringList{"chat:hi"};
    QTest::newRow("garbage then chat")
        << QByteArray("#garbage") + frame("chat@", "hi") << QStringList{};
}

void TestTeacherLink::incomingCommands()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    static std::unique_ptr<Link> link;
    if (!link || !link->teacher.isConnected()) {
        link = std::make_unique<Link>();
        QVERIFY(link->accept());
    }
    link->rec.log.clear();
    QVERIFY(link->feed(bytes));
    // A marker frame in a later read shows that everything before it has been handled.
    QVERIFY(link->feed(frame("warning@", "marker")));
    QVERIFY(FakePeer::waitUntil([&] { return link->rec.log.contains("warning:marker"); }));
    QStringList log = link->rec.log;
    log.removeAll(QStringLiteral("warning:marker"));
    QCOMPARE(log, expected);
}

void TestTeacherLink::readerReplies()
{
    Link link;
    QVERIFY(link.accept());
    link.teacher.clearFrames();

    QVERIFY(link.feed("heart@0_"));
    QVERIFY(link.teacher.waitForBytes(15));
    QCOMPARE(link.teacher.received(), QByteArray("heart@7_student"));

    link.teacher.clearFrames();
    QVERIFY(link.feed("heart@3_abc" + frame("share@", "1")));
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.received(), QByteArray("share@1_1"));
    QVERIFY(link.tcp.m_bShare);

    link.teacher.clearFrames();
    QVERIFY(link.feed(frame("share@", "0")));
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.received(), QByteArray("share@1_0"));
    QVERIFY(!link.tcp.m_bShare);

    // An unframed "heart@" is answered once the next bytes show no length follows.
    link.teacher.clearFrames();
    QVERIFY(link.feed("heart@"));
    QVERIFY(link.feed("vote@1_1"));
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.received(), QByteArray("heart@7_student"));

    // A lone unframed "heart@" with nothing after it is answered after a short wait.
    link.teacher.clearFrames();
    QVERIFY(link.feed("heart@"));
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.received(), QByteArray("heart@7_student"));

    // A header split right after "@" still waits for its length.
    link.teacher.clearFrames();
    QVERIFY(link.feed("share@"));
    QVERIFY(link.feed("1_1"));
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.received(), QByteArray("share@1_1"));

    // A header whose rest comes after the wait: the word was complete and unframed; the
    // late bytes start no command and go with the end of their read.
    link.teacher.clearFrames();
    link.rec.log.clear();
    QVERIFY(link.feed("share@"));
    QVERIFY(FakePeer::waitUntil([&] { return link.rec.log.contains("share:0"); }));
    QVERIFY(link.feed("1_1chat@"));
    QTest::qWait(400);
    QVERIFY(link.feed("2_hi"));
    QVERIFY(link.feed(frame("chat@", "ok")));
    QVERIFY(FakePeer::waitUntil([&] { return link.rec.log.size() == 2; }));
    QTest::qWait(50);
    QCOMPARE(link.rec.log, (QStringList{"share:0", "chat:ok"}));
    QCOMPARE(link.teacher.received(), QByteArray("share@1_0"));
    QVERIFY(!link.tcp.m_bShare);
}

// Bytes after a zero byte are not part of the argument, whatever the command.
void TestTeacherLink::argumentTextEndsAtNul()
{
    Link link;
    QVERIFY(link.accept());
    link.teacher.clearFrames();
    link.rec.log.clear();
    QVERIFY(link.feed(frame("share@", QByteArray("1\0x", 3))));
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.received(), QByteArray("share@1_1"));
    QVERIFY(link.tcp.m_bShare);

    link.teacher.clearFrames();
    QVERIFY(link.feed(frame("heart@", QByteArray("\0x", 2))));
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.received(), QByteArray("heart@7_student"));

    QVERIFY(link.feed(frame("preview@", QByteArray("query\0x", 7)) +
                      frame("sync@", QByteArray("enote#end\0x", 11))));
    QVERIFY(link.feed(frame("kick@", QByteArray("1\0x", 3))));
    QVERIFY(FakePeer::waitUntil([&] { return link.tcp.m_bKick; }));
    QVERIFY(link.drop());
    QCOMPARE(link.rec.log, (QStringList{"share:1", "preview", "syncEnd:enote", "kick"}));
}

void TestTeacherLink::readBoundaries_data()
{
    using Writes = QList<QByteArray>;
    QTest::addColumn<Writes>("writes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QByteArray>("replies"); // what the student answers on its own
    QTest::addColumn<int>("cutFrom");        // writes from this one on may be cut anywhere
    const QStringList chatVote{"chat:hi", "vote:1"};
    QTest::newRow("unframed heart, then frames") << Writes{"heart@", "chat@2_hi", "vote@1_1"}
                                                 << chatVote << QByteArray("heart@7_student") << 0;
    QTest::newRow("unframed heart glued to frames")
        << Writes{"heart@chat@2_hivote@1_1"} << chatVote << QByteArray("heart@7_student") << 0;
    QTest::newRow("bad length, next write")
        << Writes{"chat@x_hi", "vote@1_1"} << QStringList{"chat:", "vote:1"} << QByteArray() << 1;
    QTest::newRow("bad length, same write")
        << Writes{"chat@x_hivote@1_1"} << QStringList{"chat:"} << QByteArray() << 1;
    QTest::newRow("unframed close chat")
        << Writes{"closechat@"} << QStringList{"closeChat"} << QByteArray() << 0;
    QTest::newRow("unframed information")
        << Writes{"information@"} << QStringList{"accepted:1"} << QByteArray("query@6_status") << 0;
    QTest::newRow("two unframed words")
        << Writes{"closechat@information@"} << QStringList{"closeChat", "accepted:1"}
        << QByteArray("query@6_status") << 0;
    QTest::newRow("length with leading zeros")
        << Writes{"chat@00000000002_hi", "vote@0001_1"} << chatVote << QByteArray() << 0;
}

// Each write is read on its own; cut writes give the same signals.
void TestTeacherLink::readBoundaries()
{
    using Writes = QList<QByteArray>;
    QFETCH(Writes, writes);
    QFETCH(QStringList, expected);
    QFETCH(QByteArray, replies);
    QFETCH(int, cutFrom);
    QList<Writes> variants{writes};
    for (int w = cutFrom; w < writes.size(); ++w) {
        for (int i = 1; i < writes.at(w).size(); ++i) {
            Writes cut = writes;
            cut[w] = writes.at(w).left(i);
            cut.insert(w + 1, writes.at(w).mid(i));
            variants << cut;
        }
    }
    Link link;
    QVERIFY(link.connect());
    for (const Writes &variant : qAsConst(variants)) {
        const QString name = QString::fromLatin1(variant.join('|'));
        link.teacher.clearFrames();
        link.rec.log.clear();
        for (const QByteArray &bytes : variant)
            QVERIFY2(link.feed(bytes), qPrintable(name));
        FakePeer::waitUntil([&] { return link.rec.log.size() >= expected.size(); }, 1000);
        // A marker in a later write shows that everything before it has been handled.
        QVERIFY(link.feed(frame("warning@", "marker")));
        QVERIFY(FakePeer::waitUntil([&] { return link.rec.log.contains("warning:marker"); }));
        QStringList log = link.rec.log;
        log.removeAll(QStringLiteral("warning:marker"));
        QVERIFY2(log == expected, qPrintable(name + " gave " + log.join(' ')));
        if (!replies.isEmpty())
            link.teacher.waitForBytes(replies.size(), 1000);
        QVERIFY2(link.teacher.received() == replies, qPrintable(name));
    }
}

void TestTeacherLink::acceptanceOrder()
{
    Link link;
    QVERIFY(link.connect());
    QCOMPARE(link.teacher.frameTexts(), QList<QByteArray>{"information@Anna"});
    link.teacher.clearFrames();

    Settings::instance()->m_bReconnecting = true;
    bool flagAtSignal = true;
    bool heartbeatAtSignal = true;
    bool flagAtClear = false;
    // The screens hear of the acceptance before the flag is set and the heartbeat starts.
    QObject::connect(&link.tcp, &TcpManager::sendTeacherConnectedRet, &link.tcp, [&](bool) {
        flagAtSignal = link.tcp.m_bTeacherConnected;
        heartbeatAtSignal = link.tcp.isHeartBeatActive();
        link.tcp.sendBattery(QStringLiteral("80")); // not yet accepted: not sent
    });
    link.tcp.setENoteClearPages([&] { flagAtClear = link.tcp.m_bTeacherConnected; });

    QVERIFY(link.feed(frame("information@", "")));
    QVERIFY(link.teacher.waitForFrames(1));
    QTest::qWait(50);
    QVERIFY(!flagAtSignal);
    QVERIFY(!heartbeatAtSignal);
    QVERIFY(flagAtClear);
    QCOMPARE(link.teacher.frameTexts(), QList<QByteArray>{"query@status"});
    QVERIFY(link.tcp.isHeartBeatActive());
    QVERIFY(!Settings::instance()->m_bReconnecting);
}

// A frame over three reads, then one completed by a read that carries more frames.
void TestTeacherLink::readerLogLines()
{
    Link link;
    QVERIFY(link.accept());
    link.rec.log.clear();
    g_readerLines.clear();
    g_previousHandler = qInstallMessageHandler(keepReaderLines);
    const QByteArray chat = frame("chat@", "0123456789");
    bool fed = link.feed(chat.left(10)) && link.feed(chat.mid(10, 5)) && link.feed(chat.mid(15)) &&
               link.feed(chat.left(10)) && link.feed(chat.mid(10) + "vote@1_1chat@2_h") &&
               link.feed("i");
    qInstallMessageHandler(g_previousHandler);
    QVERIFY(fed);
    QCOMPARE(link.rec.log,
             (QStringList{"chat:0123456789", "chat:0123456789", "vote:1", "chat:hi"}));
    const QStringList expected{"rece teacher data : \"chat@10_01\"",
                               "wait len  -3 8 5",
                               "wait len  0 3 3",
                               "rece teacher data : \"chat@10_0123456789\"",
                               "rece teacher data : \"chat@10_01\"",
                               "wait len  16 8 24",
                               "warning len > 0  \"chat@10_0123456789\"",
                               "rece teacher data : \"chat@10_0123456789\"",
                               "rece teacher data : \"vote@1_1chat@2_h\"",
                               "rece teacher data : \"vote@1_1\"",
                               "rece teacher data : \"chat@2_h\"",
                               "wait len  0 1 1",
                               "rece teacher data : \"chat@2_hi\""};
    QCOMPARE(g_readerLines, expected);
}

void TestTeacherLink::streamSplitting()
{
    const QByteArray stream = frame("chat@", QStringLiteral("héllo_@#&wörld").toUtf8()) +
                              frame("line@", "ebook&1&3#0,0,0,255#2#1,2;3,4") +
                              frame("query@", "status#ebook") + frame("mystery@", "x_y@1_") +
                              frame("sync@", "enote#end") +
                              frame("vote@", QStringLiteral("答案#1&2").toUtf8());
    const QStringList expected{QStringLiteral("chat:héllo_@#&wörld"),
                               "line:ebook&1&3#0,0,0,255#2#1,2;3,4", "status:ebook",
                               "syncEnd:enote", QStringLiteral("vote:答案#1&2")};
    Link link;
    QVERIFY(link.accept());
    link.rec.log.clear();
    QVERIFY(link.feed(stream));
    QVERIFY(FakePeer::waitUntil([&] { return link.rec.log.size() >= expected.size(); }));
    QCOMPARE(link.rec.log, expected);

    for (int i = 1; i < stream.size(); ++i) {
        link.rec.log.clear();
        QVERIFY(link.feed(stream.left(i)));
        QVERIFY(link.feed(stream.mid(i)));
        QVERIFY(FakePeer::waitUntil([&] { return link.rec.log.size() >= expected.size(); }));
        QVERIFY2(link.rec.log == expected, qPrintable(QStringLiteral("split at %1").arg(i)));
    }
}

void TestTeacherLink::manyFramesInOneStream()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    Link link;
    QVERIFY(link.accept());
    QByteArray stream;
    for (int i = 0; i < 100000; ++i)
        stream += frame("line@", "ebook&" + QByteArray::number(i % 7) + "&3#0,0,0,255#2#1,2;3,4");
    int lines = 0;
    QObject::connect(&link.tcp, &TcpManager::lineData, &link.tcp, [&] { ++lines; });
    QVERIFY(link.teacher.write(stream));
    QVERIFY(FakePeer::waitUntil([&] { return lines == 100000; }, 20000));
    QLoggingCategory::setFilterRules(QString());
}

void TestTeacherLink::outgoingMessages()
{
    Link link;
    QVERIFY(link.accept());
    link.teacher.clearFrames();
    TcpManager &t = link.tcp;
    t.queryTeacherStatus();
    t.queryBookPath();
    t.queryBookPageIndex();
    t.queryENotePageCount();
    t.queryENotePageIndex();
    t.queryBrowserUrl();
    t.sendStatus(QStringLiteral("ebook"));
    t.sendBattery(QStringLiteral("57"));
    t.sendHandsUp();
    t.sendApp(QString());
    t.sendVote(QStringLiteral("B"));
    t.sendChat(QStringLiteral("a#b&c@d é"));
    t.sendLockScreen(QStringLiteral("1"));
    t.syncEBook(4);
    t.syncENote(2);
    t.sendTeacherData(QStringLiteral("line@enote&0&3#x"));
    t.sendShareData(QStringLiteral("clear@ebook#0"), false); // share off: dropped
    t.sendShareData(QStringLiteral("preview@ebook#0#png"), true);
    t.m_bShare = true;
    t.sendShareData(QStringLiteral("clear@ebook#1"), false);
    const QByteArray expected =
        QByteArray("query@6_status") + "query@14_ebook#bookpath" + "query@15_ebook#pageindex" +
        "query@15_enote#pagecount" + "query@15_enote#pageindex" + "query@11_browser#url" +
        "status@5_ebook" + "battery@2_57" + "handsup@0_" + "app@0_" + "vote@1_B" + "chat@" +
        QByteArray::number(QStringLiteral("a#b&c@d é").toUtf8().size()) + "_" +
        QStringLiteral("a#b&c@d é").toUtf8() + "lockscreen@1_1" + "sync@7_ebook#4" +
        "sync@7_enote#2" + "line@11_enote&0&3#x" + "preview@11_ebook#0#png" + "clear@7_ebook#1";
    QVERIFY(link.teacher.waitForBytes(expected.size()));
    QCOMPARE(link.teacher.received(), expected);
}

void TestTeacherLink::guardsBeforeAcceptance()
{
    Link link;
    QVERIFY(link.connect());
    link.teacher.clearFrames();
    TcpManager &t = link.tcp;
    t.queryBookPath();
    t.queryBookPageIndex();
    t.queryENotePageCount();
    t.queryENotePageIndex();
    t.queryTeacherStatus();
    t.sendBattery(QStringLiteral("50"));
    t.queryENotePage(0); // no page-image request before the channel is asked for
    t.sendHandsUp();
    QVERIFY(link.teacher.waitForBytes(10));
    QTest::qWait(50);
    QCOMPARE(link.teacher.received(), QByteArray("handsup@0_"));
}

void TestTeacherLink::pageCountAskedOncePerConnection()
{
    Link link;
    QVERIFY(link.accept());
    link.teacher.clearFrames();
    link.tcp.queryENotePageCount();
    link.tcp.queryENotePageCount();
    link.tcp.sendHandsUp();
    QVERIFY(link.teacher.waitForFrames(2));
    QCOMPARE(link.teacher.frameTexts(), (QList<QByteArray>{"query@enote#pagecount", "handsup@"}));
    QVERIFY(link.drop());
    QVERIFY(link.accept());
    link.teacher.clearFrames();
    link.tcp.queryENotePageCount();
    QVERIFY(link.teacher.waitForFrames(1));
    QCOMPARE(link.teacher.frameTexts(), QList<QByteArray>{"query@enote#pagecount"});
}

void TestTeacherLink::heartbeat()
{
    Link link;
    link.clock = 5000;
    QVERIFY(link.accept());
    QVERIFY(link.tcp.isHeartBeatActive());
    link.teacher.clearFrames();

    link.clock = 5000 + 10000;
    link.tcp.onHeartBeatTimer();
    QTest::qWait(50);
    QCOMPARE(link.teacher.received(), QByteArray());

    link.clock = 5000 + 10001;
    link.tcp.onHeartBeatTimer();
    QVERIFY(link.teacher.waitForBytes(8));
    QCOMPARE(link.teacher.received(), QByteArray("heart@0_"));

    link.clock = 5000 + 30000;
    link.tcp.onHeartBeatTimer();
    QVERIFY(link.teacher.waitForBytes(16));
    QCOMPARE(link.teacher.received(), QByteArray("heart@0_heart@0_"));
    QVERIFY(link.tcp.m_bTeacherConnected);

    // Any data from the teacher renews the time.
    link.clock = 5000 + 30000;
    QVERIFY(link.feed(frame("vote@", "1")));
    link.clock = 5000 + 30000 + 30001;
    link.rec.log.clear();
    link.tcp.onHeartBeatTimer();
    QVERIFY(link.teacher.waitForDisconnected());
    QVERIFY(!link.tcp.isHeartBeatActive());
    QVERIFY(!link.tcp.m_bTeacherConnected);
    QCOMPARE(link.rec.log, QStringList{"reconnect"});
}

void TestTeacherLink::staleHeartbeatKeepsFreshConnection()
{
    Link link;
    link.clock = 0;
    QVERIFY(link.accept());
    QVERIFY(link.drop());
    QVERIFY(!link.tcp.isHeartBeatActive());
    link.clock = 100000;
    QVERIFY(link.connect()); // stamped at 100000
    link.clock = 105000;
    link.tcp.onHeartBeatTimer();
    QTest::qWait(50);
    QVERIFY(link.teacher.isConnected());
    QCOMPARE(link.tcp.teacherSocket()->state(), QAbstractSocket::ConnectedState);
}

// A teacher that neither speaks nor reads: the silence still ends the connection at once,
// even with bytes waiting to be sent to it.
void TestTeacherLink::heartbeatEndsStuckConnection()
{
    Link link;
    link.clock = 0;
    QVERIFY(link.accept());
    QTcpSocket *peer = link.teacher.socket();
    peer->setReadBufferSize(1);
    peer->blockSignals(true);
    link.tcp.sendChat(QString(24 * 1024 * 1024, QLatin1Char('x')));
    QTest::qWait(200);
    QVERIFY(link.tcp.teacherSocket()->bytesToWrite() > 0);

    link.rec.log.clear();
    link.clock = 30001;
    link.tcp.onHeartBeatTimer();
    QVERIFY(FakePeer::waitUntil(
        [&] { return link.tcp.teacherSocket()->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(link.rec.log, QStringList{"reconnect"});
    QVERIFY(!link.tcp.m_bTeacherConnected);
    peer->blockSignals(false);
}

void TestTeacherLink::kickAndReconnect()
{
    Link link;
    QVERIFY(link.accept());
    QVERIFY(link.feed(frame("kick@", "1")));
    QVERIFY(FakePeer::waitUntil([&] { return link.tcp.m_bKick; }));
    link.rec.log.clear();
    QVERIFY(link.drop());
    QCOMPARE(link.rec.log, QStringList{"kick"});
    QVERIFY(!link.tcp.m_bKick);

    QVERIFY(link.accept());
    link.rec.log.clear();
    QVERIFY(link.drop());
    QCOMPARE(link.rec.log, QStringList{"reconnect"});

    // A kick flag left over from a drop while reconnecting does not reach a new connection.
    QVERIFY(link.accept());
    QVERIFY(link.feed(frame("kick@", "1")));
    QVERIFY(FakePeer::waitUntil([&] { return link.tcp.m_bKick; }));
    Settings::instance()->m_bReconnecting = true;
    QVERIFY(link.drop());
    QVERIFY(link.tcp.m_bKick);
    QVERIFY(link.connect());
    QVERIFY(!link.tcp.m_bKick);
    Settings::instance()->m_bReconnecting = false;
    link.rec.log.clear();
    QVERIFY(link.drop());
    QCOMPARE(link.rec.log, QStringList{"reconnect"});
}

void TestTeacherLink::reconnectingDropKeepsShare()
{
    Link link;
    QVERIFY(link.accept());
    QVERIFY(link.feed(frame("share@", "1")));
    QVERIFY(FakePeer::waitUntil([&] { return link.tcp.m_bShare; }));
    Settings::instance()->m_bReconnecting = true;
    link.rec.log.clear();
    QVERIFY(link.drop());
    QCOMPARE(link.rec.log, QStringList());
    QVERIFY(link.tcp.m_bShare);
    QVERIFY(!link.tcp.m_bTeacherConnected);

    Settings::instance()->m_bReconnecting = false;
    QVERIFY(link.accept());
    QVERIFY(link.drop());
    QVERIFY(!link.tcp.m_bShare);
}

void TestTeacherLink::logout()
{
    Link link;
    link.tcp.logout();
    QVERIFY(!link.tcp.m_bKick);

    QVERIFY(link.accept());
    link.rec.log.clear();
    link.tcp.logout();
    QVERIFY(FakePeer::waitUntil([&] { return !link.rec.log.isEmpty(); }));
    QCOMPARE(link.rec.log, QStringList{"kick"});
    QVERIFY(!link.tcp.m_bKick);

    // A logout while the teacher connection is still being made: it never comes up.
    link.rec.log.clear();
    link.teacher.clearFrames();
    link.tcp.connectToTeacher(QStringLiteral("127.0.0.1"));
    QVERIFY(link.tcp.teacherSocket()->state() != QAbstractSocket::ConnectedState);
    link.tcp.logout();
    QTest::qWait(300);
    QCOMPARE(link.rec.log, QStringList());
    QCOMPARE(link.teacher.frames().size(), 0);
    QCOMPARE(link.tcp.teacherSocket()->state(), QAbstractSocket::UnconnectedState);
}

void TestTeacherLink::pendingFrameDroppedOnDisconnect()
{
    Link link;
    QVERIFY(link.accept());
    QVERIFY(link.feed("chat@10_abc"));
    QVERIFY(link.drop());
    QVERIFY(link.accept());
    link.rec.log.clear();
    QVERIFY(link.feed(frame("chat@", "hi")));
    QVERIFY(FakePeer::waitUntil([&] { return !link.rec.log.isEmpty(); }));
    QCOMPARE(link.rec.log, QStringList{"chat:hi"});
}

void TestTeacherLink::oversizedFrameAborts()
{
    Link link;
    QVERIFY(link.accept());
    link.rec.log.clear();
    QVERIFY(link.teacher.write("line@67108865_" + QByteArray(1000, 'x')));
    QVERIFY(FakePeer::waitUntil([&] { return link.rec.log.contains("reconnect"); }));
    QCOMPARE(link.rec.log, QStringList{"reconnect"});
    QVERIFY(!link.tcp.m_bTeacherConnected);
}

QTEST_GUILESS_MAIN(TestTeacherLink)
#include "tst_teacherlink.moc"
