// The road of a teacher stroke: a loopback teacher writes 1,000 "line@" frames, one at a time,
// each timed from its write until its item is in the scene of the page shown (through the
// protocol client, the main window and the e-note, then the e-book screen), and until the
// window has painted it. Next to it, in the same run, the round trip of a heartbeat ("heart@"
// answered by "heart@student") after each stroke.
#include "app/MainWidget.h"
#include "common/BenchBook.h"
#include "common/BenchLesson.h"
#include "common/BenchProcess.h"
#include "link/Settings.h"
#include "pages/PageView.h"
#include "screens/DisplayWidget.h"
#include "screens/EBookItemDelegate.h"
#include "screens/ENoteWidget.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const int kStrokes = 1000;
const int kPoints = 24;
const int kColumns = 25;
const int kRows = 40;
const int kWaitMs = 5000;
const double kAimMs = 5.0;

// Handwriting: a zigzag of kPoints points in its own cell of a 25 x 40 grid over the page.
QByteArray strokeText(int n, const QSize &page)
{
    const double cellW = (page.width() - 40.0) / kColumns;
    const double cellH = (page.height() - 40.0) / kRows;
    const double x0 = 20 + (n % kColumns) * cellW;
    const double y0 = 20 + (n / kColumns % kRows) * cellH;
    QByteArray text = "3#" + QByteArray::number((n * 37) % 256) + ",40,160,255#3#";
    for (int p = 0; p < kPoints; ++p) {
        const double x = x0 + p * (cellW - 4) / kPoints;
        const double y = y0 + ((p % 4 == 1 || p % 4 == 2) ? cellH - 4 : 2);
        text += QByteArray::number(x, 'g', 6) + ',' + QByteArray::number(y, 'g', 6);
        if (p + 1 < kPoints)
            text += ' ';
    }
    return text;
}

struct Times
{
    std::vector<double> toScene;
    std::vector<double> toScreen;
    std::vector<double> heartbeat;
};

// Runs every event the window has waiting (the scene's update, then the paint it posts).
void drain()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The canvas appends an item's record right after it puts the item in the scene: a count
// read in constant time, where listing the scene's items takes longer than the road itself.
int records(PageView *view)
{
    return view->document()->m_currPage.m_listItems.size();
}

bool run(LoopbackPeer &teacher, const char *target, PageView *view, const QSize &page, Times *times)
{
    const QByteArray prefix = QByteArray(target) + "&0&";
    const QByteArray heartbeat = LoopbackPeer::framed("heart@");
    const QByteArray answer = LoopbackPeer::framed("heart@student");
    QGraphicsScene *scene = view->pageScene();
    QElapsedTimer clock;
    for (int n = 0; n < kStrokes; ++n) {
        const QByteArray frame = LoopbackPeer::framed("line@" + prefix + strokeText(n, page));
        const int items = scene->items().size();
        const int before = records(view);
        QDeadlineTimer deadline(kWaitMs);
        clock.start();
        teacher.write(frame);
        while (records(view) == before) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents();
        }
        times->toScene.push_back(clock.nsecsElapsed() / 1e6);
        drain();
        times->toScreen.push_back(clock.nsecsElapsed() / 1e6);
        if (scene->items().size() != items + 1)
            return false;

        teacher.clear();
        clock.start();
        teacher.write(heartbeat);
        if (!teacher.waitFor(answer, kWaitMs))
            return false;
        times->heartbeat.push_back(clock.nsecsElapsed() / 1e6);
        drain();
    }
    return true;
}

struct Figures
{
    explicit Figures(std::vector<double> ms)
    {
        std::sort(ms.begin(), ms.end());
        if (ms.empty())
            return;
        median = ms[ms.size() / 2];
        p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
        max = ms.back();
    }
    double median = 0;
    double p99 = 0;
    double max = 0;
};

// Median of five runs of the work, in milliseconds.
template <typename Work> double medianMs(Work work)
{
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    return Figures(ms).median;
}

// What the GUI thread does besides the road, once the page holds every stroke.
struct Painting
{
    double repaint = 0;   // the whole canvas, synchronously
    double thumbnail = 0; // the page's thumbnail drawn again
};

Painting painting(PageView *view, EBookItemDelegate *thumbnails, int row)
{
    Painting p;
    p.repaint = medianMs([view] { view->viewport()->repaint(); });
    p.thumbnail = medianMs([thumbnails, row] { thumbnails->refresh(row); });
    return p;
}

void reportPainting(const Painting &empty, const Painting &full)
{
    std::printf("  GUI thread with %d strokes on the page: whole canvas repaint %.1f ms, "
                "thumbnail redraw %.1f ms (reference, page without strokes: %.2f ms, %.2f ms)\n",
                kStrokes, full.repaint, full.thumbnail, empty.repaint, empty.thumbnail);
}

void report(const char *screen, const Times &times)
{
    const Figures scene(times.toScene);
    const Figures shown(times.toScreen);
    const Figures heart(times.heartbeat);
    std::printf("teacher stroke to the %s scene, %d line@ frames: median %.3f ms, p99 %.3f ms, "
                "max %.3f ms (aim: p99 under %.0f ms%s)\n",
                screen, kStrokes, scene.median, scene.p99, scene.max, kAimMs,
                scene.p99 < kAimMs ? ", met" : ", MISSED");
    std::printf("  reference, same run: heartbeat round trip median %.3f ms, p99 %.3f ms, "
                "max %.3f ms\n",
                heart.median, heart.p99, heart.max);
    std::printf("  to the screen (scene updated and window painted): median %.3f ms, p99 %.3f "
                "ms, max %.3f ms\n",
                shown.median, shown.p99, shown.max);
}
} // namespace

int main(int argc, char **argv)
{
    BenchProcess process(argc, argv);
    if (!process.isValid())
        return 1;

    BenchLesson lesson;
    if (!lesson.start() || !lesson.followNote()) {
        std::fprintf(stderr, "bench_stroke_road: the lesson did not start\n");
        return 1;
    }
    ENoteWidget *noteScreen = lesson.window()->eNoteWidget();
    const Painting emptyNote = painting(noteScreen->pageView(), noteScreen->thumbnails(), 0);
    Times note;
    if (!run(lesson.teacher(), "enote", noteScreen->pageView(), QSize(1280, 800), &note)) {
        std::fprintf(stderr, "bench_stroke_road: an e-note stroke did not arrive\n");
        return 1;
    }
    report("e-note", note);
    reportPainting(emptyNote, painting(noteScreen->pageView(), noteScreen->thumbnails(), 0));

    const QString book = QStringLiteral("bench stroke road.pdf");
    if (!BenchBook::write(Settings::instance()->localBookDir() + book, 4) ||
        !lesson.followBook(book)) {
        std::fprintf(stderr, "bench_stroke_road: the book did not open\n");
        return 1;
    }
    DisplayWidget *bookScreen = lesson.window()->displayWidget();
    const Painting emptyBook = painting(bookScreen->pageView(), bookScreen->delegate(), 0);
    Times ebook;
    // Book pages are shown at 64 dpi: a letter page is 544 x 704.
    if (!run(lesson.teacher(), "ebook", bookScreen->pageView(), QSize(544, 704), &ebook)) {
        std::fprintf(stderr, "bench_stroke_road: an e-book stroke did not arrive\n");
        return 1;
    }
    report("e-book", ebook);
    reportPainting(emptyBook, painting(bookScreen->pageView(), bookScreen->delegate(), 0));
    return 0;
}
