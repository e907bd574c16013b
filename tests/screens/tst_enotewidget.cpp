// screen sizes: 1920x1080 1280x800
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherFileThread.h"
#include "pages/HSPage.h"
#include "pages/PageView.h"
#include "pages/PolylineItem.h"
#include "pages/TaskToolManager.h"
#include "pdf/XPDFRenderer.h"
#include "screens/EBookItemDelegate.h"
#include "screens/ENoteWidget.h"
#include "screens/PageListWidget.h"
#include "support/FakeTeacher.h"
#include "support/TestArtifacts.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTouchDevice>
#include <QtTest>

#include <memory>

namespace {
const QByteArray kStroke = "3#200,0,0,255#6#40,40 300,60 220,260 ";

QStringList g_log;
QtMessageHandler g_previous = nullptr;
void keepDebug(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    g_log << text;
    if (g_previous)
        g_previous(type, context, text);
}
int logged(const QString &line)
{
    return g_log.count(line);
}
bool seen(const QString &start)
{
    return FakePeer::waitUntil([&] {
        return std::any_of(g_log.cbegin(), g_log.cend(),
                           [&](const QString &line) { return line.startsWith(start); });
    });
}

QByteArray picture(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 225, 250));
    QPainter painter(&image);
    painter.setPen(QPen(QColor(40, 90, 160), 4));
    for (int y = 40; y < size.height(); y += 40)
        painter.drawLine(20, y, size.width() - 20, y);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray monoPng(const QSize &size)
{
    QImage image(size, QImage::Format_Mono);
    image.fill(0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QList<PolylineItem *> strokesOf(PageView *view)
{
    QList<PolylineItem *> strokes;
    for (QGraphicsItem *item : view->pageScene()->items(Qt::AscendingOrder)) {
        if (auto *stroke = dynamic_cast<PolylineItem *>(item))
            strokes << stroke;
    }
    return strokes;
}

// Finger 1 on the canvas at scene points: pressed at the first, moved along, lifted at the last.
void touch(PageView *view, const QList<QPointF> &points, bool press, bool release)
{
    static QTouchDevice *s_device = QTest::createTouchDevice();
    QWidget *pad = view->viewport();
    for (int i = 0; i < points.size(); ++i) {
        const QPoint at = view->mapFromScene(points.at(i));
        if (press && i == 0)
            QTest::touchEvent(pad, s_device).press(1, at, pad);
        else
            QTest::touchEvent(pad, s_device).move(1, at, pad);
    }
    if (release)
        QTest::touchEvent(pad, s_device).release(1, view->mapFromScene(points.last()), pad);
}

// The mouse on the canvas, through its window, placed by scene points.
void drawWithMouse(PageView *view, const QList<QPointF> &points)
{
    QWindow *window = view->window()->windowHandle();
    const auto at = [view](const QPointF &p) {
        return view->viewport()->mapTo(view->window(), view->mapFromScene(p));
    };
    QTest::mousePress(window, Qt::LeftButton, {}, at(points.first()));
    for (const QPointF &p : points.mid(1))
        QTest::mouseMove(window, at(p));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(points.last()));
}

// Back and forth across x 20..760, a row every `step` from y `top` to `bottom`, a point every
// 16 pixels: shading by hand.
QList<QPointF> rows(int top, int bottom, int step)
{
    QList<QPointF> points;
    for (int y = top, row = 0; y <= bottom; y += step, ++row)
        for (int x = 0; x <= 736; x += 16)
            points << QPointF(row % 2 ? 760 - x : 20 + x, y);
    return points;
}

// The share of the pixels of a page area that pass a test, on an image of the whole page.
double shareOf(const QImage &page, const QSizeF &pageSize, const QRectF &area,
               const std::function<bool(const QColor &)> &test)
{
    const double sx = page.width() / pageSize.width();
    const double sy = page.height() / pageSize.height();
    const QRect box = QRectF(area.x() * sx, area.y() * sy, area.width() * sx, area.height() * sy)
                          .toRect()
                          .intersected(page.rect());
    int passed = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            passed += test(page.pixelColor(x, y)) ? 1 : 0;
    return box.isEmpty() ? 0.0 : double(passed) / (box.width() * box.height());
}

QByteArray header(int page, const QSize &size, const QByteArray &image)
{
    return QStringLiteral("sync@enote#%1#%2,%3,%4,%5")
        .arg(page)
        .arg(size.width())
        .arg(size.height())
        .arg(image.isEmpty() ? 0 : 1)
        .arg(image.size())
        .toUtf8();
}
} // namespace

class TestENoteWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pageCountFollowsTheTeacher();
    void pageFinishedOnceWithImageAndStrokes();
    void answersNotAskedForChangeNothing();
    void syncEndsForItsPageTimesOutAndDrops();
    void slowImageKeepsItsSync();
    void stalledImageAndLateAnswerSpoilNoLaterSync();
    void pagesBeyondThePictureLimit();
    void strokesOnTwoPagesReachBothThumbnails();
    void addedPagesAndRowsOutsideTheList();
    void touchDragScrollsOneRow();
    void longInkIsWholeEverywhere();
    void fingerDownThroughAResync();
    void resyncKeepsTheInkAsItWas();
    void screenshotOfSynchronisedPage();

private:
    bool accept();
    bool asked(const QByteArray &request);
    // The teacher's side of one page: header, strokes, line-sync end and image.
    bool serve(int page, const QSize &size, const QByteArray &image, bool imageFirst = false,
               const QByteArray &stroke = kStroke);
    bool setShare(bool on);

    FakeTeacher m_teacher;
    FakePeer m_image;
    std::unique_ptr<ENoteWidget> m_screen;
};

void TestENoteWidget::initTestCase()
{
    g_previous = qInstallMessageHandler(keepDebug);
    Settings::instance()->m_nMode = 1;
    QVERIFY(m_teacher.listen() && m_image.listen());
    TcpManager::instance()->setTeacherPorts(m_teacher.port(), m_image.port());
    QVERIFY(accept());
}

bool TestENoteWidget::accept()
{
    TcpManager *tcp = TcpManager::instance();
    m_teacher.clearFrames();
    tcp->connectToTeacher(QStringLiteral("127.0.0.1"));
    if (!m_teacher.waitForConnection() || !m_image.waitForConnection() ||
        !m_teacher.waitForFrames(1))
        return false;
    m_teacher.sendFrame("information@", "");
    return FakePeer::waitUntil([tcp] { return tcp->m_bTeacherConnected; });
}

void TestENoteWidget::init()
{
    m_screen = std::make_unique<ENoteWidget>();
    ENoteWidget *screen = m_screen.get();
    TcpManager *tcp = TcpManager::instance();
    // The main window's routing of page messages and of the line-sync end.
    connect(tcp, &TcpManager::lineData, screen, [screen](const QString &data) {
        const QStringList parts = data.split(QLatin1Char('&'));
        if (parts.size() == 3 && parts.at(0) == QLatin1String("enote"))
            screen->lineUpdatePage(parts.at(1).toInt(), parts.at(2));
    });
    connect(tcp, &TcpManager::lineSyncEnd, screen, [screen](const QString &word) {
        if (word == QLatin1String("enote"))
            screen->lineSyncEnd();
    });
    screen->resize(1000, 700);
    screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(screen));
    m_image.clearReceived();
    m_teacher.clearFrames();
    g_log.clear();
}

void TestENoteWidget::cleanup()
{
    m_screen.reset();
}

bool TestENoteWidget::asked(const QByteArray &request)
{
    return FakePeer::waitUntil([&] { return m_image.received().endsWith(request); });
}

bool TestENoteWidget::serve(int page, const QSize &size, const QByteArray &image, bool imageFirst,
                            const QByteArray &stroke)
{
    const QByteArray word = "enote#" + QByteArray::number(page);
    const int finished = logged("enote sync finish (5)");
    if (!m_image.write(header(page, size, image)) ||
        !FakePeer::waitUntil([&] { return m_teacher.frameTexts().contains("sync@" + word); }))
        return false;
    auto sendImage = [&] {
        return asked("sync@enote#ready#" + QByteArray::number(page)) && m_image.write(image) &&
               FakePeer::waitUntil(
                   [] { return !TcpManager::instance()->teacherFileThread()->isReceivingFile(); });
    };
    if (imageFirst && !image.isEmpty() && !sendImage())
        return false;
    if (logged("enote sync finish (5)") != finished)
        return false; // not finished before its strokes have ended
    m_teacher.sendFrame("line@", "enote&" + QByteArray::number(page) + '&' + stroke);
    m_teacher.sendFrame("sync@", "enote#end");
    if (!FakePeer::waitUntil([] { return logged("m_bLineSyncing = false;") > 0; }))
        return false;
    g_log.removeAll("m_bLineSyncing = false;");
    if (!imageFirst && !image.isEmpty() &&
        (logged("enote sync finish (5)") != finished || !sendImage()))
        return false;
    return logged("enote sync finish (5)") == finished + 1;
}

// Through the teacher's "share@", its answer dropped.
bool TestENoteWidget::setShare(bool on)
{
    TcpManager *tcp = TcpManager::instance();
    m_teacher.sendFrame("share@", on ? "1" : "0");
    const bool done = FakePeer::waitUntil([&] {
        return tcp->m_bShare == on && m_teacher.frameTexts().contains(on ? "share@1" : "share@0");
    });
    m_teacher.clearFrames();
    return done;
}

