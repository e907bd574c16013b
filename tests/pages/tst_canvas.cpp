#include "tst_canvas_support.h"

#include "pages/HSPage.h"
#include "pages/ImageItem.h"
#include "pages/ItemText.h"
#include "pages/PageFile.h"
#include "pages/VoteItem.h"
#include "support/ScreenPixels.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGraphicsPixmapItem>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>

using namespace canvas;

namespace {
QByteArray pngOf(const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return pngBytes(image);
}

HSPage pageFile(PageView *view, int index)
{
    HSPage page;
    page.read(view->document()->pagePath(index));
    return page;
}

void drawStroke(int touchId, const QList<QPointF> &points)
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->press(touchId, points.first());
    for (int i = 1; i < points.size(); ++i)
        tools->move(touchId, points.at(i));
    tools->release(touchId, points.last());
}

QImage rendered(QGraphicsScene *scene)
{
    QImage image(scene->sceneRect().size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene->render(&painter, QRectF(image.rect()), scene->sceneRect());
    return image;
}

const QString kTeacherStroke = QStringLiteral("3#255,0,0,255#3#1,1 5,5 9,2 ");
} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void teacherStrokeRoad();
    void teacherItemOnAnotherPageKeepsStudentStroke();
    void itemsForMissingPagesAreIgnored();
    void moveItemMovesEveryMatch();
    void clearPageTellsTeacherOnlyWhileSharing_data();
    void clearPageTellsTeacherOnlyWhileSharing();
    void shareLinesSendsStrokesOnly();
    void previewFitsTheBox_data();
    void previewFitsTheBox();
    void syncFinishKeepsStrokes();
    void sharedVoteMovesToItsPage();
    void pageChangesAndZoom();
    void rotateAndResize();
    void thumbnailRedrawsAreCoalesced();
    void saveAsPdfNeedsAShownPage();
    void oversizedPicturesAreRefused();
    void unreadablePageIsKept();
    void pageNotYetWrittenTakesInk();
    void costlyStrokesPaintInAFewFrames();

private:
    void setShare(bool on);

    TeacherLink m_link;
    std::unique_ptr<PageView> m_view;
};

void TestCanvas::initTestCase()
{
    QVERIFY(m_link.connect());
}

void TestCanvas::init()
{
    m_view = makeCanvas(3, QSize(800, 600));
    QVERIFY(m_view);
    setShare(false);
    m_link.teacher.clearFrames();
}

void TestCanvas::cleanup()
{
    m_view.reset();
    dropCanvasHooks();
}

void TestCanvas::cleanupTestCase()
{
    resetTools(nullptr);
}

// Through the teacher's own "share@" frame; its echo is dropped.
void TestCanvas::setShare(bool on)
{
    TcpManager *tcp = TcpManager::instance();
    if (tcp->m_bShare == on)
        return;
    m_link.teacher.clearFrames();
    m_link.teacher.sendFrame("share@", on ? "1" : "0");
    QTRY_COMPARE(tcp->m_bShare, on);
    const QByteArray echo = on ? "share@1" : "share@0";
    QVERIFY(
        FakePeer::waitUntil([this, echo] { return m_link.teacher.frameTexts().contains(echo); }));
    m_link.teacher.clearFrames();
}

void TestCanvas::teacherStrokeRoad()
{
    // Socket → protocol client → the split of the main window → canvas.
    PageView *view = m_view.get();
    QObject context;
    connect(TcpManager::instance(), &TcpManager::lineData, &context, [view](const QString &data) {
        const QStringList parts = data.split(QLatin1Char('&'));
        if (parts.size() == 3)
            view->procLineData(parts.at(1).toInt(), parts.at(2));
    });
    m_link.teacher.sendFrame("line@", ("ebook&0&" + kTeacherStroke).toUtf8());
    QTRY_COMPARE(itemsOf<PolylineItem>(view->pageScene()).size(), 1);
    PolylineItem *stroke = itemsOf<PolylineItem>(view->pageScene()).first();
    QCOMPARE(stroke->m_color, QColor(Qt::red));
    QCOMPARE(stroke->m_points.size(), 3);
    QCOMPARE(view->document()->m_currPage.m_listItems, QList<QString>{kTeacherStroke});
    // The file changes only when the page is saved.
    QVERIFY(pageFile(view, 0).m_listItems.isEmpty());
    view->onCurrentPageChanged(1);
    QCOMPARE(pageFile(view, 0).m_listItems, QList<QString>{kTeacherStroke});
}

