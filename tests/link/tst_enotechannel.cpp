#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherFileThread.h"
#include "pages/PageView.h"
#include "screens/ENoteWidget.h"
#include "support/FakeTeacher.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

#include <memory>

namespace {
// Long enough for the channel to be made again after a few refused attempts.
const int kBackMs = 30000;

QByteArray png()
{
    QImage image(QSize(320, 240), QImage::Format_RGB32);
    image.fill(QColor(30, 120, 60));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
} // namespace

// The e-note screen and the page-image channel with a teacher whose image port goes away and
// comes back, whose connections drop, and a second teacher the student moves to.
class TestENoteChannel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pageAskedWhileTheChannelIsDown();
    void dropMidSyncAsksThePageAgain();
    void channelFollowsTheTeacher();

private:
    bool asked(const QByteArray &request, int timeoutMs = 3000);
    // The teacher's image port closes: the open connection drops and new ones are refused.
    void imagePortDown();
    // The page is asked for and the teacher answers it with its image and its strokes' end:
    // the page shows the image, synchronised.
    bool serve(PageView *view, int page, int timeoutMs);
    // The port opens again, and the page is served.
    bool pageComesBack(PageView *view, int page);
    // An e-note screen, shown, with the main window's routing of the line-sync end.
    ENoteWidget *makeScreen();

    FakeTeacher m_teacher;
    FakePeer m_image;
    quint16 m_nImagePort = 0;
    std::unique_ptr<ENoteWidget> m_screen;
};

void TestENoteChannel::initTestCase()
{
    Settings::instance()->m_nMode = 1;
    QVERIFY(m_teacher.listen() && m_image.listen());
    m_nImagePort = m_image.port();
    TcpManager *tcp = TcpManager::instance();
    tcp->setTeacherPorts(m_teacher.port(), m_nImagePort);
    tcp->connectToTeacher(QStringLiteral("127.0.0.1"));
    QVERIFY(m_teacher.waitForConnection() && m_image.waitForConnection());
    QVERIFY(m_teacher.waitForFrames(1));
    QVERIFY(m_teacher.sendFrame("information@", ""));
    QTRY_VERIFY(tcp->m_bTeacherConnected);
}

ENoteWidget *TestENoteChannel::makeScreen()
{
    m_screen.reset(); // the screen pointer goes to the new one
    m_screen = std::make_unique<ENoteWidget>();
    ENoteWidget *screen = m_screen.get();
    connect(TcpManager::instance(), &TcpManager::lineSyncEnd, screen,
            [screen](const QString &word) {
                if (word == QLatin1String("enote"))
                    screen->lineSyncEnd();
            });
    screen->resize(1000, 700);
    screen->show();
    return QTest::qWaitForWindowExposed(screen) ? screen : nullptr;
}

bool TestENoteChannel::asked(const QByteArray &request, int timeoutMs)
{
    return FakePeer::waitUntil([&] { return m_image.received().endsWith(request); }, timeoutMs);
}

void TestENoteChannel::imagePortDown()
{
    m_image.stopListening();
    m_image.closeConnection();
    m_image.waitForDisconnected();
    m_image.clearReceived();
}

bool TestENoteChannel::serve(PageView *view, int page, int timeoutMs)
{
    const QByteArray row = QByteArray::number(page);
    const QByteArray image = png();
    m_teacher.clearFrames();
    const QByteArray header =
        "sync@enote#" + row + "#320,240,1," + QByteArray::number(image.size());
    return asked("sync@enote#query#" + row, timeoutMs) && m_image.write(header) &&
           asked("sync@enote#ready#" + row) && m_image.write(image) && FakePeer::waitUntil([&] {
               return m_teacher.frameTexts().contains("sync@enote#" + row);
           }) &&
           m_teacher.sendFrame("sync@", "enote#end") &&
           FakePeer::waitUntil([view] { return view->checkIsUpdate(); }) &&
           view->currentIndex() == page && !view->document()->m_currPage.m_baImage.isEmpty();
}

bool TestENoteChannel::pageComesBack(PageView *view, int page)
{
    return m_image.listen(m_nImagePort) && serve(view, page, kBackMs);
}

