// Saving and reading back a page of many strokes, next to a plain QFile round trip of the
// same bytes; exporting pages as a PDF, next to encoding their JPEG images alone.

#include "link/Settings.h"
#include "pages/Document.h"
#include "pages/HSPage.h"
#include "pages/ItemText.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {
const int kStrokes = 2000;
const int kPoints = 50;
const int kRounds = 5;
const int kPages = 20;
const QSize kPageSize(1280, 800);

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

void print(const char *name, double value, const char *unit, double reference)
{
    QTextStream(stdout) << name << ": " << QString::number(value, 'f', 1) << ' ' << unit
                        << " (reference: " << QString::number(reference, 'f', 1) << ' ' << unit
                        << ")\n";
}

HSPage strokePage()
{
    HSPage page;
    page.setSize(kPageSize.width(), kPageSize.height());
    for (int s = 0; s < kStrokes; ++s) {
        QList<QPointF> points;
        for (int p = 0; p < kPoints; ++p)
            points << QPointF((s * 37) % 1200 + p * 2.5, (s * 53) % 760 + (p % 7) * 3.25);
        page.appendItem(ItemText::writeStroke(QColor(s % 256, 0, 0), 3, points));
    }
    return page;
}

QPixmap pagePixmap(int index)
{
    QPixmap pixmap(kPageSize);
    pixmap.fill(QColor::fromHsv((index * 17) % 360, 120, 230));
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 3));
    for (int i = 0; i < 40; ++i)
        painter.drawLine(i * 30, 0, 1280 - i * 20, 800);
    return pixmap;
}

void benchPageFile(const QString &folder)
{
    const HSPage page = strokePage();
    const QString path = folder + "/page1.crp";
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRounds; ++i) {
        HSPage back;
        if (!page.save(path) || !back.read(path) || back.m_listItems.size() != kStrokes)
            std::fprintf(stderr, "page round trip failed\n");
    }
    const double pageMs = timer.nsecsElapsed() / 1e6 / kRounds;

    QFile saved(path);
    saved.open(QIODevice::ReadOnly);
    const QByteArray bytes = saved.readAll();
    saved.close();
    const QString plainPath = folder + "/plain.bin";
    timer.restart();
    for (int i = 0; i < kRounds; ++i) {
        QFile out(plainPath);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes);
        out.close();
        QFile in(plainPath);
        in.open(QIODevice::ReadOnly);
        if (in.readAll().size() != bytes.size())
            std::fprintf(stderr, "plain round trip failed\n");
    }
    const double plainMs = timer.nsecsElapsed() / 1e6 / kRounds;
    print("page file save+read, 2000 strokes x 50 points", pageMs, "ms", plainMs);
}

void benchExport(const QString &folder)
{
    Document doc;
    doc.m_strFolder = folder + "/";
    QList<QPixmap> pixmaps;
    for (int i = 0; i < kPages; ++i) {
        pixmaps << pagePixmap(i);
        doc.addPixmapPage(pixmaps.last(), false);
    }
    Settings::instance()->m_strSavePdfPath = folder + "/export.pdf";
    QElapsedTimer timer;
    timer.start();
    if (!doc.exportPdf())
        std::fprintf(stderr, "export failed\n");
    const double exportMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    for (const QPixmap &pixmap : qAsConst(pixmaps)) {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        pixmap.save(&buffer, "JPG", 100);
    }
    const double jpegMs = timer.nsecsElapsed() / 1e6;
    print("PDF export, 20 pages of 1280 x 800", exportMs, "ms", jpegMs);
}
} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quiet);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    benchPageFile(dir.path());
    benchExport(dir.path());
    return 0;
}