void TestENoteWidget::pageCountFollowsTheTeacher()
{
    QVERIFY(m_screen->matchPageCount(3));
    m_screen->lineUpdatePage(0, kStroke);
    QVERIFY(m_screen->matchPageCount(5));
    QCOMPARE(m_screen->pageCount(), 5);
    QCOMPARE(m_screen->thumbnails()->count(), 5);
    QCOMPARE(m_screen->pageView()->pageCount(), 5);
    QVERIFY(m_screen->matchPageCount(4));
    QVERIFY(m_screen->matchPageCount(2)); // fewer: every page goes, blank ones come
    QCOMPARE(m_screen->pageView()->pageCount(), 2);
    QVERIFY(m_screen->pageView()->pageScene()->items().isEmpty());
    QVERIFY(!m_screen->matchPageCount(-1));
    QVERIFY(!m_screen->matchPageCount(1001));
    QCOMPARE(m_screen->pageCount(), 2);
    QVERIFY(m_screen->matchPageCount(0));
    QCOMPARE(m_screen->pageCount(), 0);
    QCOMPARE(m_screen->thumbnails()->count(), 0);

    QVERIFY(ENoteWidget::validPageSize(800, 600));
    QVERIFY(!ENoteWidget::validPageSize(0, 5) && !ENoteWidget::validPageSize(16385, 2));

    // The teacher accepting the student again clears the e-note pages.
    m_screen->matchPageCount(3);
    QVERIFY(m_teacher.sendFrame("information@", ""));
    QVERIFY(FakePeer::waitUntil([this] { return m_screen->pageCount() == 0; }));
}

void TestENoteWidget::pageFinishedOnceWithImageAndStrokes()
{
    m_screen->matchPageCount(3);
    m_screen->setCurrentPage(1);
    QVERIFY(asked("sync@enote#query#1"));
    m_screen->setCurrentPage(1);
    m_screen->onSetCurrPage(1);
    QTest::qWait(100);
    QCOMPARE(m_image.received(), QByteArray("sync@enote#query#1")); // one query in flight

    const QByteArray image = picture(QSize(400, 300));
    QVERIFY(serve(1, QSize(400, 300), image)); // image after the line-sync end
    PageView *view = m_screen->pageView();
    QVERIFY(view->checkIsUpdate());
    QCOMPARE(view->currentIndex(), 1);
    QCOMPARE(view->pageScene()->sceneRect(), QRectF(0, 0, 400, 300));
    QVERIFY(!view->document()->m_currPage.m_baImage.isEmpty());
    QCOMPARE(view->document()->m_currPage.m_listItems.size(), 1);
    QVERIFY(view->document()->m_currPage.m_listItems.first().startsWith("3#200,0,0,255#6#40,40"));
    QVERIFY(!QFile::exists(ENoteWidget::pageImagePath(1)));
    const QImage thumb = m_screen->thumbnails()->thumbnail(1).toImage();
    QCOMPARE(thumb.size(), QSize(150, 113));
    QCOMPARE(thumb.pixelColor(75, 3), QColor(200, 225, 250));

    m_image.clearReceived();
    m_screen->setCurrentPage(0);
    QVERIFY(asked("sync@enote#query#0"));
    QVERIFY(serve(0, QSize(300, 300), image, true)); // image before the line-sync end
    m_screen->setCurrentPage(1);                     // synchronised: shown without asking
    QTest::qWait(100);
    QCOMPARE(m_image.received(), QByteArray("sync@enote#query#0sync@enote#ready#0"));
}

void TestENoteWidget::answersNotAskedForChangeNothing()
{
    m_screen->matchPageCount(3);
    m_screen->setCurrentPage(2);
    QVERIFY(asked("sync@enote#query#2"));
    m_screen->lineSyncEnd(); // no sync answered yet
    QVERIFY(!m_screen->pageView()->checkIsUpdate());

    QVERIFY(m_image.write(header(1, QSize(500, 500), QByteArray())));
    QVERIFY(seen("onReplacepage: page 1 was not asked for"));
    const QByteArray image = picture(QSize(64, 64));
    QVERIFY(m_image.write(header(0, QSize(64, 64), image)));
    QVERIFY(seen("onReplacepage: page 0 was not asked for"));
    // The stray image is never asked for: the channel reads the next header.
    QVERIFY(!TcpManager::instance()->teacherFileThread()->isReceivingFile());
    QVERIFY(!m_image.received().contains("ready"));
    QVERIFY(!QFile::exists(ENoteWidget::pageImagePath(0)));
    QVERIFY(m_teacher.frameTexts().isEmpty());
    QCOMPARE(m_screen->pageView()->currentIndex(), 2);
    QCOMPARE(m_screen->syncPage(), 2);

    QVERIFY(serve(2, QSize(640, 480), QByteArray()));
    QVERIFY(m_screen->pageView()->checkIsUpdate());
    m_screen->lineSyncEnd();
    QCOMPARE(logged("enote sync finish (5)"), 1);
}

