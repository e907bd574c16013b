#include "link/PageImageHeader.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherFileThread.h"
#include "support/FakePeer.h"

#include <QDir>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

namespace {
// A page-image channel joined to a teacher peer on 127.0.0.1.
struct Channel
{
    Channel()
    {
        peer.listen();
        thread.setPort(peer.port());
        thread.m_strTeacherIp = QStringLiteral("127.0.0.1");
    }
    bool connect()
    {
        thread.connectToServer();
        return peer.waitForConnection() && FakePeer::waitUntil([this] {
                   QTcpSocket *s = socket();
                   return s && s->state() == QAbstractSocket::ConnectedState;
               });
    }
    QTcpSocket *socket() { return thread.findChild<QTcpSocket *>(); }
    // Writes raw bytes and waits until the channel has read them.
    bool feed(const QByteArray &bytes)
    {
        QSignalSpy reads(socket(), &QIODevice::readyRead);
        return peer.write(bytes) && reads.wait(FakePeer::kWaitMs);
    }

    FakePeer peer;
    TeacherFileThread thread;
    QSignalSpy replaced{&thread, &TeacherFileThread::replacepage};
    QSignalSpy completed{&thread, &TeacherFileThread::FileSyncComplete};
};

QString notePath(int number)
{
    return Settings::instance()->tempNotesDir() + QStringLiteral("enote_%1.png").arg(number);
}

QStringList noteFiles()
{
    return QDir(Settings::instance()->tempNotesDir())
        .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

class TestPageImage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void headerLimits_data();
    void headerLimits();
    void headerWithoutImage();
    void imageSplitOverReads();
    void malformedHeadersDropped_data();
    void malformedHeadersDropped();
    void dropMidImage();
    void unopenableFileStillConsumed();
    void queuedRequestsSentOnConnect();
    void requestsThroughTcpManager();
    void retryPauseGrowsUntilUsefulWork();
};

void TestPageImage::init()
{
    QDir(Settings::instance()->tempNotesDir()).removeRecursively();
}

void TestPageImage::headerLimits_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << QByteArray("sync@enote#3#800,600,0,0") << true;
    QTest::newRow("largest") << QByteArray("sync@x#0#16384,16384,1,67108864") << true;
    QTest::newRow("smallest") << QByteArray("sync@x#0#1,1,2,1") << true;
    QTest::newRow("no image size ignored") << QByteArray("sync@x#0#1,1,0,abc") << true;
    QTest::newRow("wide") << QByteArray("sync@x#0#16385,1,0,0") << false;
    QTest::newRow("zero height") << QByteArray("sync@x#0#10,0,0,0") << false;
    QTest::newRow("negative page") << QByteArray("sync@x#-1#10,10,0,0") << false;
    QTest::newRow("size zero") << QByteArray("sync@x#0#10,10,1,0") << true;
    QTest::newRow("size over") << QByteArray("sync@x#0#10,10,1,67108865") << false;
    QTest::newRow("size text") << QByteArray("sync@x#0#10,10,1,big") << false;
    QTest::newRow("page text") << QByteArray("sync@x#p#10,10,0,0") << false;
    QTest::newRow("three numbers") << QByteArray("sync@enote#3#800,600,1") << false;
    QTest::newRow("two fields") << QByteArray("sync@enote#3") << false;
    QTest::newRow("prefix") << QByteArray("sunc@enote#3#800,600,0,0") << false;
    QTest::newRow("long") << QByteArray("sync@x#0#10,10,0,") + QByteArray(300, '0') << false;
}

void TestPageImage::headerLimits()
{
    QFETCH(QByteArray, header);
    QFETCH(bool, valid);
    PageImageHeader parsed;
    QCOMPARE(PageImageHeader::parse(header, &parsed), valid);
}

