#ifndef PAGEIMAGELIMIT_H
#define PAGEIMAGELIMIT_H

#include <QSize>
#include <QSizeF>

// The largest page image the program makes or reads back: book pages as they are rendered,
// page files and pictures as they are decoded. A page that would be larger is rendered at a
// lower resolution, keeping its proportions.
class PageImageLimit
{
public:
    // Longest side in pixels: the longest side of a PDF page, so that every page image can
    // also be written out as a PDF page of one point a pixel.
    static constexpr int kMaxSide = 14400;
    // Pixels of one image at most (64 MiB at four bytes a pixel).
    static constexpr qint64 kMaxPixels = 16 * 1024 * 1024;

    static bool fits(const QSize &size);
    // Factor (at most 1) that brings a size within the limit; 0 for a size that is not finite.
    static double reduction(const QSizeF &size);
    // A whole-pixel size within the limit in the proportions of size, each side at least 1;
    // empty for an empty or not finite size.
    static QSize fitted(const QSizeF &size);

private:
    PageImageLimit() = delete;
};

#endif // PAGEIMAGELIMIT_H