void TestENoteWidget::syncEndsForItsPageTimesOutAndDrops()
{
    m_screen->matchPageCount(3);
    m_screen->setCurrentPage(1);
    QVERIFY(asked("sync@enote#query#1"));
    QVERIFY(m_image.write(header(1, QSize(320, 240), QByteArray())));
    QVERIFY(FakePeer::waitUntil([this] { return m_teacher.frameTexts().size() == 1; }));
    m_screen->setCurrentPage(0); // the student moves on before the strokes have ended
    m_teacher.sendFrame("sync@", "enote#end");
    QVERIFY(asked("sync@enote#query#0")); // page 0 asked once page 1 is done
    QCOMPARE(m_screen->pageView()->currentIndex(), 0);
    QVERIFY(!m_screen->pageView()->checkIsUpdate());
    HSPage page1;
    QVERIFY(m_screen->pageView()->document()->getPage(1, page1));
    QVERIFY(page1.m_bInit);
    QCOMPARE(page1.m_size, QSize(320, 240));

    // No answer: the sync ends, the channel is made again, and the page shown is asked for
    // again on the new connection, without a tap.
    const int connections = m_image.connectionCount();
    m_image.clearReceived();
    m_screen->setSyncTimeout(200);
    QVERIFY(FakePeer::waitUntil([&] {
        return m_image.connectionCount() > connections && m_image.isConnected() &&
               m_image.received().endsWith("sync@enote#query#0");
    }));
    m_screen->setSyncTimeout(1000); // long enough for the header to come in time
    QVERIFY(m_image.write(header(0, QSize(320, 240), QByteArray())));
    QVERIFY(FakePeer::waitUntil([this] { return m_teacher.frameTexts().size() == 2; }));
    QVERIFY(FakePeer::waitUntil([this] { return m_screen->syncPage() == -1; }));
    QVERIFY(!m_screen->pageView()->checkIsUpdate());

    // A dropped teacher connection ends a sync too.
    m_screen->setSyncTimeout(ENoteWidget::SyncTimeout);
    m_screen->setCurrentPage(0);
    QVERIFY(m_image.write(header(0, QSize(320, 240), QByteArray())));
    QVERIFY(FakePeer::waitUntil([this] { return m_teacher.frameTexts().size() == 3; }));
    m_teacher.closeConnection();
    QVERIFY(FakePeer::waitUntil([this] { return m_screen->syncPage() == -1; }));
    m_screen->lineSyncEnd();
    QVERIFY(!m_screen->pageView()->checkIsUpdate());
    QCOMPARE(logged("enote sync finish (5)"), 1);
    QVERIFY(accept());
}

// A sync lives as long as it makes progress: strokes, the line-sync end and every piece of
// the image restart its timer; a stall ends it.
void TestENoteWidget::slowImageKeepsItsSync()
{
    const int gap = 500; // each well under the timeout, all of them beyond it
    m_screen->setSyncTimeout(1500);
    m_screen->matchPageCount(2);
    const QByteArray image = picture(QSize(400, 300));
    const int piece = image.size() / 4 + 1;
    const int connections = m_image.connectionCount();
    for (const int page : {1, 0}) {
        const QByteArray row = QByteArray::number(page);
        m_screen->setCurrentPage(page);
        QVERIFY(asked("sync@enote#query#" + row));
        QVERIFY(m_image.write(header(page, QSize(400, 300), image)));
        QVERIFY(asked("sync@enote#ready#" + row));
        QVERIFY(m_teacher.sendFrame("line@", "enote&" + row + '&' + kStroke));
        QTest::qWait(gap);
        QVERIFY(m_teacher.sendFrame("sync@", "enote#end"));
        // Page 0 stalls after its first piece.
        for (int at = 0; at < (page == 1 ? image.size() : piece); at += piece) {
            QTest::qWait(gap);
            QCOMPARE(m_screen->syncPage(), page);
            QVERIFY(m_image.write(image.mid(at, piece)));
        }
        if (page == 1)
            QVERIFY(FakePeer::waitUntil([this] { return m_screen->syncPage() == -1; }));
        QCOMPARE(m_screen->pageView()->checkIsUpdate(), page == 1);
    }
    QCOMPARE(logged("enote sync finish (5)"), 1);
    // The stalled image is dropped with its connection, and the page is asked for again on
    // the new one; the rest of the image, sent late there, is no header and is dropped too.
    QVERIFY(FakePeer::waitUntil([&] {
        return m_image.connectionCount() == connections + 1 && m_image.isConnected() &&
               m_image.received().endsWith("sync@enote#query#0");
    }));
    QVERIFY(m_image.write(image.mid(piece)));
    QVERIFY(FakePeer::waitUntil(
        [] { return !TcpManager::instance()->teacherFileThread()->isReceivingFile(); }));
    QVERIFY(!QFile::exists(ENoteWidget::pageImagePath(0)));
}