void TestPageImage::headerWithoutImage()
{
    Channel c;
    QVERIFY(c.connect());
    QVERIFY(c.feed("sync@enote#3#800,600,0,0"));
    QCOMPARE(c.replaced.count(), 1);
    QCOMPARE(c.replaced.at(0), (QVariantList{3, 800, 600, false}));
    QVERIFY(!c.thread.isReceivingFile());
    QCOMPARE(noteFiles(), QStringList());

    // An image of no bytes: the page is replaced at once and the next read is a header.
    QVERIFY(c.feed("sync@enote#5#640,480,1,0"));
    QCOMPARE(c.replaced.count(), 2);
    QCOMPARE(c.replaced.at(1), (QVariantList{5, 640, 480, false}));
    QVERIFY(!c.thread.isReceivingFile());
    QVERIFY(c.feed("sync@enote#6#640,480,0,0"));
    QCOMPARE(c.replaced.count(), 3);
    QCOMPARE(c.completed.count(), 0);
    QCOMPARE(noteFiles(), QStringList());
}

void TestPageImage::imageSplitOverReads()
{
    Channel c;
    QVERIFY(c.connect());
    QVERIFY(c.feed("sync@enote#3#800,600,1,5000"));
    QCOMPARE(c.replaced.count(), 1);
    QCOMPARE(c.replaced.at(0), (QVariantList{3, 800, 600, true}));
    QVERIFY(c.thread.isReceivingFile());

    QByteArray png(5500, '\0');
    for (int i = 0; i < png.size(); ++i)
        png[i] = char(i * 7);
    QVERIFY(c.feed(png.left(3000)));
    QVERIFY(FakePeer::waitUntil([&] { return c.thread.isReceivingFile(); }));
    QVERIFY(!QFile::exists(notePath(4)));
    QVERIFY(c.feed(png.mid(3000)));
    QVERIFY(FakePeer::waitUntil([&] { return c.completed.count() == 1; }));
    QVERIFY(!c.thread.isReceivingFile());
    QFile file(notePath(4));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), png.left(5000));
    QCOMPARE(noteFiles(), QStringList{"enote_4.png"});

    // The channel waits for the next header again.
    QVERIFY(c.feed("sync@enote#0#10,20,0,0"));
    QCOMPARE(c.replaced.count(), 2);
    QCOMPARE(c.replaced.at(1), (QVariantList{0, 10, 20, false}));
}

void TestPageImage::malformedHeadersDropped_data()
{
    headerLimits_data();
}

void TestPageImage::malformedHeadersDropped()
{
    QFETCH(QByteArray, header);
    QFETCH(bool, valid);
    if (valid)
        QSKIP("well-formed header");
    Channel c;
    QVERIFY(c.connect());
    QVERIFY(c.feed(header));
    QCOMPARE(c.replaced.count(), 0);
    QVERIFY(!c.thread.isReceivingFile());
    QCOMPARE(noteFiles(), QStringList());
}

void TestPageImage::dropMidImage()
{
    Channel c;
    QVERIFY(c.connect());
    QVERIFY(c.feed("sync@enote#1#80,60,1,1000"));
    QVERIFY(c.feed(QByteArray(100, 'x')));
    c.peer.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !c.thread.isReceivingFile(); }));
    QCOMPARE(c.completed.count(), 0);
    QCOMPARE(noteFiles(), QStringList());

    // A new connection starts with a header.
    QVERIFY(c.connect());
    QVERIFY(c.feed("sync@enote#1#80,60,1,4"));
    QVERIFY(c.feed("abcd"));
    QVERIFY(FakePeer::waitUntil([&] { return c.completed.count() == 1; }));
    QCOMPARE(noteFiles(), QStringList{"enote_2.png"});
}

void TestPageImage::unopenableFileStillConsumed()
{
    Channel c;
    QVERIFY(QDir().mkpath(notePath(1))); // a folder where the file should go
    QVERIFY(c.connect());
    QVERIFY(c.feed("sync@enote#0#80,60,1,10"));
    QCOMPARE(c.replaced.at(0), (QVariantList{0, 80, 60, true}));
    QVERIFY(c.feed("0123456"));
    QVERIFY(c.feed("789"));
    QVERIFY(FakePeer::waitUntil([&] { return c.completed.count() == 1; }));
    QVERIFY(!c.thread.isReceivingFile());
    QVERIFY(c.feed("sync@enote#2#80,60,0,0"));
    QCOMPARE(c.replaced.count(), 2);
}