void TestCanvas::teacherItemOnAnotherPageKeepsStudentStroke()
{
    PageView *view = m_view.get();
    drawStroke(1, {QPointF(10, 10), QPointF(50, 60), QPointF(90, 30)});
    view->procLineData(1, kTeacherStroke);
    QCOMPARE(view->currentIndex(), 1);
    QCOMPARE(itemsOf<PolylineItem>(view->pageScene()).size(), 1);
    QCOMPARE(pageFile(view, 0).m_listItems.size(), 1);
    QVERIFY(
        pageFile(view, 0).m_listItems.first().startsWith(QStringLiteral("3#0,0,0,255#3#10,10")));

    view->onCurrentPageChanged(0);
    QCOMPARE(pageFile(view, 1).m_listItems, QList<QString>{kTeacherStroke});
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(view->pageScene());
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first()->m_points.first(), QPointF(10, 10));
}

// Items and moves for a page outside the document are dropped; a shared vote for one
// goes to the page shown.
void TestCanvas::itemsForMissingPagesAreIgnored()
{
    PageView *view = m_view.get();
    drawStroke(1, {QPointF(10, 10), QPointF(20, 20)});
    QSignalSpy thumbs(view, SIGNAL(updateThunmbianl()));
    const QStringList values{"1,0.5", "2,0.5", "3,0", "4,0", "5,0", "6,0"};
    for (int page : {-1, 3, 1000}) {
        view->procLineData(page, kTeacherStroke);
        view->moveItem(page, QStringLiteral("{x}"), QStringLiteral("1,2"));
        view->showShareVote(QStringList{"ebook", QString::number(page)} + values);
        QCOMPARE(view->currentIndex(), 0);
        QCOMPARE(view->document()->m_currPage.m_strVote, values.join('#'));
        QVERIFY(view->pageScene()->m_pVoteItem->isVisible());
        view->document()->m_currPage.m_strVote.clear();
    }
    // A page number that is not a number reads as 0.
    view->onCurrentPageChanged(2);
    view->showShareVote(QStringList{"ebook", "two", "1,1", "2,0", "3,0", "4,0", "5,0", "6,0"});
    QCOMPARE(view->currentIndex(), 0);
    QCOMPARE(view->document()->m_currPage.m_strVote, QString("1,1#2,0#3,0#4,0#5,0#6,0"));
    view->showShareVote(QStringList() << "ebook"
                                      << "1");
    QCOMPARE(view->currentIndex(), 0);
    QCOMPARE(itemsOf<PolylineItem>(view->pageScene()).size(), 1);
    QVERIFY(!thumbs.wait(200));
    view->onCurrentPageChanged(1);
    QCOMPARE(pageFile(view, 0).m_listItems.size(), 1);
    QCOMPARE(pageFile(view, 0).m_strVote, QString("1,1#2,0#3,0#4,0#5,0#6,0"));
    QVERIFY(pageFile(view, 1).m_listItems.isEmpty());
    QVERIFY(pageFile(view, 2).m_listItems.isEmpty());
}

void TestCanvas::moveItemMovesEveryMatch()
{
    PageView *view = m_view.get();
    const QString id = QStringLiteral("{11111111-2222-3333-4444-555555555555}");
    const QString picture = QStringLiteral("5#%1#10,20,4,4#").arg(id) +
                            QString::fromLatin1(pngOf(QSize(4, 4), Qt::blue).toBase64());
    const QString text = QStringLiteral("6#%1$$5,5,-1,20$$<p>hi</p>").arg(id);
    const QString other = QStringLiteral("6#{other}$$7,7,-1,20$$<p>no</p>");
    view->procLineData(2, picture);
    view->procLineData(2, text);
    view->procLineData(2, other);
    view->onCurrentPageChanged(0);

    QSignalSpy thumbs(view, SIGNAL(updateThunmbianl()));
    view->moveItem(2, id, QStringLiteral("100,200.5"));
    QCOMPARE(view->currentIndex(), 2);
    QCOMPARE(thumbs.count(), 1);
    QCOMPARE(itemsOf<ImageItem>(view->pageScene()).first()->pos(), QPointF(100, 200.5));
    const QList<TextItem *> texts = itemsOf<TextItem>(view->pageScene());
    QCOMPARE(texts.size(), 2);
    for (TextItem *item : texts)
        QCOMPARE(item->pos(), item->m_strId == id ? QPointF(100, 200.5) : QPointF(7, 7));

    view->moveItem(2, id, QStringLiteral("1,2,3"));
    view->moveItem(2, QStringLiteral("{missing}"), QStringLiteral("1,2"));
    QCOMPARE(thumbs.count(), 3);
    QCOMPARE(itemsOf<ImageItem>(view->pageScene()).first()->pos(), QPointF(100, 200.5));
}

