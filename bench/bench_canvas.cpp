// The pen, the pinch and repaints on the e-note screen of the real main window at full screen,
// through real touch events delivered to the canvas: each is timed from its delivery until the
// canvas has painted what it changed (the events it set off handled, the paint flushed). On
// pages of no, 300, 2,000 and 5,000 strokes, one shaded by the highlighter for a minute and one
// of 300 strokes wiped whole by the eraser, all in the same run as the empty page:
// - move: a finger writing words (and shading or wiping the page), move to paint (median, 95th
//   percentile, largest);
// - lift: each finger lifted, lift to paint (largest), the end of the shading and the wiping
//   included; then the longest turn of the event loop while the thumbnail is brought up to date;
// - repaint: the whole canvas painted again (median), the same with every item painted as
//   without the layer (median), and as when the page is shown afresh, its ink painted into a new
//   raster (median);
// - pinch: one step of a two-finger pinch, to paint (median, largest); then the time until the
//   page stands painted at its new scale, and the longest turn of the event loop meanwhile.
// Then, on the same screen: a tap on the page list switching between two pages of 2,000
// strokes, to the canvas's paint; and the costliest strokes a teacher may send (the most points,
// the widest pen), from their arrival at the screen to the paint.

#include "app/MainWidget.h"
#include "common/BenchLesson.h"
#include "common/BenchProcess.h"
#include "pages/ItemText.h"
#include "pages/PageView.h"
#include "pages/PolylineItem.h"
#include "pages/TaskToolManager.h"
#include "screens/ENoteWidget.h"
#include "screens/PageListWidget.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {
const int kWordStrokes = 8;
const int kStrokeMoves = 40;
const int kRepaints = 10;
const int kPinchSteps = 20;
const int kAfterLiftMs = 400;
const int kSettleMs = 10000;
// A finger moves about this far between two touch updates.
const int kStep = 8;

struct Figures
{
    std::vector<double> moves;
    std::vector<double> lifts;
    std::vector<double> repaints;
    std::vector<double> afresh;
    std::vector<double> direct; // every item painted, as without the layer
    std::vector<double> pinches;
    double afterLift = 0; // longest turn of the event loop after the lifts
    double settle = 0;    // until the page stands painted at its new scale
    double settleTurn = 0;
};

double quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(std::min<double>(values.size() - 1, std::floor(q * values.size())))];
}

