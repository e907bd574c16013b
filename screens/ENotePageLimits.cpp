#include "screens/ENotePageLimits.h"

#include <QStringList>

namespace {
// Longer texts are not numbers of the allowed range; they are not even looked at.
const int kMaxNumberText = 16;

bool parseNumber(const QString &text, int low, int high, int *value)
{
    if (text.isEmpty() || text.size() > kMaxNumberText)
        return false;
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (!ok || number < low || number > high)
        return false;
    *value = number;
    return true;
}
} // namespace

bool ENotePageLimits::parseCount(const QString &text, int *count)
{
    return parseNumber(text.trimmed(), 0, MaxPages, count);
}

bool ENotePageLimits::parseSize(const QString &text, QSize *size)
{
    if (text.size() > 2 * kMaxNumberText + 1)
        return false;
    const QStringList parts = text.split(QLatin1Char(','));
    int width = 0;
    int height = 0;
    if (parts.size() != 2 || !parseNumber(parts.at(0).trimmed(), 1, MaxSide, &width) ||
        !parseNumber(parts.at(1).trimmed(), 1, MaxSide, &height))
        return false;
    *size = QSize(width, height);
    return true;
}

bool ENotePageLimits::validSize(int width, int height)
{
    return width >= 1 && width <= MaxSide && height >= 1 && height <= MaxSide;
}