void TestCanvas::clearPageTellsTeacherOnlyWhileSharing_data()
{
    QTest::addColumn<bool>("share");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ebook sharing") << true << 0 << QByteArray("clear@ebook#3");
    QTest::newRow("enote sharing") << true << 1 << QByteArray("clear@enote#3");
    QTest::newRow("not sharing") << false << 0 << QByteArray();
    QTest::newRow("browser mode") << true << 2 << QByteArray();
    QTest::newRow("no mode") << true << 3 << QByteArray();
}

void TestCanvas::clearPageTellsTeacherOnlyWhileSharing()
{
    QFETCH(bool, share);
    QFETCH(int, mode);
    QFETCH(QByteArray, expected);
    PageView *view = m_view.get();
    QPixmap picture(80, 60);
    picture.fill(Qt::yellow);
    view->addPixmapPage(picture, false);
    setShare(share);
    view->onCurrentPageChanged(3);
    drawStroke(1, {QPointF(10, 10), QPointF(20, 20)});
    view->procLineData(3, kTeacherStroke);
    if (share) { // the student's stroke went out
        QVERIFY(m_link.teacher.waitForFrames(1));
        QVERIFY(m_link.teacher.frameTexts().first().startsWith("line@ebook&3&3#0,0,0,255#3#"));
    }
    m_link.teacher.clearFrames();

    Settings::instance()->m_nMode = mode;
    view->clearCurrentPage(false);
    QVERIFY(itemsOf<PolylineItem>(view->pageScene()).isEmpty());
    QCOMPARE(itemsOf<QGraphicsPixmapItem>(view->pageScene()).size(), 1); // the picture stays
    QVERIFY(view->document()->m_currPage.m_listItems.isEmpty());
    const QList<QByteArray> frames = m_link.framesAfter(expected.isEmpty() ? 300 : 0);
    if (expected.isEmpty()) {
        QVERIFY2(frames.isEmpty(), frames.isEmpty() ? "" : frames.first().constData());
    } else {
        QVERIFY(m_link.teacher.waitForFrames(1));
        QCOMPARE(m_link.teacher.frameTexts(), QList<QByteArray>{expected});
    }
}

void TestCanvas::shareLinesSendsStrokesOnly()
{
    PageView *view = m_view.get();
    drawStroke(1, {QPointF(10, 10), QPointF(20, 20)});
    view->procLineData(0, kTeacherStroke);
    view->procLineData(0, QStringLiteral("6#{t}$$5,5,-1,20$$<p>hi</p>"));

    view->shareLines();
    QVERIFY(m_link.framesAfter(300).isEmpty());

    setShare(true);
    Settings::instance()->m_nMode = 1;
    view->shareLines();
    QVERIFY(m_link.teacher.waitForFrames(2));
    const QList<QByteArray> frames = m_link.framesAfter(100);
    QCOMPARE(frames.size(), 2);
    QVERIFY(frames.at(0).startsWith("line@enote&0&3#0,0,0,255#3#10,10 20,20 "));
    QCOMPARE(frames.at(1), "line@enote&0&" + kTeacherStroke.toUtf8());

    m_link.teacher.clearFrames();
    Settings::instance()->m_nMode = 3;
    view->shareLines();
    QVERIFY(m_link.framesAfter(300).isEmpty());
}

void TestCanvas::previewFitsTheBox_data()
{
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QSize>("preview");
    QTest::newRow("wide") << QSize(1000, 800) << QSize(500, 400);
    QTest::newRow("small") << QSize(100, 100) << QSize(500, 500);
    QTest::newRow("tall") << QSize(600, 3000) << QSize(100, 500);
}

