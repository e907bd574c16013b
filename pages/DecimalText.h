#ifndef DECIMALTEXT_H
#define DECIMALTEXT_H

#include <QChar>

// Numbers of item texts read quickly: the same value as QStringRef::toFloat, computed
// directly for the plain forms the texts are written in ("-12.5", "3e-05") and left to Qt
// for every other form.
class DecimalText
{
public:
    static float toFloat(const QChar *text, int size);

private:
    // False when the text is not of a plain form whose value is exact in one step.
    static bool plainValue(const QChar *text, int size, double *value);
};

#endif // DECIMALTEXT_H
