#include "pdf/PageImageLimit.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

bool PageImageLimit::fits(const QSize &size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxSide &&
           size.height() <= kMaxSide && qint64(size.width()) * size.height() <= kMaxPixels;
}

double PageImageLimit::reduction(const QSizeF &size)
{
    const double width = size.width();
    const double height = size.height();
    if (!qIsFinite(width) || !qIsFinite(height) || width < 0.0 || height < 0.0)
        return 0.0;
    double factor = 1.0;
    if (width * height > double(kMaxPixels))
        factor = std::sqrt(double(kMaxPixels) / (width * height));
    if (width * factor > kMaxSide)
        factor = kMaxSide / width;
    if (height * factor > kMaxSide)
        factor = kMaxSide / height;
    return factor;
}

QSize PageImageLimit::fitted(const QSizeF &size)
{
    const double factor = reduction(size);
    if (!(factor > 0.0) || size.isEmpty())
        return QSize();
    // Rounded down (past the last bits of rounding error), so the product stays within.
    const double slack = 1e-7;
    int width = std::clamp(int(std::floor(size.width() * factor + slack)), 1, int(kMaxSide));
    int height = std::clamp(int(std::floor(size.height() * factor + slack)), 1, int(kMaxSide));
    while (qint64(width) * height > kMaxPixels)
        (width > height ? width : height) -= 1;
    return QSize(width, height);
}