void TestCanvas::previewFitsTheBox()
{
    QFETCH(QSize, page);
    QFETCH(QSize, preview);
    PageView *view = m_view.get();
    view->clearPages();
    view->addBlankPage(page.width(), page.height(), false);
    view->onCurrentPageChanged(0);
    view->procLineData(0, kTeacherStroke);
    // A picture too large to decode at once for the canvas, asked for right away.
    const QSize picture(700, 600);
    view->procLineData(0,
                       ItemText::writePicture(QStringLiteral("{p}"), QPointF(0, 0), picture.width(),
                                              picture.height(), pngOf(picture, Qt::blue)));
    view->sendPreview(); // sent with sharing off too
    QVERIFY(m_link.teacher.waitForFrames(1));
    const FakeTeacher::Frame frame = m_link.teacher.frames().first();
    QCOMPARE(frame.first, QByteArray("preview@"));
    const QImage image = QImage::fromData(QByteArray::fromBase64(frame.second), "PNG");
    QCOMPARE(image.size(), preview);
    if (!QRect(QPoint(0, 0), picture).contains(QRect(QPoint(0, 0), page)))
        QCOMPARE(QColor(image.pixel(image.width() - 1, image.height() - 1)), QColor(Qt::white));
    QCOMPARE(QColor(image.pixel(image.width() / 10, image.height() / 10)), QColor(Qt::blue));
}

