// Opening a book in the e-book screen: whole-book time (last thumbnail shown), first
// thumbnail latency, the GUI thread's longest stall (a 5 ms timer), peak resident memory
// and its growth per page, on R-intro.pdf and on a 300-page book, each next to
// `pdftoppm -r 96` (one process, PPM to /dev/shm) on the same file in this run, and on a
// 16-page book of 14,400 x 14,400 pt pages for its peak memory; the whole-book time, peak
// memory, page-file and thumbnail bytes of the 2,415-page R reference manual and of a
// generated book of 10,000 pages; the page files and peak memory of a book whose page tree
// claims 200,000 pages and holds one, and of one that holds 100,000 pages; and the time
// stopping a book and the screen's destructor take while a page is in one image of
// 60,000 x 60,000 pixels. Each book opens in a fresh child process.
#include "common/BenchBook.h"
#include "pages/Document.h"
#include "pages/PageView.h"
#include "pdf/OpenBookThread.h"
#include "pdf/XPDFRenderer.h"
#include "screens/DisplayWidget.h"
#include "screens/EBookItemDelegate.h"
#include "support/PdfFixtures.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
const char *const kRIntro = "/usr/share/R/doc/manual/R-intro.pdf";
const char *const kRefman = "/usr/share/R/doc/manual/fullrefman.pdf";
constexpr int kBigBookPages = 300;
constexpr int kLongBookPages = 10000;
constexpr int kHugeBookPages = 16;
constexpr double kHugePageSide = 14400; // points: the largest PDF page
constexpr int kClaimedPages = 200000;
constexpr int kRepeatedLevels = 5; // 100,000 pages
constexpr int kImageSide = 60000;
constexpr int kRounds = 5;
constexpr int kWholeRounds = 3;
constexpr int kChildLimitMs = 600000;
// Pages of a long book timed apart: all that a book opened with before it opened whole.
constexpr int kComparedPages = 1000;

// What a book is measured against.
enum class Goals
{
    Ordinary,
    Long,
    Huge,
    Whole,   // thousands of pages: no reference (gigabytes of PPM), fewer rounds
    Claiming // more pages than a book may have: no reference, no per-page figures
};
constexpr int kTickMs = 5;

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// A figure of /proc/self/status in kB: "VmHWM" (peak) or "VmRSS" (now).
double memoryKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QLatin1String(field) + QStringLiteral(":\\s+(\\d+)"));
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

using Figures = QMap<QString, double>;

void print(const Figures &f)
{
    for (auto it = f.cbegin(); it != f.cend(); ++it)
        std::printf("%s=%.1f ", qPrintable(it.key()), it.value());
    std::printf("\n");
}

// Child: opens the book in the e-book screen and prints its figures as "key=value" pairs.
int openInScreen(const QString &book)
{
    qInstallMessageHandler(quiet);
    const int total = qMin(XPDFRenderer(book).pageCount(), OpenBookThread::kMaxPages);
    DisplayWidget screen;
    screen.resize(1920, 1000);
    screen.show();
    // The screen has been on show for a while when a book is asked for.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);

    Figures f;
    QElapsedTimer clock;
    double lastTick = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        f["stall"] = std::max(f.value("stall"), now - lastTick - kTickMs);
        lastTick = now;
    });
    // Memory when a third of the rows is in and at the last one: its growth per page.
    QObject::connect(screen.thumbnailList()->model(), &QAbstractItemModel::rowsInserted, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        if (!f.contains("first"))
            f["first"] = now;
        f["last"] = now;
        const int rows = screen.pageCount();
        if (!f.contains("thirdRss") && rows >= total / 3) {
            f["thirdRss"] = memoryKb("VmRSS");
            f["thirdRows"] = rows;
        }
        if (rows == total)
            f["lastRss"] = memoryKb("VmRSS");
        if (rows == kComparedPages)
            f["thousand"] = now;
    });
    // After the completion the ticks go on a while: the first page is drawn then.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!screen.isOpening() && f.contains("first") && !f.contains("complete")) {
            f["complete"] = clock.nsecsElapsed() / 1e6;
            QTimer::singleShot(300, &QApplication::quit);
        }
    });
    QTimer::singleShot(kChildLimitMs, &QApplication::quit);

    f["before"] = memoryKb("VmRSS");
    clock.start();
    ticker.start(kTickMs);
    watch.start(1);
    screen.onOpeneBook(book);
    QApplication::exec();
    f["pages"] = screen.pageCount();
    const QFileInfoList files = QDir(screen.pageView()->document()->m_strFolder)
                                    .entryInfoList({QStringLiteral("*.crp")}, QDir::Files);
    f["files"] = files.size();
    for (const QFileInfo &file : files)
        f["fileBytes"] += file.size();
    f["peak"] = memoryKb("VmHWM");
    f["thumbnailBytes"] = screen.delegate()->store().heldBytes();
    print(f);
    return f.contains("complete") && screen.pageCount() > 0 ? 0 : 1;
}