// An image announced and never sent, and an answer that comes after its sync was given up,
// spoil no later sync; the page shown when a sync is given up is asked for again by itself.
void TestENoteWidget::stalledImageAndLateAnswerSpoilNoLaterSync()
{
    m_screen->matchPageCount(3);
    PageView *view = m_screen->pageView();
    const QByteArray image = picture(QSize(400, 300));
    const auto serveAfresh = [&](int page) {
        m_teacher.clearFrames();
        return serve(page, QSize(400, 300), image) && view->currentIndex() == page &&
               view->checkIsUpdate() && !view->document()->m_currPage.m_baImage.isEmpty();
    };
    // Page 1's image never comes: on the new connection page 1 is asked for again, and
    // served whole.
    m_screen->setCurrentPage(1);
    QVERIFY(asked("sync@enote#query#1"));
    QVERIFY(m_image.write(header(1, QSize(400, 300), image)));
    QVERIFY(asked("sync@enote#ready#1"));
    QVERIFY(m_teacher.sendFrame("sync@", "enote#end"));
    const int connections = m_image.connectionCount();
    m_image.clearReceived();
    m_screen->setSyncTimeout(300);
    QVERIFY(FakePeer::waitUntil([&] {
        return m_image.connectionCount() > connections && m_image.isConnected() &&
               m_image.received().endsWith("sync@enote#query#1");
    }));
    m_screen->setSyncTimeout(ENoteWidget::SyncTimeout); // syncs served whole have time to be
    QVERIFY(!view->checkIsUpdate());
    QVERIFY(serveAfresh(1));

    // Page 0 is answered only once the student has moved on to page 2 and page 0's sync
    // was given up: the late answer is passed over, and page 2 is served whole.
    m_screen->setSyncTimeout(300);
    m_image.clearReceived();
    m_screen->setCurrentPage(0);
    QVERIFY(asked("sync@enote#query#0"));
    m_screen->setCurrentPage(2); // waits for page 0's sync
    QVERIFY(asked("sync@enote#query#2"));
    m_screen->setSyncTimeout(ENoteWidget::SyncTimeout);
    QVERIFY(m_image.write(header(0, QSize(400, 300), image)));
    QVERIFY(seen("onReplacepage: page 0 was not asked for"));
    QVERIFY(serveAfresh(2));
    QVERIFY(!m_image.received().contains("sync@enote#ready#0"));
    QCOMPARE(logged("enote sync finish (5)"), 2);
}

// One limit for e-note page pictures: a page beyond it is made, but never synchronised, and a page
// whose picture is beyond it is never counted synchronised.
void TestENoteWidget::pagesBeyondThePictureLimit()
{
    m_screen->matchPageCount(2);
    // Pages beyond it are added all the same: later rows stay the teacher's.
    for (const QSize &size : {QSize(14401, 1000), QSize(2000, 9000), QSize(14400, 1165)})
        m_screen->addPage(size.width(), size.height(), size.width() == 2000);
    QCOMPARE(m_screen->pageCount(), 5);

    // Announced beyond it: the sync ends at once and the image is never asked for.
    PageView *view = m_screen->pageView();
    const QByteArray image = picture(QSize(400, 300));
    QVERIFY(asked("sync@enote#query#3"));
    QVERIFY(m_image.write(header(3, QSize(2000, 9000), image)));
    QVERIFY(FakePeer::waitUntil([this] { return m_screen->syncPage() == -1; },
                                ENoteWidget::SyncTimeout / 2));
    QVERIFY(seen("onReplacepage: page 3 size 2000 9000 not valid"));
    QVERIFY(!TcpManager::instance()->teacherFileThread()->isReceivingFile());
    QVERIFY(!m_image.received().contains("ready"));

    // A picture beyond it on a page within it: the page stays white and unsynchronised.
    const QByteArray huge = monoPng(QSize(5000, 4000));
    m_image.clearReceived();
    m_screen->setCurrentPage(0);
    QVERIFY(asked("sync@enote#query#0"));
    QVERIFY(m_image.write(header(0, QSize(400, 300), huge)));
    QVERIFY(asked("sync@enote#ready#0"));
    QVERIFY(m_image.write(huge));
    QVERIFY(m_teacher.sendFrame("sync@", "enote#end"));
    QVERIFY(FakePeer::waitUntil([this] { return m_screen->syncPage() == -1; }));
    QVERIFY(!view->checkIsUpdate());
    QVERIFY(view->document()->m_currPage.m_baImage.isEmpty());
    QVERIFY(!QFile::exists(ENoteWidget::pageImagePath(0)));
}

