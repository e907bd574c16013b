// Time per page to open a 50-page book of text and vector drawings through the book-opening
// worker (render at 96 dpi, scale, pixmap in the GUI thread), next to `pdftoppm -r 96`.
#include "common/BenchBook.h"
#include "pdf/OpenBookThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kPages = 50;
constexpr int kRounds = 3;

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Opens the book through the worker and waits for its completion; milliseconds, or -1.
double openThroughWorker(const QString &path, int *pages)
{
    OpenBookThread thread;
    QEventLoop loop;
    *pages = 0;
    bool complete = false;
    QObject::connect(&thread, &OpenBookThread::addPageSignal, &loop,
                     [pages](const QPixmap &pixmap) { *pages += !pixmap.isNull(); });
    QObject::connect(&thread, &OpenBookThread::openComplete, &loop, [&] {
        complete = true;
        loop.quit();
    });
    QObject::connect(&thread, &OpenBookThread::openFail, &loop, &QEventLoop::quit);
    thread.m_strPath = path;
    QElapsedTimer timer;
    timer.start();
    thread.start();
    loop.exec();
    const double ms = timer.nsecsElapsed() / 1e6;
    thread.wait();
    return complete ? ms : -1.0;
}

double runPdftoppm(const QString &path, const QString &outPrefix)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("96"), path, outPrefix});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1.0;
    return timer.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("book.pdf"));
    if (!dir.isValid() || !BenchBook::write(book, kPages)) {
        std::fprintf(stderr, "bench_pdf_open: cannot write the book\n");
        return 1;
    }
    double worker = 1e12;
    double reference = 1e12;
    for (int round = 0; round < kRounds; ++round) {
        int pages = 0;
        const double ms = openThroughWorker(book, &pages);
        const double refMs = runPdftoppm(book, dir.filePath(QStringLiteral("ppm%1").arg(round)));
        if (ms < 0 || pages != kPages || refMs < 0) {
            std::fprintf(stderr, "bench_pdf_open: run failed (pages %d, pdftoppm %.0f)\n", pages,
                         refMs);
            return 1;
        }
        worker = std::min(worker, ms);
        reference = std::min(reference, refMs);
    }
    std::printf("open 50-page book through the worker: %.2f ms/page (reference: pdftoppm -r 96 "
                "%.2f ms/page)\n",
                worker / kPages, reference / kPages);
    std::printf("open book time relative to pdftoppm: %.2f x (reference: 1.30 x)\n",
                worker / reference);
    return 0;
}
