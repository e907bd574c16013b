// Twenty pictures of 4000 x 4000 pixels (about 70 KB each as text) sent by a loopback teacher
// to the e-note page shown: the program's memory before and after they are shown, and one
// repaint of the canvas and of the page's thumbnail once they are, next to their goals.
#include "app/MainWidget.h"
#include "common/BenchLesson.h"
#include "common/BenchProcess.h"
#include "pages/ImageItem.h"
#include "pages/PageView.h"
#include "pages/PictureCache.h"
#include "screens/EBookItemDelegate.h"
#include "screens/ENoteWidget.h"

#include <QApplication>
#include <QBuffer>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const int kPictures = 20;
const int kSide = 4000;
const int kWaitMs = 120000;
const double kRepaintGoalMs = 16.0;
const double kGrowthGoalMb = PictureCache::kByteLimit / 1048576.0;

// A drawing of few colours: a PNG of a palette packs it into some 50 KB.
QByteArray picture(int n)
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((n * 17) % 360, 40, 245));
    QPainter painter(&image);
    painter.setPen(QPen(QColor::fromHsv((n * 17 + 180) % 360, 200, 120), 12));
    for (int i = 0; i < 4; ++i)
        painter.drawLine(0, i * 900 + n * 7, kSide, kSide - i * 800);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv((n * 17 + 90) % 360, 220, 200));
    for (int i = 0; i < 8; ++i)
        painter.drawEllipse(200 + i * 450, 150 + i * 450, 500 + n * 10, 400);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_Indexed8).save(&buffer, "PNG");
    return png;
}

// Resident and peak memory of this process, in MB.
double statusMb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

template <typename Work> double medianMs(Work work)
{
    std::vector<double> ms;
    for (int i = 0; i < 11; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

int pictureItems(PageView *view)
{
    int n = 0;
    for (QGraphicsItem *item : view->pageScene()->items())
        n += dynamic_cast<ImageItem *>(item) ? 1 : 0;
    return n;
}
} // namespace

int main(int argc, char **argv)
{
    BenchProcess process(argc, argv);
    if (!process.isValid())
        return 1;

    BenchLesson lesson;
    if (!lesson.start() || !lesson.followNote()) {
        std::fprintf(stderr, "bench_pictures: the lesson did not start\n");
        return 1;
    }
    ENoteWidget *screen = lesson.window()->eNoteWidget();
    PageView *view = screen->pageView();
    std::vector<QByteArray> frames;
    qint64 textBytes = 0;
    for (int n = 0; n < kPictures; ++n) {
        const QByteArray text =
            "5#{picture-" + QByteArray::number(n) + "}#" + QByteArray::number((n % 5) * 200) + ',' +
            QByteArray::number((n / 5) * 150) + ',' + QByteArray::number(kSide) + ',' +
            QByteArray::number(kSide) + '#' + picture(n).toBase64();
        textBytes += text.size();
        frames.push_back(LoopbackPeer::framed("line@enote&0&" + text));
    }
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const double emptyRepaint = medianMs([view] { view->viewport()->repaint(); });
    const double before = statusMb("VmRSS:");
    // The peak from here on.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();

    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &frame : frames)
        lesson.teacher().write(frame);
    PictureCache *cache = PictureCache::instance();
    QDeadlineTimer deadline(kWaitMs);
    // Every picture on the page, painted, and nothing left to decode.
    while (pictureItems(view) < kPictures || cache->pendingCount() > 0 || clock.elapsed() < 200) {
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "bench_pictures: the pictures were not shown\n");
            return 1;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    const double shownMs = clock.nsecsElapsed() / 1e6;
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const double after = statusMb("VmRSS:");
    const double peak = statusMb("VmHWM:");

    const double repaint = medianMs([view] { view->viewport()->repaint(); });
    const double thumbnail = medianMs([screen] { screen->thumbnails()->refresh(0); });
    const double growth = after - before;
    std::printf("%d pictures of %d x %d (%.0f KB each as text) on the e-note page shown:\n",
                kPictures, kSide, kSide, textBytes / 1024.0 / kPictures);
    std::printf("  memory %.0f MB before, %.0f MB after: grown %.0f MB (goal: at most %.0f MB, "
                "the picture cache's limit%s); peak %.0f MB (decoded whole: %d x %.0f MB)\n",
                before, after, growth, kGrowthGoalMb,
                growth <= kGrowthGoalMb ? ", met" : ", MISSED", peak, kPictures,
                kSide * double(kSide) * 4 / 1048576.0);
    std::printf("  one repaint of the canvas %.1f ms (goal: under %.0f ms%s; without the pictures "
                "%.1f ms), of the thumbnail %.1f ms\n",
                repaint, kRepaintGoalMs, repaint < kRepaintGoalMs ? ", met" : ", MISSED",
                emptyRepaint, thumbnail);
    std::printf("  all shown %.0f ms after the teacher wrote them, decoded on worker threads; "
                "%.0f MB of decoded parts held\n",
                shownMs, cache->heldBytes() / 1048576.0);
    return 0;
}
