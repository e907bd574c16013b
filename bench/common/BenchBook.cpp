#include "common/BenchBook.h"

#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

bool BenchBook::write(const QString &path, int pages)
{
    return writePages(path, pages, QSizeF(612, 792));
}

bool BenchBook::writeLarge(const QString &path, int pages, double side)
{
    return writePages(path, pages, QSizeF(side, side));
}

bool BenchBook::writePages(const QString &path, int pages, const QSizeF &points)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(points, QPageSize::Point));
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    if (!painter.isActive())
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = qMin(points.width() / 612, points.height() / 792);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.scale(scale, scale);
        drawPage(painter, page);
        painter.restore();
    }
    return painter.end();
}

void BenchBook::drawPage(QPainter &painter, int page)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    painter.setFont(font);
    const QString line = QStringLiteral("Lesson text with numbers 12345 and words to read aloud.");
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