// Teacher strokes on two pages in one read: each thumbnail takes its own page's stroke.
void TestENoteWidget::strokesOnTwoPagesReachBothThumbnails()
{
    m_screen->addPage(400, 300, false);
    m_screen->addPage(400, 300, false);
    const auto hasStroke = [this](int row) {
        const QImage thumb = m_screen->thumbnails()->thumbnail(row).toImage();
        for (int y = 0; y < thumb.height(); ++y)
            for (int x = 0; x < thumb.width(); ++x)
                if (thumb.pixelColor(x, y).green() < 110)
                    return true;
        return false;
    };
    QVERIFY(!hasStroke(0) && !hasStroke(1));
    QVERIFY(m_teacher.write(FakeTeacher::frame("line@", "enote&0&" + kStroke) +
                            FakeTeacher::frame("line@", "enote&1&" + kStroke)));
    QVERIFY(FakePeer::waitUntil([this] { return m_screen->currentPage() == 1; }));
    QTRY_VERIFY(hasStroke(0) && hasStroke(1));
}

void TestENoteWidget::addedPagesAndRowsOutsideTheList()
{
    m_screen->addPage(1280, 800, false);
    QCOMPARE(m_screen->thumbnails()->thumbnail(0).size(), QSize(150, 93));
    QCOMPARE(m_screen->thumbnails()->thumbnail(0).toImage().pixelColor(5, 5), QColor(Qt::white));
    m_screen->setCurrentPage(0);
    QVERIFY(m_screen->pageView()->checkIsUpdate());

    m_screen->addPage(800, 600, true);
    QVERIFY(asked("sync@enote#query#1"));
    HSPage added;
    QVERIFY(m_screen->pageView()->document()->getPage(1, added) && !added.m_bInit);
    QVERIFY(serve(1, QSize(800, 600), picture(QSize(800, 600))));
    QVERIFY(m_screen->pageView()->document()->getPage(1, added) && added.m_bInit);
    for (const QSize &bad : {QSize(0, 600), QSize(-5, 5), QSize(16385, 10)})
        m_screen->addPage(bad.width(), bad.height(), false);
    QCOMPARE(m_screen->pageCount(), 2);

    const QByteArray before = m_image.received();
    for (int row : {-1, 2, 99}) {
        m_screen->setCurrentPage(row);
        m_screen->onSetCurrPage(row);
        m_screen->lineUpdatePage(row, QString::fromLatin1(kStroke));
        m_screen->moveItem(row, "id", "1,2");
        m_screen->clearPage(row);
    }
    QCOMPARE(m_screen->pageCount(), 2);
    QCOMPARE(m_screen->thumbnails()->count(), 2);
    QCOMPARE(m_screen->pageView()->pageCount(), 2);
    QCOMPARE(m_image.received(), before);

    // A teacher clear names its page.
    m_screen->setCurrentPage(0);
    m_screen->clearPage(1);
    QCOMPARE(m_screen->currentPage(), 1);
    QVERIFY(m_screen->pageView()->document()->m_currPage.m_listItems.isEmpty());

    // Saving tells whether the PDF file was written.
    QTemporaryDir dir;
    const QString savePath = Settings::instance()->m_strSavePdfPath;
    Settings::instance()->m_strSavePdfPath = dir.filePath("note.pdf");
    QVERIFY(m_screen->saveAsPdf() && QFileInfo(dir.filePath("note.pdf")).size() > 0);
    Settings::instance()->m_strSavePdfPath = dir.filePath("missing/note.pdf");
    QVERIFY(!m_screen->saveAsPdf());
    Settings::instance()->m_strSavePdfPath = savePath;
}

void TestENoteWidget::touchDragScrollsOneRow()
{
    m_screen->matchPageCount(12);
    QWidget *viewport = m_screen->pageList()->viewport();
    QScrollBar *bar = m_screen->pageList()->verticalScrollBar();
    QTouchDevice *device = QTest::createTouchDevice();
    QTest::touchEvent(viewport, device).press(0, QPoint(100, 400), viewport);
    QTest::touchEvent(viewport, device).move(0, QPoint(100, 300), viewport);
    QCOMPARE(bar->value(), 0);
    QTest::touchEvent(viewport, device).move(0, QPoint(100, 299), viewport);
    QCOMPARE(bar->value(), 1);
    QTest::touchEvent(viewport, device).release(0, QPoint(100, 299), viewport);
    QCOMPARE(m_screen->currentPage(), -1); // a drag selects nothing
    QTest::touchEvent(viewport, device).press(1, QPoint(100, 50), viewport);
    QTest::touchEvent(viewport, device).release(1, QPoint(102, 52), viewport);
    QCOMPARE(m_screen->currentPage(), 1); // a tap does
}

