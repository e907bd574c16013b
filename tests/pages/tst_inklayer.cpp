// What the canvas shows, painting its committed ink from its layer, against the same items
// painted directly, pixel for pixel on the X server's screen: a page of teacher strokes,
// a picture and a text; pen, highlighter and eraser through touch; the picture moved; a long
// shading lifted; a pinch and a drag; a page switched away and back; a vote; a clear.
#include "tst_canvas_support.h"

#include "pages/ItemText.h"
#include "support/TestArtifacts.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QTouchDevice>

#include <cmath>

using namespace canvas;

namespace {
const QSize kPage(560, 420);
const QSize kView(640, 480);
const QString kPictureId = QStringLiteral("{5b1e0a64-picture}");

QStringList teacherPage()
{
    QRandomGenerator random(11);
    QStringList texts;
    for (int s = 0; s < 150; ++s) {
        const bool marker = s % 7 == 0;
        // Some run past the page's edge, over the grey around it.
        const QPointF start(random.bounded(-40, kPage.width()), random.bounded(-20, 440));
        QList<QPointF> points;
        for (int p = 0; p < random.bounded(10, 60); ++p)
            points << start + QPointF(p * 2.3, 14 * std::sin(p * 0.3 + s));
        texts << ItemText::writeStroke(marker ? QColor(255, 200, 0, 120)
                                              : QColor(random.bounded(200), 40, 160),
                                       marker ? 18 : 1 + s % 5, points);
    }
    QImage picture(90, 60, QImage::Format_ARGB32);
    picture.fill(QColor(0, 160, 90, 200));
    texts.insert(40,
                 ItemText::writePicture(kPictureId, QPointF(200, 120), 90, 60, pngBytes(picture)));
    texts << ItemText::writeText(QStringLiteral("{text}"), QPointF(30, 300), 200, 40,
                                 QStringLiteral("<b>Layer</b> test"));
    return texts;
}
} // namespace

class TestInkLayer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void screenIsTheItemsPaintedDirectly_data();
    void screenIsTheItemsPaintedDirectly();

private:
    QWidget *viewport() const { return m_view->viewport(); }
    void stroke(int mode, const QList<QPoint> &points);
    void pinch(int steps);
    // The canvas as the screen shows it once the layer has caught up.
    QImage screen();
    // The screen now, and again with every item painted directly, the same.
    bool sameAsDirect(const QString &step);

    TeacherLink m_link;
    QTouchDevice *m_device = nullptr;
    std::unique_ptr<PageView> m_view;
};

void TestInkLayer::initTestCase()
{
    QVERIFY(m_link.connect());
    m_device = QTest::createTouchDevice();
}

void TestInkLayer::init()
{
    m_view = makeCanvas(2, kPage, kView);
    QVERIFY(m_view);
    TcpManager::instance()->m_bShare = false;
}

void TestInkLayer::cleanup()
{
    m_view.reset();
    dropCanvasHooks();
}

void TestInkLayer::stroke(int mode, const QList<QPoint> &points)
{
    TaskToolManager::instance()->setMode(mode);
    QTest::touchEvent(viewport(), m_device).press(1, points.first(), viewport());
    for (const QPoint &p : points.mid(1))
        QTest::touchEvent(viewport(), m_device).move(1, p, viewport());
    QTest::touchEvent(viewport(), m_device).release(1, points.last(), viewport());
}

void TestInkLayer::pinch(int steps)
{
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
    const QPoint centre(kView.width() / 2, kView.height() / 2);
    QTest::touchEvent(viewport(), m_device)
        .press(0, centre - QPoint(40, 0), viewport())
        .press(1, centre + QPoint(40, 0), viewport());
    int spread = 40;
    for (int i = 0; i < steps; ++i) {
        spread += 6;
        QTest::touchEvent(viewport(), m_device)
            .move(0, centre - QPoint(spread, 0), viewport())
            .move(1, centre + QPoint(spread, 0), viewport());
    }
    QTest::touchEvent(viewport(), m_device)
        .release(0, centre - QPoint(spread, 0), viewport())
        .release(1, centre + QPoint(spread, 0), viewport());
}