double largest(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

struct Finger
{
    int id;
    QPoint pos; // in the canvas
    Qt::TouchPointState state;
};

class PaintCount : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Handwriting over the page: short curved strokes, one in ten a highlighter mark.
QStringList handwriting(int count, const QSize &page)
{
    QRandomGenerator random(5);
    QStringList texts;
    for (int s = 0; s < count; ++s) {
        const bool marker = s % 10 == 0;
        const QPointF start(random.bounded(20, page.width() - 320),
                            random.bounded(40, page.height() - 40));
        QList<QPointF> points;
        const int n = random.bounded(40, 160);
        for (int p = 0; p < n; ++p)
            points << start + QPointF(p * 1.8, 25 * std::sin(p * 0.15 + s));
        texts << ItemText::writeStroke(marker ? QColor(255, 230, 0, 110) : QColor(20, 20, 160),
                                       marker ? 24 : 3, points);
    }
    return texts;
}

// Strokes of the most points and the widest pen a peer may send, of shapes costly to paint:
// a zigzag across the page, jumps between random points, and a tight zigzag in one spot.
QStringList costliestStrokes()
{
    const int n = ItemText::kMaxStrokePoints;
    QStringList texts;
    for (int shape = 0; shape < 3; ++shape) {
        QRandomGenerator random(7);
        QList<QPointF> points;
        points.reserve(n);
        for (int i = 0; i < n; ++i) {
            const double side = i % 2;
            const double t = double(i) / n;
            if (shape == 0)
                points << QPointF(side * 1600, 1000 * t);
            else if (shape == 1)
                points << QPointF(random.bounded(1600.0), random.bounded(1000.0));
            else
                points << QPointF(300 + side * 40, 300 + 40 * t);
        }
        texts << ItemText::writeStroke(QColor(0, 0, 255), PolylineItem::kMaxDrawWidth, points);
    }
    return texts;
}

class Screen
{
public:
    explicit Screen(ENoteWidget *note)
        : m_note(note), m_view(note->pageView()), m_viewport(m_view->viewport()),
          m_device(QTest::createTouchDevice())
    {
        m_viewport->installEventFilter(&m_count);
    }

    QSize canvasSize() const { return m_viewport->size(); }

    // One touch event through the window, as the platform hands it over.
    void touch(const QList<Finger> &fingers)
    {
        QList<QTouchEvent::TouchPoint> points;
        for (const Finger &finger : fingers) {
            QTouchEvent::TouchPoint point(finger.id);
            point.setScreenPos(m_viewport->mapToGlobal(finger.pos));
            point.setState(finger.state);
            points << point;
        }
        qt_handleTouchEvent(m_viewport->window()->windowHandle(), m_device, points);
    }

    // Milliseconds from the delivery until the canvas has painted; -1 when it painted nothing.
    double untilPainted(const std::function<void()> &deliver)
    {
        const int before = m_count.paints;
        QElapsedTimer clock;
        clock.start();
        deliver();
        for (int turn = 0; m_count.paints == before && turn < 20; ++turn)
            QCoreApplication::processEvents();
        return m_count.paints == before ? -1 : clock.nsecsElapsed() / 1e6;
    }

    // The longest turn of the event loop, in milliseconds, for that long or until done.
    double longestTurn(int ms, const std::function<bool()> &done = {})
    {
        QElapsedTimer clock;
        clock.start();
        double longest = 0;
        while (clock.elapsed() < ms && !(done && done())) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            longest = std::max(longest, turn.nsecsElapsed() / 1e6);
        }
        return longest;
    }

    void fill(const QStringList &texts)
    {
        m_note->clearPage(0);
        for (const QString &text : texts)
            m_note->lineUpdatePage(0, text);
        settle();
    }

    // Everything the canvas and the screen have left to do, done.
    void settle()
    {
        longestTurn(kSettleMs, [this] { return painted(); });
        m_viewport->repaint();
        longestTurn(2 * ENoteWidget::LineRepaintDelay);
    }

    // The canvas stands painted at its present scale.
    bool painted() const
    {
        return !m_view->inkLayer().isBuilding() && !m_view->inkLayer().isStandingIn();
    }

    // Taps on the page list's rows, each timed to the canvas's paint (median).
    double switchPages(int taps)
    {
        PageListWidget *list = m_note->pageList();
        std::vector<double> times;
        for (int i = 0; i < taps; ++i) {
            const QRect row = list->visualRect(list->model()->index((i + 1) % 2, 0));
            times.push_back(untilPainted(
                [&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center()); }));
            settle();
        }
        return quantile(times, 0.5);
    }

    // Each stroke from the teacher, to the paint (largest).
    double teacherStrokes(const QStringList &texts)
    {
        double worst = 0;
        for (const QString &text : texts) {
            m_note->clearPage(0);
            settle();
            worst = std::max(worst, untilPainted([&] { m_note->lineUpdatePage(0, text); }));
            settle();
        }
        return worst;
    }

    void setMode(int mode)
    {
        TaskToolManager::instance()->setScene(m_view->pageScene());
        TaskToolManager::instance()->setMode(mode);
    }

    void writeWords(Figures *figures)
    {
        setMode(TaskToolManager::PenMode);
        const QSize size = canvasSize();
        for (int s = 0; s < kWordStrokes; ++s) {
            const QPoint start(60 + (s % 4) * (size.width() - 200) / 4,
                               80 + (s / 4) * (size.height() - 200) / 2);
            QList<QPoint> path;
            for (int m = 0; m <= kStrokeMoves; ++m)
                path << start + QPoint(m * 4, (m % 6 < 3 ? m % 6 : 6 - m % 6) * 12);
            stroke(path, figures);
        }
        figures->afterLift = std::max(figures->afterLift, longestTurn(kAfterLiftMs));
    }

    // One finger along the path, its moves and lift timed.
    void stroke(const QList<QPoint> &path, Figures *figures)
    {
        const int id = 1;
        untilPainted([&] { touch({{id, path.first(), Qt::TouchPointPressed}}); });
        for (int i = 1; i < path.size(); ++i) {
            const double ms = untilPainted([&] { touch({{id, path.at(i), Qt::TouchPointMoved}}); });
            if (ms >= 0)
                figures->moves.push_back(ms);
        }
        const double ms = untilPainted([&] { touch({{id, path.last(), Qt::TouchPointReleased}}); });
        if (ms >= 0)
            figures->lifts.push_back(ms);
    }

    // A minute of shading by hand over the whole canvas, row after row.
    void shade(int mode, Figures *figures)
    {
        setMode(mode);
        const QSize size = canvasSize();
        QList<QPoint> path;
        for (int y = 20, row = 0; y < size.height() - 20; y += 10, ++row) {
            for (int x = 20; x < size.width() - 20; x += kStep)
                path << QPoint(row % 2 ? size.width() - x : x, y);
        }
        stroke(path, figures);
        figures->afterLift = std::max(figures->afterLift, longestTurn(kAfterLiftMs));
    }

    void repaints(Figures *figures)
    {
        for (int i = 0; i < kRepaints; ++i)
            figures->repaints.push_back(untilPainted([this] { m_viewport->update(); }));
        // As after the page is shown again: its ink painted into a new raster.
        for (int i = 0; i < 3; ++i) {
            figures->afresh.push_back(untilPainted([this] {
                m_view->inkLayer().invalidate();
                m_viewport->update();
            }));
        }
        m_view->setLayered(false);
        QCoreApplication::processEvents();
        for (int i = 0; i < 3; ++i)
            figures->direct.push_back(untilPainted([this] { m_viewport->update(); }));
        m_view->setLayered(true);
        settle();
    }

    // Two fingers spreading to the largest scale and closing back to the smallest.
    void pinch(Figures *figures)
    {
        setMode(TaskToolManager::PointerMode);
        const QPoint centre(canvasSize().width() / 2, canvasSize().height() / 2);
        int spread = 100;
        const auto fingers = [&](Qt::TouchPointState state) {
            touch({{0, centre - QPoint(spread, 0), state}, {1, centre + QPoint(spread, 0), state}});
        };
        untilPainted([&] { fingers(Qt::TouchPointPressed); });
        for (int step = 0; step < 2 * kPinchSteps; ++step) {
            spread += step < kPinchSteps ? 10 : -10;
            const double ms = untilPainted([&] { fingers(Qt::TouchPointMoved); });
            if (ms >= 0)
                figures->pinches.push_back(ms);
        }
        // Spread halfway again, then lifted.
        for (int step = 0; step < kPinchSteps / 2; ++step) {
            spread += 10;
            untilPainted([&] { fingers(Qt::TouchPointMoved); });
        }
        QElapsedTimer clock;
        clock.start();
        fingers(Qt::TouchPointReleased);
        figures->settleTurn = longestTurn(kSettleMs, [this] { return painted(); });
        figures->settle = clock.nsecsElapsed() / 1e6;
        m_view->resetZoom();
        settle();
    }