// The student's own strokes, however long, are drawn whole wherever the page is seen: a
// highlighter shading and an eraser wipe over the teacher's lines, each far longer than a
// stroke from a peer is drawn, on the canvas, the thumbnail, the preview and the export; the
// shading's pieces in one coat, as one stroke.
void TestENoteWidget::longInkIsWholeEverywhere()
{
    const QSizeF size(800, 600);
    m_screen->resize(1100, 700);
    m_screen->addPage(int(size.width()), int(size.height()), false);
    m_screen->setCurrentPage(0);
    PageView *view = m_screen->pageView();
    for (int y = 370; y <= 570; y += 25) {
        const QByteArray row = QByteArray::number(y);
        m_teacher.sendFrame("line@", "enote&0&3#255,0,0,255#6#40," + row + " 740," + row + " ");
    }
    QTRY_COMPARE(strokesOf(view).size(), 9);

    TaskToolManager *tools = TaskToolManager::instance();
    m_screen->attachToolScene();
    tools->switchColor(); // red
    tools->switchColor(); // blue
    tools->setMode(TaskToolManager::HighlighterMode);
    drawWithMouse(view, rows(20, 320, 6));
    tools->setMode(TaskToolManager::EraserMode);
    drawWithMouse(view, rows(360, 576, 8));
    tools->setMode(TaskToolManager::PointerMode);
    while (tools->color() != QColor(Qt::black))
        tools->switchColor();

    const auto highlighted = [](const QColor &c) { return c.blue() - c.red() > 60; };
    // One coat of blue at alpha 180 over white is 75,75,255; two, where pieces overlapped,
    // 22,22,255.
    const auto twoCoats = [](const QColor &c) { return c.blue() > 200 && c.red() < 55; };
    const auto red = [](const QColor &c) { return c.red() - c.green() > 60; };
    const QRectF lastRows(100, 292, 600, 24);
    const QRectF wiped(0, 330, 800, 270);
    const QRectF shaded(0, 0, 800, 330);
    const auto whole = [&](const QImage &page) {
        return shareOf(page, size, lastRows, highlighted) > 0.9 &&
               shareOf(page, size, shaded, twoCoats) == 0.0 &&
               shareOf(page, size, wiped, red) == 0.0 &&
               shareOf(page, size, QRectF(0, 0, 800, 600), red) == 0.0;
    };
    const QRect onCanvas(view->mapFromScene(QPointF(0, 0)), size.toSize());
    QVERIFY(whole(view->viewport()->grab().toImage().copy(onCanvas)));
    QTRY_VERIFY(whole(m_screen->thumbnails()->thumbnail(0).toImage()));

    m_teacher.clearFrames();
    m_screen->sendPreview();
    QVERIFY(m_teacher.waitForFrames(1));
    const FakeTeacher::Frame preview = m_teacher.frames().first();
    QCOMPARE(preview.first, QByteArray("preview@"));
    QVERIFY(whole(QImage::fromData(QByteArray::fromBase64(preview.second), "PNG")));

    QTemporaryDir dir;
    const QString savePath = Settings::instance()->m_strSavePdfPath;
    Settings::instance()->m_strSavePdfPath = dir.filePath("ink.pdf");
    QVERIFY(m_screen->saveAsPdf());
    Settings::instance()->m_strSavePdfPath = savePath;
    XPDFRenderer pdf(dir.filePath("ink.pdf"));
    QCOMPARE(pdf.pageCount(), 1);
    QVERIFY(whole(pdf.pageImage(1, 0.5, 0.5, QRectF())));
}