void TestCanvas::syncFinishKeepsStrokes()
{
    auto view = std::make_unique<PageView>(true);
    for (int i = 0; i < 5; ++i)
        view->addBlankPage(400, 300, false);
    view->onCurrentPageChanged(4);
    PageToolHooks::currentPageRow = [&view](int) { return view->currentIndex(); };
    resetTools(view->pageScene());
    Settings::instance()->m_nMode = 1;

    drawStroke(1, {QPointF(10, 10), QPointF(20, 20)});
    TaskToolManager *tools = TaskToolManager::instance();
    QVERIFY(tools->press(2, QPointF(100, 100)));
    QVERIFY(tools->move(2, QPointF(120, 110)));

    const QString path = Settings::instance()->tempNotesDir() + QStringLiteral("enote_5.png");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pngOf(QSize(400, 300), Qt::cyan));
    file.close();

    QVERIFY(!view->checkIsUpdate());
    view->setSyncFinish();
    QVERIFY(view->checkIsUpdate());
    QVERIFY(!QFile::exists(path));
    // The page stays shown: the finger still down draws on over the new picture.
    QCOMPARE(view->document()->m_currPage.m_listItems.size(), 1);
    QVERIFY(tools->move(2, QPointF(130, 120)));
    QVERIFY(tools->release(2, QPointF(130, 120)));
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(view->pageScene());
    QCOMPARE(strokes.size(), 2);
    QCOMPARE(strokes.last()->m_points.size(), 3);
    const QList<QGraphicsItem *> items = view->pageScene()->items(Qt::AscendingOrder);
    auto *background = dynamic_cast<QGraphicsPixmapItem *>(items.first());
    QVERIFY(background);
    QCOMPARE(background->pixmap().size(), QSize(400, 300));

    // No image file (none was sent) marks the page synchronised; a damaged one is not taken,
    // and the page stays unsynchronised, to be asked for again.
    view->onCurrentPageChanged(3);
    QVERIFY(view->setSyncFinish());
    QVERIFY(view->checkIsUpdate());
    view->onCurrentPageChanged(2);
    QFile damaged(Settings::instance()->tempNotesDir() + QStringLiteral("enote_3.png"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG\r\n\x1a\nbroken");
    damaged.close();
    QVERIFY(!view->setSyncFinish());
    QVERIFY(!view->checkIsUpdate());
    QVERIFY(view->document()->m_currPage.m_baImage.isEmpty());
    QVERIFY(!QFile::exists(damaged.fileName()));
}

void TestCanvas::sharedVoteMovesToItsPage()
{
    PageView *view = m_view.get();
    drawStroke(1, {QPointF(10, 10), QPointF(20, 20)});
    view->showShareVote(QStringList() << "ebook"
                                      << "2"
                                      << "1,0.5"
                                      << "2,0.25"
                                      << "3,0.25"
                                      << "4,0"
                                      << "5,0"
                                      << "6,0");
    QCOMPARE(view->currentIndex(), 2);
    QCOMPARE(view->document()->m_currPage.m_strVote,
             QStringLiteral("1,0.5#2,0.25#3,0.25#4,0#5,0#6,0"));
    QVERIFY(view->pageScene()->m_pVoteItem->isVisible());
    QCOMPARE(pageFile(view, 0).m_listItems.size(), 1);
}

void TestCanvas::pageChangesAndZoom()
{
    PageView *view = m_view.get();
    view->scale(1.5, 1.5);
    view->onCurrentPageChanged(3); // the page count: nothing at all
    QCOMPARE(view->transform().m11(), 1.5);
    view->onCurrentPageChanged(0); // the shown page: only the zoom goes back
    QCOMPARE(view->transform().m11(), 1.0);
    QCOMPARE(view->zoomScale(), 1.0f);
    QCOMPARE(view->sceneRect(), QRectF(0, 0, 800, 600));

    view->clearPages();
    QCOMPARE(view->currentIndex(), -1);
    QCOMPARE(view->pageCount(), 0);
    QCOMPARE(view->sceneRect(), QRectF(0, 0, 1, 1));
    view->clearCurrentPage(true);
    QVERIFY(m_link.framesAfter(200).isEmpty());
}

void TestCanvas::rotateAndResize()
{
    PageView *view = m_view.get();
    QPixmap picture(80, 60);
    picture.fill(Qt::red);
    view->addPixmapPage(picture, false);
    drawStroke(1, {QPointF(10, 10), QPointF(20, 20)});
    view->rotatePage(3);
    QCOMPARE(view->currentIndex(), 3);
    QCOMPARE(view->sceneRect(), QRectF(0, 0, 60, 80));
    QCOMPARE(pageFile(view, 0).m_listItems.size(), 1);
    view->rotatePage(7); // outside: the shown page does not turn
    QCOMPARE(view->sceneRect(), QRectF(0, 0, 60, 80));

    // Replacing the shown page while a finger is down: the stroke goes on over the new page.
    TaskToolManager *tools = TaskToolManager::instance();
    QVERIFY(tools->press(2, QPointF(10, 10)));
    QVERIFY(tools->move(2, QPointF(30, 30)));
    view->scale(2, 2);
    view->resizePage(3, 640, 480);
    QVERIFY(tools->move(2, QPointF(50, 40)));
    QVERIFY(tools->release(2, QPointF(50, 40)));
    QCOMPARE(view->sceneRect(), QRectF(0, 0, 640, 480));
    QCOMPARE(view->transform().m11(), 1.0);
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(view->pageScene());
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first()->m_points.size(), 3);
    view->resizePage(1, 300, 200);
    QCOMPARE(view->currentIndex(), 1);
    QCOMPARE(view->sceneRect(), QRectF(0, 0, 300, 200));
}

void TestCanvas::thumbnailRedrawsAreCoalesced()
{
    PageView *view = m_view.get();
    QSignalSpy thumbs(view, SIGNAL(updateThunmbianl()));
    for (int i = 0; i < 50; ++i)
        view->procLineData(i % 2, kTeacherStroke);
    QVERIFY(thumbs.wait(FakePeer::kWaitMs));
    QTest::qWait(2 * PageView::ThumbnailDelay);
    QCOMPARE(thumbs.count(), 1);
    QCOMPARE(itemsOf<PolylineItem>(view->pageScene()).size(), 25);
}

void TestCanvas::saveAsPdfNeedsAShownPage()
{
    PageView *view = m_view.get();
    const QString path = Settings::instance()->localBookDir() + QStringLiteral("canvas.pdf");
    QFile::remove(path);
    Settings::instance()->m_strSavePdfPath = path;
    drawStroke(1, {QPointF(10, 10), QPointF(20, 20)});
    view->saveAsPdf();
    QVERIFY(QFile::exists(path));
    QCOMPARE(pageFile(view, 0).m_listItems.size(), 1);
    QFile::remove(path);
    view->clearPages();
    view->saveAsPdf();
    QVERIFY(!QFile::exists(path));
}