QImage TestInkLayer::screen()
{
    const InkLayer &layer = m_view->inkLayer();
    const bool settled =
        QTest::qWaitFor([&] { return !layer.isBuilding() && !layer.isStandingIn(); }, 10000);
    if (!settled)
        return QImage();
    QTest::qWait(50);
    const QPoint at = viewport()->mapTo(m_view.get(), QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(m_view->winId(), at.x(), at.y(), viewport()->width(), viewport()->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool TestInkLayer::sameAsDirect(const QString &step)
{
    const QImage layered = screen();
    m_view->setLayered(false);
    const QImage direct = screen();
    m_view->setLayered(true);
    if (layered.isNull() || layered.size() != direct.size()) {
        qWarning() << step << "no screen to compare";
        return false;
    }
    int differing = 0;
    for (int y = 0; y < layered.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(layered.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(direct.constScanLine(y));
        for (int x = 0; x < layered.width(); ++x)
            differing += a[x] != b[x];
    }
    if (differing) {
        layered.save(TestArtifacts::path(QStringLiteral("inklayer_%1_layered").arg(step)));
        direct.save(TestArtifacts::path(QStringLiteral("inklayer_%1_direct").arg(step)));
        qWarning() << step << differing << "pixels differ";
    }
    return differing == 0;
}

void TestInkLayer::screenIsTheItemsPaintedDirectly_data()
{
    QTest::addColumn<bool>("sliced");
    QTest::newRow("at the canvas's pace") << false;
    // Every raster made a band of background and an item at a time.
    QTest::newRow("item by item") << true;
}

void TestInkLayer::screenIsTheItemsPaintedDirectly()
{
    QFETCH(bool, sliced);
    if (sliced)
        m_view->inkLayer().setSliceMs(0);
    for (const QString &text : teacherPage())
        m_view->procLineData(0, text);
    QVERIFY(sameAsDirect("teacher"));

    QList<QPoint> zigzag;
    for (int i = 0; i < 40; ++i)
        zigzag << QPoint(30 + i * 12, i % 2 ? 90 : 180);
    stroke(TaskToolManager::PenMode, zigzag);
    stroke(TaskToolManager::HighlighterMode, {{40, 250}, {300, 260}, {520, 240}, {100, 200}});
    stroke(TaskToolManager::EraserMode, {{60, 60}, {400, 80}, {60, 110}, {400, 140}});
    QVERIFY(sameAsDirect("tools"));

    m_view->moveItem(0, kPictureId, QStringLiteral("330,260"));
    QVERIFY(sameAsDirect("moved"));

    // A shading of many pieces.
    QList<QPoint> shading;
    for (int row = 0; row < 40; ++row)
        for (int x = 0; x <= 500; x += 10)
            shading << QPoint(row % 2 ? 520 - x : 20 + x, 20 + row * 10);
    stroke(TaskToolManager::HighlighterMode, shading);
    QVERIFY(sameAsDirect("shaded"));

    pinch(8);
    QVERIFY(m_view->zoomScale() > 1.2f);
    QVERIFY(sameAsDirect("zoomed"));
    stroke(TaskToolManager::PenMode, {{100, 100}, {200, 300}, {300, 120}});
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
    stroke(TaskToolManager::PointerMode, {{400, 300}, {300, 200}, {200, 150}});
    QVERIFY(sameAsDirect("dragged"));

    m_view->onCurrentPageChanged(1);
    stroke(TaskToolManager::PenMode, {{10, 10}, {300, 300}});
    m_view->onCurrentPageChanged(0);
    QVERIFY(sameAsDirect("switched"));

    m_view->showShareVote(QStringList{"ebook", "0", "1,3", "2,1", "3,0", "4,2", "5,0", "6,1"});
    stroke(TaskToolManager::PenMode, {{500, 20}, {620, 90}});
    QVERIFY(sameAsDirect("vote"));

    m_view->clearCurrentPage(false);
    stroke(TaskToolManager::PenMode, {{50, 50}, {150, 60}});
    QVERIFY(sameAsDirect("cleared"));
}

QTEST_MAIN(TestInkLayer)
#include "tst_inklayer.moc"