// One call writes one request, so the teacher never reads two glued together; the
// connection coming up writes nothing.
void TestPageImage::queuedRequestsSentOnConnect()
{
    Channel c;
    c.thread.sendCommand("sync@enote#query#1");
    c.thread.sendCommand("sync@enote#query#2");
    QCOMPARE(c.thread.queuedCommands(), 2);
    QVERIFY(c.connect());
    QTest::qWait(100);
    QCOMPARE(c.peer.received(), QByteArray());
    QCOMPARE(c.thread.queuedCommands(), 2);
    c.thread.sendCommand("sync@enote#ready#3");
    QVERIFY(c.peer.waitForBytes(18));
    QTest::qWait(50);
    QCOMPARE(c.peer.received(), QByteArray("sync@enote#query#1"));
    QCOMPARE(c.thread.queuedCommands(), 2);

    // A channel that cannot be reached keeps the newest requests only.
    Channel idle;
    for (int i = 0; i < 40; ++i)
        idle.thread.sendCommand("sync@enote#query#" + QByteArray::number(i));
    QCOMPARE(idle.thread.queuedCommands(), TeacherFileThread::MaxQueuedCommands);
    QVERIFY(idle.connect());
    idle.thread.sendCommand("sync@enote#ready#40");
    QVERIFY(idle.peer.waitForBytes(19));
    QCOMPARE(idle.peer.received(), QByteArray("sync@enote#query#25"));
}

void TestPageImage::requestsThroughTcpManager()
{
    FakePeer teacher;
    QVERIFY(teacher.listen());
    FakePeer image;
    QVERIFY(image.listen());
    TcpManager tcp;
    tcp.setTeacherPorts(teacher.port(), image.port());
    tcp.queryENotePage(5); // no channel yet: not sent
    TeacherFileThread *channel = tcp.teacherFileThread();
    QCOMPARE(tcp.teacherFileThread(), channel);
    QCOMPARE(channel->port(), image.port());
    tcp.connectToTeacher(QStringLiteral("127.0.0.1"));
    // Written while the socket is still connecting: sent once it is up, one per call.
    tcp.queryENotePage(3);
    QVERIFY(image.waitForBytes(18));
    QCOMPARE(image.received(), QByteArray("sync@enote#query#3"));
    image.clearReceived();
    tcp.readyENoteSync(3);
    QVERIFY(image.waitForBytes(18));
    QCOMPARE(image.received(), QByteArray("sync@enote#ready#3"));
    QVERIFY(teacher.waitForConnection());
}

// A peer that takes each connection and closes it: the pause before the next attempt grows
// at each drop, the connects between them notwithstanding; a connection that carried a
// header starts it over.
void TestPageImage::retryPauseGrowsUntilUsefulWork()
{
    Channel c;
    bool closeEach = true;
    QObject::connect(&c.peer, &FakePeer::clientConnected, &c.peer, [&] {
        if (closeEach)
            c.peer.closeConnection();
    });
    c.thread.connectToServer();
    QVERIFY(FakePeer::waitUntil(
        [&] { return c.peer.connectionCount() == 2 && c.thread.retryPause() > 0; }));
    QCOMPARE(c.thread.retryPause(), 2 * TeacherFileThread::RetryDelayMs);

    closeEach = false;
    QVERIFY(FakePeer::waitUntil([&] {
        return c.peer.connectionCount() == 3 && c.socket() &&
               c.socket()->state() == QAbstractSocket::ConnectedState;
    }));
    QVERIFY(c.feed("sync@enote#0#10,20,0,0"));
    c.peer.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return c.thread.retryPause() > 0; }));
    QCOMPARE(c.thread.retryPause(), TeacherFileThread::RetryDelayMs);
}

QTEST_GUILESS_MAIN(TestPageImage)
#include "tst_pageimage.moc"