// A picture of more than 16 Mi pixels is refused on every road: a peer's picture item,
// a page background, the e-note page image.
void TestCanvas::oversizedPicturesAreRefused()
{
    PageView *view = m_view.get();
    const QByteArray big = monoPng(5000, 4000);
    const QByteArray small = monoPng(100, 100);
    view->procLineData(0, "5#{small}#10,10,100,100#" + QString::fromLatin1(small.toBase64()));
    view->procLineData(0, "5#{big}#300,300,100,100#" + QString::fromLatin1(big.toBase64()));
    const QImage shown = rendered(view->pageScene());
    QCOMPARE(shown.pixelColor(50, 50), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(350, 350), QColor(Qt::white));

    HSPage record;
    record.setSize(800, 600);
    record.m_baImage = big.toBase64();
    DisplayPage scene;
    scene.setPage(record);
    const QList<QGraphicsItem *> items = scene.items(Qt::AscendingOrder);
    auto *background = dynamic_cast<QGraphicsPixmapItem *>(items.first());
    QVERIFY(background && background->pixmap().isNull());
    HSPage back;
    scene.storeToPage(back);
    QCOMPARE(back.m_baImage, record.m_baImage); // refused, not lost

    const QString path = Settings::instance()->tempNotesDir() + QStringLiteral("enote_1.png");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(big);
    file.close();
    QVERIFY(!view->setSyncFinish());
    QVERIFY(!view->checkIsUpdate());
    QVERIFY(view->document()->m_currPage.m_baImage.isEmpty());
    QVERIFY(!QFile::exists(path));
}

// A page whose file cannot be read (damaged, or larger than a page file may be) is shown
// empty, takes no ink, and its file is never written over.
void TestCanvas::unreadablePageIsKept()
{
    PageView *view = m_view.get();
    const QString damaged = view->document()->pagePath(1);
    {
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromHex("00000320000002580001"));
    }
    const QString huge = view->document()->pagePath(2);
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(PageFile::kMaxFileSize + 1)); // sparse: no disk used
    }
    for (const QString &path : {damaged, huge}) {
        const int index = path == damaged ? 1 : 2;
        const qint64 size = QFileInfo(path).size();
        view->onCurrentPageChanged(index);
        QCOMPARE(view->currentIndex(), index);
        QVERIFY(view->document()->currentUnreadable());
        QVERIFY(itemsOf<PolylineItem>(view->pageScene()).isEmpty());
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseMove(view->viewport(), QPoint(80, 90));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(80, 90));
        QVERIFY(itemsOf<PolylineItem>(view->pageScene()).isEmpty());
        view->procLineData(index, kTeacherStroke); // shown, but not stored
        QCOMPARE(itemsOf<PolylineItem>(view->pageScene()).size(), 1);
        QTest::qWait(20);
        view->onCurrentPageChanged(0);
        QVERIFY(!view->document()->currentUnreadable());
        QCOMPARE(QFileInfo(path).size(), size);
        view->saveAsPdf();
        QCOMPARE(QFileInfo(path).size(), size);
    }
    QFile::remove(huge);
}

// Pages whose files could not be written when they were added (their folder was gone) are
// blank pages of their size, that take ink and teacher items and are written when saved.
void TestCanvas::pageNotYetWrittenTakesInk()
{
    QTemporaryDir tmp;
    const QString folder = tmp.path() + QStringLiteral("/later/");
    m_view = makeCanvas(0, QSize(800, 600));
    QVERIFY(m_view);
    PageView *view = m_view.get();
    view->document()->m_strFolder = folder;
    view->addBlankPage(800, 600, false);
    view->addBlankPage(640, 480, false);
    QCOMPARE(view->pageCount(), 2);
    QVERIFY(!QFile::exists(view->document()->pagePath(0)));
    QVERIFY(QDir().mkpath(folder));

    view->onCurrentPageChanged(0);
    QCOMPARE(view->pageScene()->sceneRect(), QRectF(0, 0, 800, 600));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(view->viewport(), QPoint(80, 90));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(80, 90));
    QCOMPARE(itemsOf<PolylineItem>(view->pageScene()).size(), 1);
    view->procLineData(0, kTeacherStroke);
    QCOMPARE(itemsOf<PolylineItem>(view->pageScene()).size(), 2);
    const QString picture = ItemText::writePicture(QStringLiteral("{p}"), QPointF(1, 2), 4, 3,
                                                   pngOf(QSize(4, 3), Qt::red));
    QCOMPARE(view->document()->addRecord(1, picture), true); // the page not shown

    view->onCurrentPageChanged(1);
    QCOMPARE(pageFile(view, 0).m_size, QSize(800, 600));
    QCOMPARE(pageFile(view, 0).m_listItems.size(), 2);
    QCOMPARE(pageFile(view, 0).m_listItems.last(), kTeacherStroke);
    QCOMPARE(view->pageScene()->sceneRect(), QRectF(0, 0, 640, 480));
    QCOMPARE(itemsOf<ImageItem>(view->pageScene()).size(), 1);
    QCOMPARE(pageFile(view, 1).m_listItems, QList<QString>{picture});
}

