#include "common/BenchBook.h"

#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

bool BenchBook::write(const QString &path, int pages)
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
    for (int page = 0; page < pages; ++page) {
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
