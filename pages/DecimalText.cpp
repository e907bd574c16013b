#include "pages/DecimalText.h"

#include <QString>

namespace {
// Powers of ten that doubles hold exactly.
const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
const int kMaxExactPower = 22;
const quint64 kMaxExactMantissa = quint64(1) << 53;
const int kMaxMantissaDigits = 19;

int digitAt(const QChar *text, int i)
{
    const ushort c = text[i].unicode();
    return c >= '0' && c <= '9' ? int(c - '0') : -1;
}
} // namespace

float DecimalText::toFloat(const QChar *text, int size)
{
    double value = 0;
    if (plainValue(text, size, &value))
        return float(value);
    return QString::fromRawData(text, size).toFloat();
}

// [-]digits[.digits][e[+|-]digits]: with at most 19 significant digits, a mantissa up to
// 2^53 and a power of ten up to 22, mantissa times (or over) the power is one correctly
// rounded operation, as Qt's reading is; Qt then narrows to float the same way.
bool DecimalText::plainValue(const QChar *text, int size, double *value)
{
    int i = 0;
    const bool negative = size > 0 && text[0] == QLatin1Char('-');
    if (negative)
        ++i;
    quint64 mantissa = 0;
    int digits = 0;
    int exponent = 0;
    // Reads a run of digits into the mantissa; false when there is none or too many.
    auto run = [&](bool fraction) {
        const int from = i;
        for (int d; i < size && (d = digitAt(text, i)) >= 0; ++i) {
            exponent -= fraction ? 1 : 0;
            if (mantissa == 0 && d == 0)
                continue;
            if (++digits > kMaxMantissaDigits)
                return false;
            mantissa = mantissa * 10 + quint64(d);
        }
        return i > from;
    };
    if (!run(false))
        return false;
    if (i < size && text[i] == QLatin1Char('.')) {
        ++i;
        if (!run(true))
            return false;
    }
    if (i < size && text[i] == QLatin1Char('e')) {
        ++i;
        bool below = false;
        if (i < size && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
            below = text[i] == QLatin1Char('-');
            ++i;
        }
        int power = 0;
        int powerDigits = 0;
        for (int d; i < size && (d = digitAt(text, i)) >= 0; ++i) {
            if (++powerDigits > 4)
                return false;
            power = power * 10 + d;
        }
        if (powerDigits == 0)
            return false;
        exponent += below ? -power : power;
    }
    if (i != size)
        return false;
    if (mantissa == 0) {
        *value = negative ? -0.0 : 0.0;
        return true;
    }
    if (mantissa > kMaxExactMantissa || exponent > kMaxExactPower || exponent < -kMaxExactPower)
        return false;
    const double m = double(mantissa);
    const double v = exponent >= 0 ? m * kPowers[exponent] : m / kPowers[-exponent];
    *value = negative ? -v : v;
    return true;
}
