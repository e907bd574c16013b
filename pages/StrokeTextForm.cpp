#include "pages/StrokeTextForm.h"

namespace {
// Decimal exponents written in fixed form by format 'g' at 6 digits: -4 to 5.
const int kMinFixedExponent = -4;
const int kMaxSignificant = 6;
// Exponents of normal floats, whose 6 significant digits survive reading.
const int kMinExponent = -37;
const int kMaxExponent = 38;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Digits from i on; returns how many.
int digitRun(const QChar *text, int size, int &i)
{
    const int start = i;
    while (i < size && isDigit(text[i]))
        ++i;
    return i - start;
}

// Scans from i up to the separator; false when there is none.
bool field(const QChar *text, int size, int &i, QChar separator, int *start, int *length)
{
    *start = i;
    while (i < size && text[i] != separator)
        ++i;
    if (i >= size)
        return false;
    *length = i - *start;
    ++i;
    return true;
}
} // namespace

bool StrokeTextForm::isInteger(const QChar *text, int size, bool negative)
{
    int i = negative && size > 1 && text[0] == QLatin1Char('-') ? 1 : 0;
    if (i == size || (text[i] == QLatin1Char('0') && size > 1))
        return false; // empty, "-0" or a leading zero
    return digitRun(text, size, i) > 0 && i == size;
}

bool StrokeTextForm::isNumber(const QChar *text, int size)
{
    if (size == 0)
        return false;
    if (size == 1 && text[0] == QLatin1Char('0'))
        return true;
    int i = text[0] == QLatin1Char('-') ? 1 : 0;
    const int intStart = i;
    const int intDigits = digitRun(text, size, i);
    if (intDigits == 0)
        return false;
    int fracStart = i;
    int fracDigits = 0;
    if (i < size && text[i] == QLatin1Char('.')) {
        fracStart = ++i;
        fracDigits = digitRun(text, size, i);
        if (fracDigits == 0 || text[i - 1] == QLatin1Char('0'))
            return false; // "1." or a trailing zero
    }
    const bool leadingZero = text[intStart] == QLatin1Char('0');
    if (i < size) {
        // Exponent form: one digit before the point, "e", a sign and two digits.
        if (size - i != 4 || text[i] != QLatin1Char('e') ||
            (text[i + 1] != QLatin1Char('+') && text[i + 1] != QLatin1Char('-')) ||
            !isDigit(text[i + 2]) || !isDigit(text[i + 3]))
            return false;
        if (intDigits != 1 || leadingZero || fracDigits > kMaxSignificant - 1)
            return false;
        const int magnitude = (text[i + 2].unicode() - '0') * 10 + (text[i + 3].unicode() - '0');
        const int exponent = text[i + 1] == QLatin1Char('-') ? -magnitude : magnitude;
        return (exponent < kMinFixedExponent || exponent >= kMaxSignificant) &&
               exponent >= kMinExponent && exponent <= kMaxExponent;
    }
    if (!leadingZero)
        return intDigits + fracDigits <= kMaxSignificant;
    // "0.000ddd": the zeros after the point are part of the exponent.
    if (intDigits != 1 || fracDigits == 0)
        return false;
    int zeros = 0;
    while (text[fracStart + zeros] == QLatin1Char('0'))
        ++zeros;
    return zeros < -kMinFixedExponent && fracDigits - zeros <= kMaxSignificant;
}

bool StrokeTextForm::isWritten(const QString &text)
{
    const QChar *p = text.constData();
    const int n = text.size();
    if (!text.startsWith(QLatin1String("3#")))
        return false;
    int i = 2;
    int start = 0;
    int length = 0;
    // Red, green, blue, alpha, then the width, the only one that may be negative.
    const char separators[] = {',', ',', ',', '#', '#'};
    for (int k = 0; k < 5; ++k) {
        if (!field(p, n, i, QLatin1Char(separators[k]), &start, &length) ||
            !isInteger(p + start, length, k == 4))
            return false;
    }
    if (i == n)
        return false; // no points: the reader keeps the ones it had
    while (i < n) {
        if (!field(p, n, i, QLatin1Char(','), &start, &length) || !isNumber(p + start, length) ||
            !field(p, n, i, QLatin1Char(' '), &start, &length) || !isNumber(p + start, length))
            return false;
    }
    return true;
}