// Processes events until done, at most ms; false when it timed out.
bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Child: stops the book while its second page is in its one huge image, then lets a screen go
// while it is there, then opens the whole book; prints the times.
int stopInScreen(const QString &book)
{
    qInstallMessageHandler(quiet);
    Figures f;
    QElapsedTimer clock;
    auto *screen = new DisplayWidget;
    screen->show();
    const auto intoTheImage = [&] {
        screen->onOpeneBook(book);
        const bool first = waitFor([&] { return screen->pageCount() == 1; }, 30000);
        waitFor([] { return false; }, 500);
        return first && screen->isOpening();
    };
    if (!intoTheImage())
        return 1;
    clock.start();
    screen->stopOpening();
    f["stop"] = clock.nsecsElapsed() / 1e6;
    if (!waitFor([&] { return !screen->isOpening(); }, 120000))
        return 1;
    f["stopped"] = clock.nsecsElapsed() / 1e6;
    if (!intoTheImage())
        return 1;
    clock.restart();
    delete screen;
    f["destructor"] = clock.nsecsElapsed() / 1e6;

    DisplayWidget whole;
    whole.show();
    clock.restart();
    whole.onOpeneBook(book);
    if (!waitFor([&] { return !whole.isOpening(); }, 120000))
        return 1;
    f["whole"] = clock.nsecsElapsed() / 1e6;
    f["pages"] = whole.pageCount();
    f["peak"] = memoryKb("VmHWM");
    print(f);
    return 0;
}

// One run of the child in mode ("--open" or "--stop") in a process of its own; its figures,
// or an empty map.
Figures runChild(const QString &book, const QString &mode = QStringLiteral("--open"))
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {mode, book});
    if (!child.waitForFinished(kChildLimitMs + 60000) || child.exitCode() != 0)
        return Figures();
    Figures run;
    const QStringList pairs =
        QString::fromLatin1(child.readAllStandardOutput()).simplified().split(' ');
    for (const QString &pair : pairs)
        run[pair.section('=', 0, 0)] = pair.section('=', 1).toDouble();
    if (run.contains("lastRss") && run.contains("thirdRss"))
        run["growth"] = (run["lastRss"] - run["thirdRss"]) / (run["pages"] - run["thirdRows"]);
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values.at(values.size() / 2);
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(' ', 0, 0)
                                          : QStringLiteral("?");
}

