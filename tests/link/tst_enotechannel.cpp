#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherFileThread.h"
#include "pages/PageView.h"
#include "screens/ENoteWidget.h"
#include "support/FakeTeacher.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

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
// comes back while the teacher link stays up.
class TestENoteChannel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pageAskedWhileTheChannelIsDown();

private:
    bool asked(const QByteArray &request, int timeoutMs = 3000);
    // The teacher's image port closes: the open connection drops and new ones are refused.
    void imagePortDown();
    // The port opens again; the page is asked for and the teacher answers it with its image
    // and its strokes' end: the page shows the image, synchronised.
    bool pageComesBack(PageView *view, int page);

    FakeTeacher m_teacher;
    FakePeer m_image;
    quint16 m_nImagePort = 0;
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

bool TestENoteChannel::pageComesBack(PageView *view, int page)
{
    const QByteArray row = QByteArray::number(page);
    const QByteArray image = png();
    m_teacher.clearFrames();
    const QByteArray header =
        "sync@enote#" + row + "#320,240,1," + QByteArray::number(image.size());
    return m_image.listen(m_nImagePort) && asked("sync@enote#query#" + row, kBackMs) &&
           m_image.write(header) && asked("sync@enote#ready#" + row) && m_image.write(image) &&
           FakePeer::waitUntil(
               [&] { return m_teacher.frameTexts().contains("sync@enote#" + row); }) &&
           m_teacher.sendFrame("sync@", "enote#end") &&
           FakePeer::waitUntil([view] { return view->checkIsUpdate(); }) &&
           view->currentIndex() == page && !view->document()->m_currPage.m_baImage.isEmpty();
}

// A page asked while the channel cannot be reached is not lost: the request goes out once
// the channel is back, and a page given up meanwhile is asked for again then.
void TestENoteChannel::pageAskedWhileTheChannelIsDown()
{
    ENoteWidget screen;
    TcpManager *tcp = TcpManager::instance();
    connect(tcp, &TcpManager::lineSyncEnd, &screen, [&screen](const QString &word) {
        if (word == QLatin1String("enote"))
            screen.lineSyncEnd();
    });
    screen.resize(1000, 700);
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));
    PageView *view = screen.pageView();
    QVERIFY(screen.matchPageCount(2));

    // A sync given up while the port is closed: the channel is made again and refused.
    imagePortDown();
    screen.setSyncTimeout(300);
    screen.setCurrentPage(0);
    QTRY_COMPARE(screen.syncPage(), -1);

    // The next page is asked while the channel is still down, and comes once it is back.
    screen.setSyncTimeout(ENoteWidget::SyncTimeout);
    screen.setCurrentPage(1);
    QVERIFY(pageComesBack(view, 1));

    // Down for longer than a sync may wait: the page is given up, and asked again once the
    // channel is back, the teacher link having stayed up all along.
    imagePortDown();
    screen.setSyncTimeout(300);
    screen.setCurrentPage(0);
    QTRY_COMPARE(screen.syncPage(), -1);
    screen.setSyncTimeout(ENoteWidget::SyncTimeout);
    QVERIFY(tcp->m_bTeacherConnected);
    QVERIFY(pageComesBack(view, 0));
}

QTEST_MAIN(TestENoteChannel)
#include "tst_enotechannel.moc"