// A page asked while the channel cannot be reached is not lost: the request goes out once
// the channel is back, and a page given up meanwhile is asked for again then.
void TestENoteChannel::pageAskedWhileTheChannelIsDown()
{
    ENoteWidget *screen = makeScreen();
    QVERIFY(screen);
    TcpManager *tcp = TcpManager::instance();
    PageView *view = screen->pageView();
    QVERIFY(screen->matchPageCount(2));

    // A sync given up while the port is closed: the channel is made again and refused.
    imagePortDown();
    screen->setSyncTimeout(300);
    screen->setCurrentPage(0);
    QTRY_COMPARE(screen->syncPage(), -1);

    // The next page is asked while the channel is still down, and comes once it is back.
    screen->setSyncTimeout(ENoteWidget::SyncTimeout);
    screen->setCurrentPage(1);
    QVERIFY(pageComesBack(view, 1));

    // Down for longer than a sync may wait: the page is given up, and asked again once the
    // channel is back, the teacher link having stayed up all along.
    imagePortDown();
    screen->setSyncTimeout(300);
    screen->setCurrentPage(0);
    QTRY_COMPARE(screen->syncPage(), -1);
    screen->setSyncTimeout(ENoteWidget::SyncTimeout);
    QVERIFY(tcp->m_bTeacherConnected);
    QVERIFY(pageComesBack(view, 0));
}

// The channel drops during a sync, before the header or halfway through the image: once it
// is back, the page shown is asked for again without a tap, and comes whole.
void TestENoteChannel::dropMidSyncAsksThePageAgain()
{
    ENoteWidget *screen = makeScreen();
    QVERIFY(screen);
    PageView *view = screen->pageView();
    QVERIFY(screen->matchPageCount(2));
    // Longer than any wait here: the sync's own end is not what asks again.
    screen->setSyncTimeout(6 * FakePeer::kWaitMs);
    m_image.clearReceived();
    screen->setCurrentPage(0);
    QVERIFY(asked("sync@enote#query#0"));
    m_image.clearReceived();
    m_image.closeConnection();
    QVERIFY(serve(view, 0, FakePeer::kWaitMs));

    m_image.clearReceived();
    screen->setCurrentPage(1);
    QVERIFY(asked("sync@enote#query#1"));
    const QByteArray image = png();
    QVERIFY(m_image.write("sync@enote#1#320,240,1," + QByteArray::number(image.size())));
    QVERIFY(asked("sync@enote#ready#1"));
    QVERIFY(m_image.write(image.left(image.size() / 2)));
    QVERIFY(FakePeer::waitUntil([] {
        const TeacherFileThread *channel = TcpManager::instance()->teacherFileThread();
        return channel->isReceivingFile();
    }));
    m_image.clearReceived();
    m_image.closeConnection();
    QVERIFY(serve(view, 1, FakePeer::kWaitMs));
}

// The channel is the current teacher's: it moves to a teacher at another address, and
// closes with a logout and with a kick.
void TestENoteChannel::channelFollowsTheTeacher()
{
    ENoteWidget *screen = makeScreen();
    QVERIFY(screen);
    TcpManager *tcp = TcpManager::instance();
    TeacherFileThread *channel = tcp->teacherFileThread();
    const QHostAddress second(QStringLiteral("127.0.0.2"));
    FakeTeacher other;
    FakePeer otherImage;
    QVERIFY(other.listenOn(second, m_teacher.port()) && otherImage.listenOn(second, m_nImagePort));

    // The first teacher's link drops while its image port stays up; the student joins the
    // second teacher.
    m_teacher.closeConnection();
    QTRY_VERIFY(!tcp->m_bTeacherConnected);
    m_image.clearReceived();
    tcp->connectToTeacher(second.toString());
    QVERIFY(otherImage.waitForConnection() && m_image.waitForDisconnected());
    QVERIFY(other.waitForConnection() && other.waitForFrames(1));
    QVERIFY(other.sendFrame("information@", ""));
    QTRY_VERIFY(tcp->m_bTeacherConnected);
    QVERIFY(screen->matchPageCount(1));
    screen->setCurrentPage(0);
    QVERIFY(
        FakePeer::waitUntil([&] { return otherImage.received().endsWith("sync@enote#query#0"); }));
    QCOMPARE(m_image.received(), QByteArray());

    // A logout ends it: no connection, none being made.
    tcp->logout();
    QVERIFY(otherImage.waitForDisconnected());
    QVERIFY(!channel->isStarted());
    QCOMPARE(channel->retryPause(), 0);

    // Back with the first teacher, who kicks the student: it ends again.
    m_teacher.clearFrames();
    tcp->connectToTeacher(QStringLiteral("127.0.0.1"));
    QVERIFY(m_teacher.waitForConnection() && m_image.waitForConnection());
    QVERIFY(m_teacher.waitForFrames(1) && m_teacher.sendFrame("information@", ""));
    QTRY_VERIFY(tcp->m_bTeacherConnected);
    QVERIFY(m_teacher.sendFrame("kick@", "1"));
    QTRY_VERIFY(tcp->m_bKick);
    m_teacher.closeConnection();
    QVERIFY(m_image.waitForDisconnected());
    QVERIFY(!channel->isStarted());
    QCOMPARE(channel->retryPause(), 0);
}

QTEST_MAIN(TestENoteChannel)
#include "tst_enotechannel.moc"