double runPdftoppm(const QString &book)
{
    QTemporaryDir out(QStringLiteral("/dev/shm/bench-ppm-XXXXXX"));
    if (!out.isValid())
        return -1.0;
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("96"), book, out.filePath("p")});
    if (!process.waitForFinished(180000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1.0;
    return timer.nsecsElapsed() / 1e6;
}

bool benchClaiming(const QString &name, const QString &book)
{
    const Figures run = runChild(book);
    if (run.isEmpty()) {
        std::fprintf(stderr, "bench_book_open: %s failed\n", qPrintable(name));
        return false;
    }
    std::printf("%s: %.0f pages, %.0f page files, opened in %.0f ms, peak resident memory %.0f "
                "MB, %.0f MB before the book (goal: the pages the file holds, at most %d)\n",
                qPrintable(name), run["pages"], run["files"], run["complete"], run["peak"] / 1024,
                run["before"] / 1024, OpenBookThread::kMaxPages);
    return true;
}

bool benchStop(const QString &book)
{
    const Figures run = runChild(book, QStringLiteral("--stop"));
    if (run.isEmpty()) {
        std::fprintf(stderr, "bench_book_open: stopping in a huge image failed\n");
        return false;
    }
    std::printf("60,000 x 60,000 image: stop() %.2f ms, the opening ended %.0f ms after it; the "
                "screen's destructor %.1f ms (goal: a frame, 16 ms)\n",
                run["stop"], run["stopped"], run["destructor"]);
    std::printf("60,000 x 60,000 image: whole book (%.0f pages) opened in %.0f ms (its image page "
                "blank should it take more than %d ms of processor time); peak resident memory "
                "%.0f MB\n",
                run["pages"], run["whole"], XPDFRenderer::kDefaultPageBudgetMs, run["peak"] / 1024);
    return true;
}

// A book of thousands of pages, opened whole.
bool benchWhole(const QString &name, const QString &book)
{
    QMap<QString, QList<double>> runs;
    for (int round = 0; round < kWholeRounds; ++round) {
        const Figures run = runChild(book);
        if (run.isEmpty()) {
            std::fprintf(stderr, "bench_book_open: %s failed\n", qPrintable(name));
            return false;
        }
        for (auto it = run.cbegin(); it != run.cend(); ++it)
            runs[it.key()] << it.value();
    }
    const QByteArray n = name.toUtf8();
    const QList<double> &peaks = runs["peak"];
    const QList<double> &stalls = runs["stall"];
    const double pages = median(runs["pages"]);
    std::printf("%s (%.0f pages): whole book opened in %.0f ms, its first %d pages in %.0f ms, "
                "medians of %d runs\n",
                n.constData(), pages, median(runs["last"]), kComparedPages,
                median(runs["thousand"]), kWholeRounds);
    std::printf("%s: peak resident memory %.0f MB (goal: under 1,000 MB for 10,000 pages), "
                "%.0f MB before the book; it grows by %.0f KB a page from a third of the book "
                "to its end\n",
                n.constData(), *std::max_element(peaks.begin(), peaks.end()) / 1024,
                median(runs["before"]) / 1024, median(runs["growth"]));
    std::printf("%s: page files %.0f MB (%.0f KB a page), thumbnails held %.1f MB (%.1f KB a "
                "page); longest GUI-thread stall %.1f ms, %.1f ms in the worst run (goal: under "
                "16 ms)\n",
                n.constData(), median(runs["fileBytes"]) / 1048576,
                median(runs["fileBytes"]) / 1024 / pages, median(runs["thumbnailBytes"]) / 1048576,
                median(runs["thumbnailBytes"]) / 1024 / pages, median(stalls),
                *std::max_element(stalls.begin(), stalls.end()));
    return true;
}

bool benchBook(const QString &name, const QString &book, Goals goals)
{
    QMap<QString, QList<double>> runs;
    QList<double> reference;
    if (goals == Goals::Claiming)
        return benchClaiming(name, book);
    if (goals == Goals::Whole)
        return benchWhole(name, book);
    // Huge pages at 96 dpi would be 16 GB of PPM files: no reference for them.
    const bool huge = goals == Goals::Huge;
    for (int round = 0; round < kRounds; ++round) {
        const double ms = huge ? 0.0 : runPdftoppm(book);
        const Figures run = runChild(book);
        if (ms < 0 || run.isEmpty()) {
            std::fprintf(stderr, "bench_book_open: %s failed\n", qPrintable(name));
            return false;
        }
        reference << ms;
        for (auto it = run.cbegin(); it != run.cend(); ++it)
            runs[it.key()] << it.value();
    }
    // Medians of the rounds; the stall and the memory also at their worst.
    const QByteArray n = name.toUtf8();
    const double ref = median(reference);
    const double last = median(runs["last"]);
    const QList<double> &stalls = runs["stall"];
    if (huge)
        std::printf("%s (%.0f pages): whole book opened in %.0f ms\n", n.constData(),
                    median(runs["pages"]), last);
    else
        std::printf("%s (%.0f pages): whole book opened in %.0f ms = %.2f x pdftoppm -r 96 "
                    "(reference: %.0f ms; goal: at most 0.50 x)\n",
                    n.constData(), median(runs["pages"]), last, last / ref, ref);
    std::printf("%s: first thumbnail after %.0f ms%s\n", n.constData(), median(runs["first"]),
                huge ? "" : " (goal: at most 150 ms)");
    std::printf("%s: longest GUI-thread stall %.1f ms, %.1f ms in the worst of %d runs (goal: "
                "under 16 ms)\n",
                n.constData(), median(stalls), *std::max_element(stalls.begin(), stalls.end()),
                kRounds);
    const QList<double> &peaks = runs["peak"];
    const char *memoryGoal = goals == Goals::Long   ? " (goal: under 200 MB)"
                             : goals == Goals::Huge ? " (goal: under 600 MB)"
                                                    : "";
    std::printf("%s: peak resident memory %.0f MB%s, %.0f MB before the book\n", n.constData(),
                *std::max_element(peaks.begin(), peaks.end()) / 1024, memoryGoal,
                median(runs["before"]) / 1024);
    if (goals == Goals::Long)
        std::printf("%s: memory grows by %.0f KB a page from page 100 to 300 (goal: its packed "
                    "thumbnail and page record, some tens of KB)\n",
                    n.constData(), median(runs["growth"]));
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    // The screen keeps its page files in a data folder of its own.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--open"))
        return openInScreen(args.at(2));
    if (args.size() == 3 && args.at(1) == QLatin1String("--stop"))
        return stopInScreen(args.at(2));

    std::printf("load average at the start: %s on %d cores\n", qPrintable(loadAverage()),
                QThread::idealThreadCount());
    bool ok = true;
    if (QFile::exists(QString::fromLatin1(kRIntro)))
        ok &=
            benchBook(QStringLiteral("R-intro.pdf"), QString::fromLatin1(kRIntro), Goals::Ordinary);
    else
        std::printf("R-intro.pdf: missing (package r-doc-pdf); skipped\n");
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("book300.pdf"));
    if (!BenchBook::write(big, kBigBookPages)) {
        std::fprintf(stderr, "bench_book_open: cannot write the 300-page book\n");
        return 1;
    }
    ok &= benchBook(QStringLiteral("300-page book"), big, Goals::Long);
    const QString huge = dir.filePath(QStringLiteral("huge16.pdf"));
    if (!BenchBook::writeLarge(huge, kHugeBookPages, kHugePageSide)) {
        std::fprintf(stderr, "bench_book_open: cannot write the book of huge pages\n");
        return 1;
    }
    ok &= benchBook(QStringLiteral("16 pages of 14,400 x 14,400 pt"), huge, Goals::Huge);

    if (QFile::exists(QString::fromLatin1(kRefman)))
        ok &=
            benchBook(QStringLiteral("fullrefman.pdf"), QString::fromLatin1(kRefman), Goals::Whole);
    else
        std::printf("fullrefman.pdf: missing (package r-doc-pdf); skipped\n");
    const QString longBook = dir.filePath(QStringLiteral("book10000.pdf"));
    if (!BenchBook::write(longBook, kLongBookPages)) {
        std::fprintf(stderr, "bench_book_open: cannot write the 10,000-page book\n");
        return 1;
    }
    ok &= benchBook(QStringLiteral("10,000-page book"), longBook, Goals::Whole);

    const QString claiming = dir.filePath(QStringLiteral("claiming.pdf"));
    const QString repeated = dir.filePath(QStringLiteral("repeated.pdf"));
    const QString image = dir.filePath(QStringLiteral("image.pdf"));
    if (!PdfFixtures::claimingPages(claiming, kClaimedPages) ||
        !PdfFixtures::repeatedPages(repeated, kRepeatedLevels) ||
        !PdfFixtures::hugeImage(image, kImageSide)) {
        std::fprintf(stderr, "bench_book_open: cannot write the odd books\n");
        return 1;
    }
    ok &= benchBook(QStringLiteral("book claiming 200,000 pages"), claiming, Goals::Claiming);
    ok &= benchBook(QStringLiteral("book of 100,000 pages"), repeated, Goals::Claiming);
    ok &= benchStop(image);
    return ok ? 0 : 1;
}