private:
    ENoteWidget *m_note;
    PageView *m_view;
    QWidget *m_viewport;
    QTouchDevice *m_device;
    PaintCount m_count;
};

QString ms(double value)
{
    return QString::number(value, 'f', 1);
}

void report(const QString &page, const Figures &f)
{
    QTextStream out(stdout);
    out << "| " << page << " | " << ms(quantile(f.repaints, 0.5)) << " | "
        << ms(quantile(f.direct, 0.5)) << " | " << ms(quantile(f.afresh, 0.5)) << " | "
        << ms(quantile(f.pinches, 0.5)) << " / " << ms(largest(f.pinches)) << " | "
        << ms(largest(f.lifts)) << " | " << ms(quantile(f.moves, 0.5)) << " / "
        << ms(quantile(f.moves, 0.95)) << " / " << ms(largest(f.moves)) << " | " << ms(f.afterLift)
        << " | " << ms(f.settle) << " / " << ms(f.settleTurn) << " |\n";
    out.flush();
}
} // namespace

int main(int argc, char **argv)
{
    BenchProcess process(argc, argv);
    if (!process.isValid())
        return 1;
    BenchLesson lesson;
    if (!lesson.start()) {
        std::fprintf(stderr, "the lesson did not start\n");
        return 1;
    }
    ENoteWidget *note = lesson.window()->eNoteWidget();
    if (!lesson.followNote()) {
        std::fprintf(stderr, "the e-note page did not come\n");
        return 1;
    }
    Screen screen(note);
    // The page fills the canvas, now the e-note screen is shown.
    const QSize page = screen.canvasSize();
    note->pageView()->resizePage(0, page.width(), page.height());
    QTextStream(stdout) << "page " << note->pageView()->sceneRect().width() << "x"
                        << note->pageView()->sceneRect().height() << ", canvas " << page.width()
                        << "x" << page.height()
                        << ", times in ms from the event's delivery to the finished paint\n"
                        << "| page | full repaint | the same, every item painted "
                        << "| page painted anew | pinch step (median / max) "
                        << "| lift (max) | move to paint (median / p95 / max) "
                        << "| after lifts, longest turn "
                        << "| after a pinch: painted anew in / longest turn |\n"
                        << "|---|---|---|---|---|---|---|---|---|\n";
    const auto run = [&](const QString &name, const QStringList &texts,
                         const std::function<void(Figures *)> &extra) {
        Figures figures;
        screen.fill(texts);
        if (extra)
            extra(&figures);
        screen.settle();
        screen.repaints(&figures);
        screen.writeWords(&figures);
        screen.settle();
        screen.pinch(&figures);
        report(name, figures);
    };
    run(QStringLiteral("empty"), QStringList(), nullptr);
    for (int strokes : {300, 2000, 5000})
        run(QStringLiteral("%1 strokes").arg(strokes), handwriting(strokes, page), nullptr);
    run(QStringLiteral("shaded by highlighter for a minute"), QStringList(),
        [&](Figures *f) { screen.shade(TaskToolManager::HighlighterMode, f); });
    run(QStringLiteral("300 strokes wiped whole with the eraser"), handwriting(300, page),
        [&](Figures *f) { screen.shade(TaskToolManager::EraserMode, f); });

    screen.fill(handwriting(2000, page));
    note->addPage(page.width(), page.height(), false);
    for (const QString &text : handwriting(2000, page))
        note->lineUpdatePage(1, text);
    screen.settle();
    QTextStream(stdout) << "tap switching between two pages of 2000 strokes, to the paint: "
                        << ms(screen.switchPages(6)) << " ms (median)\n";
    note->pageList()->setCurrentRow(0);
    screen.settle();
    QTextStream(stdout) << "the costliest strokes a teacher may send, arrival to paint: "
                        << ms(screen.teacherStrokes(costliestStrokes())) << " ms (largest)\n";
    return 0;
}