// A finger drawing on the page shown goes on drawing while the teacher sends the page again:
// header, strokes, line-sync end and image.
void TestENoteWidget::fingerDownThroughAResync()
{
    m_screen->matchPageCount(1);
    m_screen->setCurrentPage(0);
    QVERIFY(asked("sync@enote#query#0"));
    const QByteArray image = picture(QSize(600, 400));
    QVERIFY(serve(0, QSize(600, 400), image));
    PageView *view = m_screen->pageView();
    TaskToolManager::instance()->setMode(TaskToolManager::PenMode);
    m_screen->attachToolScene();

    QList<QPointF> path;
    for (int i = 0; i < 8; ++i)
        path << QPointF(50 + 40 * i, 300 + 10 * (i % 2));
    touch(view, path.mid(0, 2), true, false);
    m_screen->resetPagesInit();
    m_image.clearReceived();
    m_teacher.clearFrames();
    m_screen->setCurrentPage(0);
    QVERIFY(asked("sync@enote#query#0"));
    QVERIFY(m_image.write(header(0, QSize(600, 400), image)));
    QVERIFY(FakePeer::waitUntil([&] { return m_teacher.frameTexts().contains("sync@enote#0"); }));
    touch(view, path.mid(2, 2), false, false);
    m_teacher.sendFrame("line@", "enote&0&" + kStroke);
    m_teacher.sendFrame("sync@", "enote#end");
    QVERIFY(FakePeer::waitUntil([] { return logged("m_bLineSyncing = false;") > 0; }));
    touch(view, path.mid(4, 1), false, false);
    QVERIFY(asked("sync@enote#ready#0"));
    QVERIFY(m_image.write(image));
    QVERIFY(FakePeer::waitUntil([] { return logged("enote sync finish (5)") == 2; }));
    touch(view, path.mid(5), false, true);
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);

    QVERIFY(view->checkIsUpdate());
    const QList<PolylineItem *> strokes = strokesOf(view);
    QCOMPARE(strokes.size(), 2);
    QCOMPARE(strokes.last()->m_points, path);
}

// A page synchronised again shows what it showed: the teacher's stroke once, whatever form
// the teacher writes it in, and the student's erasing over it still on top; share mode 2
// sends each stroke once.
void TestENoteWidget::resyncKeepsTheInkAsItWas()
{
    const QByteArray teacherStroke = "3#200,0,0,255#20#40.0,100 700.0,100 "; // "40.0": not ours
    const QSize size(800, 600);
    m_screen->matchPageCount(1);
    m_screen->setCurrentPage(0);
    QVERIFY(asked("sync@enote#query#0"));
    QVERIFY(serve(0, size, QByteArray(), false, teacherStroke));
    PageView *view = m_screen->pageView();
    QCOMPARE(strokesOf(view).size(), 1);
    TaskToolManager::instance()->setMode(TaskToolManager::EraserMode);
    m_screen->attachToolScene();
    touch(view, {QPointF(300, 100), QPointF(350, 100), QPointF(400, 100)}, true, true);
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
    const QPointF erased(350, 100);
    const auto shownAt = [view](const QPointF &p) {
        return view->viewport()->grab().toImage().pixelColor(view->mapFromScene(p));
    };
    QCOMPARE(shownAt(erased), QColor(Qt::white));
    QCOMPARE(shownAt(QPointF(600, 100)), QColor(200, 0, 0));

    for (int resync = 0; resync < 3; ++resync) {
        m_screen->resetPagesInit();
        m_image.clearReceived();
        m_teacher.clearFrames();
        m_screen->setCurrentPage(0);
        QVERIFY(asked("sync@enote#query#0"));
        QVERIFY(serve(0, size, QByteArray(), false, teacherStroke));
        QCOMPARE(strokesOf(view).size(), 2);
        QCOMPARE(shownAt(erased), QColor(Qt::white));
        QCOMPARE(shownAt(QPointF(600, 100)), QColor(200, 0, 0));
    }
    m_screen->setCurrentPage(0); // synchronised: shown from its file
    QCOMPARE(strokesOf(view).size(), 2);
    QCOMPARE(shownAt(erased), QColor(Qt::white));

    QVERIFY(setShare(true));
    m_screen->shareLines();
    QVERIFY(m_teacher.waitForFrames(2));
    QTest::qWait(200);
    const QList<QByteArray> shared = m_teacher.frameTexts();
    QVERIFY(setShare(false));
    QCOMPARE(shared.size(), 2);
    QVERIFY(shared.at(0).startsWith("line@enote&0&3#200,0,0,255#20#40,100 700,100 "));
    QVERIFY(shared.at(1).startsWith("line@enote&0&3#255,255,255,255#64#300,100 "));
}

void TestENoteWidget::screenshotOfSynchronisedPage()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    m_screen->setGeometry(screen);
    m_screen->showFullScreen();
    const QSize page(1280, 800);
    m_screen->matchPageCount(4);
    for (int row : {2, 0}) {
        m_screen->setCurrentPage(row);
        QVERIFY(asked("sync@enote#query#" + QByteArray::number(row)));
        QVERIFY(serve(row, page, picture(page)));
    }
    QTest::qWait(200);
    QVERIFY(TestArtifacts::saveScreen("enote", m_screen.get()));
}

QTEST_MAIN(TestENoteWidget)
#include "tst_enotewidget.moc"
