#include "tst_canvas_support.h"

#include "support/TestArtifacts.h"

#include <QTouchDevice>

using namespace canvas;

namespace {
enum class Check
{
    TipsInked,
    NothingRedLeft,
    OneCoat
};

// Back and forth across x 40..760, a row every `step` from y `top` to `bottom`, a point every
// 16 pixels: a shading or a wipe by hand.
QList<QPointF> rows(int top, int bottom, int step)
{
    QList<QPointF> points;
    for (int y = top, row = 0; y <= bottom; y += step, ++row)
        for (int x = 0; x <= 720; x += 16)
            points << QPointF(row % 2 ? 760 - x : 40 + x, y);
    return points;
}

// A scribble of sharp tips, a point every 6 pixels along each leg.
QList<QPointF> zigzag()
{
    QList<QPointF> points;
    for (int leg = 0; leg < 12; ++leg) {
        const QPointF from(40 + 60 * leg, leg % 2 ? 280 : 60);
        const QPointF to(100 + 60 * leg, leg % 2 ? 60 : 280);
        for (int i = leg == 0 ? 0 : 1; i <= 38; ++i)
            points << from + (to - from) * (i / 38.0);
    }
    return points;
}

// Pixels whose channels differ by more than the tolerance.
int differing(const QImage &a, const QImage &b, int tolerance)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            count += qAbs(qRed(p[x]) - qRed(q[x])) > tolerance ||
                             qAbs(qGreen(p[x]) - qGreen(q[x])) > tolerance ||
                             qAbs(qBlue(p[x]) - qBlue(q[x])) > tolerance
                         ? 1
                         : 0;
    }
    return count;
}

int countOf(const QImage &image, const std::function<bool(QRgb)> &test)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += test(line[x]) ? 1 : 0;
    }
    return count;
}
} // namespace

// What the student sees while drawing is what stays: the live ink of a stroke, through the real
// view and in the teacher's preview, is pixel for pixel the ink once the finger lifts.
class TestInk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void liveInkIsTheInkThatStays_data();
    void liveInkIsTheInkThatStays();

private:
    QImage preview(PageView *view);

    TeacherLink m_link;
    QTouchDevice *m_device = nullptr;
};

void TestInk::initTestCase()
{
    QVERIFY(m_link.connect());
    m_device = QTest::createTouchDevice();
}

void TestInk::cleanup()
{
    resetTools(nullptr);
    dropCanvasHooks();
}

QImage TestInk::preview(PageView *view)
{
    m_link.teacher.clearFrames();
    view->sendPreview();
    if (!m_link.teacher.waitForFrames(1))
        return QImage();
    const FakeTeacher::Frame frame = m_link.teacher.frames().first();
    return QImage::fromData(QByteArray::fromBase64(frame.second), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

void TestInk::liveInkIsTheInkThatStays_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<int>("check");
    QTest::newRow("pen zigzag") << int(TaskToolManager::PenMode) << zigzag()
                                << int(Check::TipsInked);
    QTest::newRow("eraser wipe") << int(TaskToolManager::EraserMode) << rows(330, 570, 40)
                                 << int(Check::NothingRedLeft);
    // Long enough to be kept in several pieces.
    QTest::newRow("highlighter shading")
        << int(TaskToolManager::HighlighterMode) << rows(40, 300, 4) << int(Check::OneCoat);
}

void TestInk::liveInkIsTheInkThatStays()
{
    QFETCH(int, mode);
    QFETCH(QList<QPointF>, points);
    QFETCH(int, check);
    std::unique_ptr<PageView> view = makeCanvas(1, QSize(800, 600), QSize(820, 620));
    QVERIFY(view);
    for (int y = 330; y <= 570; y += 40)
        view->procLineData(0, QStringLiteral("3#200,0,0,255#6#40,%1 760,%1 ").arg(y));
    TaskToolManager *tools = TaskToolManager::instance();
    tools->switchColor(); // red
    tools->switchColor(); // blue
    tools->cycleWidth();  // 5
    tools->setMode(mode);

    QWidget *pad = view->viewport();
    const auto at = [&view](const QPointF &p) { return view->mapFromScene(p); };
    const QRect page(at(QPointF(0, 0)), QSize(800, 600));
    const auto shown = [&] {
        QCoreApplication::processEvents();
        return pad->grab().toImage().copy(page).convertToFormat(QImage::Format_RGB32);
    };
    QTest::touchEvent(pad, m_device).press(1, at(points.first()), pad);
    for (const QPointF &p : points.mid(1)) {
        QTest::touchEvent(pad, m_device).move(1, at(p), pad);
        QCoreApplication::processEvents(); // painted as the finger goes
    }
    const QImage live = shown();
    const QImage livePreview = preview(view.get());
    QTest::touchEvent(pad, m_device).release(1, at(points.last()), pad);
    QVERIFY(itemsOf<LiveSegment>(view->pageScene()).isEmpty());
    const int pieces = itemsOf<PolylineItem>(view->pageScene()).size() - 7;
    const QImage done = shown();
    const QImage donePreview = preview(view.get());
    QVERIFY(!livePreview.isNull() && !donePreview.isNull());
    live.save(TestArtifacts::path(QStringLiteral("ink_live_%1").arg(mode)));
    done.save(TestArtifacts::path(QStringLiteral("ink_done_%1").arg(mode)));

    // On the canvas the live ink is added a span at a time: edge pixels where spans meet, and
    // the ink's alpha applied to the whole rather than to each pixel, may differ by a few
    // levels. Elsewhere it is the very same fill.
    QCOMPARE(differing(live, done, 32), 0);
    const int rounded = differing(live, done, 2);
    QVERIFY2(rounded < live.width() * live.height() / 1000, qPrintable(QString::number(rounded)));
    QCOMPARE(differing(livePreview, donePreview, 0), 0);

    const auto red = [](QRgb c) { return qRed(c) - qBlue(c) > 60; };
    // One coat of blue at alpha 180 over white is 75,75,255.
    const auto darkerThanOneCoat = [](QRgb c) { return qBlue(c) > 200 && qRed(c) < 67; };
    for (const QImage &image : {live, done, livePreview, donePreview}) {
        switch (Check(check)) {
        case Check::TipsInked:
            for (const QPointF &tip : {QPointF(40, 60), QPointF(100, 280), QPointF(760, 60)}) {
                const QPointF p = tip * (image.width() / 800.0);
                QVERIFY(image.pixelColor(p.toPoint()).blue() > 200);
                QVERIFY(image.pixelColor(p.toPoint()).red() < 100);
            }
            break;
        case Check::NothingRedLeft:
            QCOMPARE(countOf(image, red), 0);
            break;
        case Check::OneCoat:
            QVERIFY(pieces > 1);
            QCOMPARE(countOf(image, darkerThanOneCoat), 0);
            break;
        }
    }
}

QTEST_MAIN(TestInk)
#include "tst_ink.moc"
