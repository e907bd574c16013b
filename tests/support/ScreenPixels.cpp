#include "support/ScreenPixels.h"

#include <cstdlib>

namespace {
template <typename Visit>
void forEachMatch(const QImage &image, const QRect &area, const QColor &colour, int tolerance,
                  Visit visit)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRect inside = area.intersected(rgb.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (ScreenPixels::near(line[x], colour, tolerance))
                visit(x, y);
        }
    }
}
} // namespace

bool ScreenPixels::near(QRgb pixel, const QColor &colour, int tolerance)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

int ScreenPixels::count(const QImage &image, const QRect &area, const QColor &colour, int tolerance)
{
    int found = 0;
    forEachMatch(image, area, colour, tolerance, [&found](int, int) { ++found; });
    return found;
}

QRect ScreenPixels::box(const QImage &image, const QRect &area, const QColor &colour, int tolerance)
{
    QRect found;
    forEachMatch(image, area, colour, tolerance,
                 [&found](int x, int y) { found |= QRect(x, y, 1, 1); });
    return found;
}