// However a peer's stroke zigzags, the whole canvas repaints in a few frames; the student's own
// strokes are painted to their ends, however far past that bound they go, and every stroke
// keeps all its points.
void TestCanvas::costlyStrokesPaintInAFewFrames()
{
    m_view = makeCanvas(1, QSize(1920, 1080), QSize(1920, 1080));
    QVERIFY(m_view);
    PageView *view = m_view.get();
    const auto inkAt = [view](const QPointF &point, const QColor &colour, int tolerance = 40) {
        const QImage shown = view->viewport()->grab().toImage();
        return ScreenPixels::count(shown, QRect(view->mapFromScene(point), QSize(1, 1)), colour,
                                   tolerance) == 1;
    };

    // Three lines of loops across the page with the pen, and a paragraph scribbled over with the
    // highlighter: some 30,000 and 25,000 pixels of line, more than a peer's stroke is drawn.
    QList<QPointF> writing;
    for (int i = 0; i < 7500; ++i) {
        const int line = i / 2500;
        const int j = i % 2500;
        writing << QPointF(60 + j * 0.7 + 15 * std::cos(j * 0.2),
                           150 + 60 * line + 15 * std::sin(j * 0.2));
    }
    QList<QPointF> marker;
    for (int i = 0; i < 4200; ++i)
        marker << QPointF(200 + 300 * std::abs(std::fmod(i * 0.02, 2.0) - 1), 400 + i * 0.12);
    TaskToolManager *tools = TaskToolManager::instance();
    tools->switchColor(); // red
    tools->switchColor(); // blue
    drawStroke(1, writing);
    tools->switchColor(); // green
    tools->setMode(TaskToolManager::HighlighterMode);
    tools->cycleWidth(); // 5: 15 wide
    drawStroke(2, marker);
    resetTools(view->pageScene());
    QVERIFY(inkAt(writing.first(), QColor(Qt::blue)));
    QVERIFY(inkAt(writing.last(), QColor(Qt::blue)));
    QVERIFY(inkAt(marker.last(), QColor(Qt::green), 80)); // translucent, more or less overlaid
    int points = 0;
    for (const PolylineItem *stroke : itemsOf<PolylineItem>(view->pageScene()))
        points += stroke->m_points.size();
    QVERIFY(points >= writing.size() + marker.size());

    // The most points and the widest pen allowed: across the page and back, in one spot,
    // and jumping between random points.
    const int n = ItemText::kMaxStrokePoints;
    QRandomGenerator random(3);
    for (int shape = 0; shape < 3; ++shape) {
        QList<QPointF> points;
        for (int i = 0; i < n; ++i) {
            const double side = i % 2;
            points << (shape == 0   ? QPointF(side * 1900, 1000.0 * i / n)
                       : shape == 1 ? QPointF(900 + side * 2.1, 500 + 2.0 * i / n)
                                    : QPointF(random.bounded(1900.0), random.bounded(1000.0)));
        }
        const int width = shape == 0 ? PolylineItem::kMaxDrawWidth : 3;
        const QString text = ItemText::writeStroke(QColor(200, 0, 0), width, points);
        view->clearCurrentPage(true);
        view->procLineData(0, text);
        QElapsedTimer timer;
        timer.start();
        view->viewport()->repaint();
        view->viewport()->repaint();
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(inkAt(points.first(), QColor(200, 0, 0)));
        QCOMPARE(itemsOf<PolylineItem>(view->pageScene()).first()->m_points.size(), n);
        QCOMPARE(view->document()->m_currPage.m_listItems.last(), text);
    }
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
