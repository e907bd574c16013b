#ifndef SCREENPIXELS_H
#define SCREENPIXELS_H

#include <QColor>
#include <QImage>
#include <QRect>

// Finds colours on a screenshot: how many pixels of a colour an area holds, and where.
class ScreenPixels
{
public:
    // Every channel within the tolerance of the colour's.
    static bool near(QRgb pixel, const QColor &colour, int tolerance);
    static int count(const QImage &image, const QRect &area, const QColor &colour,
                     int tolerance = 0);
    // The smallest rectangle around the pixels of that colour in the area; empty when none.
    static QRect box(const QImage &image, const QRect &area, const QColor &colour,
                     int tolerance = 0);
};

#endif // SCREENPIXELS_H
