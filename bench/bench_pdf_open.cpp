// Time per page to open a 50-page book of text and vector drawings through the book-opening
// worker (render at 96 dpi, scale, pixmap in the GUI thread), next to `pdftoppm -r 96`.
#include "pdf/OpenBookThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
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

// Letter pages: two columns of text, a chart of curves and filled shapes.
bool writeBook(const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    if (!painter.isActive())
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    painter.setFont(font);
    const QString line = QStringLiteral("Lesson text with numbers 12345 and words to read aloud.");
    for (int page = 0; page < kPages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.setPen(Qt::black);
        painter.drawText(QPointF(40, 30), QStringLiteral("Chapter %1").arg(page + 1));
        for (int row = 0; row < 40; ++row) {
            painter.drawText(QPointF(40, 60 + row * 11), line);
            painter.drawText(QPointF(320, 60 + row * 11), line);
        }
        for (int i = 0; i < 16; ++i) {
            QPainterPath curve(QPointF(40, 700 - i * 6));
            curve.cubicTo(200, 520 + i * 5, 400, 760 - i * 4, 570, 600 + i * 7);
            painter.setPen(QPen(QColor::fromHsv((i * 22 + page) % 360, 200, 200), 1.5));
            painter.drawPath(curve);
        }
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 8; ++i) {
            painter.setBrush(QColor::fromHsv((i * 45) % 360, 160, 230));
            painter.drawEllipse(QPointF(80 + i * 62, 740), 24, 24);
        }
        painter.setBrush(Qt::NoBrush);
    }
    return painter.end();
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
    if (!dir.isValid() || !writeBook(book)) {
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
