#ifndef STROKETEXTFORM_H
#define STROKETEXTFORM_H

#include <QChar>
#include <QString>

// Whether a stroke text is in the form ItemText::writeStroke gives, so that a stroke read
// from it writes the very same text: plain integers for colour and width, and every
// coordinate as ItemText::number writes the float it reads to.
class StrokeTextForm
{
public:
    // The shape of the text; the ranges (colour 0-255, a width that fits an int, finite
    // points) are the reader's to check.
    static bool isWritten(const QString &text);
    // A coordinate as ItemText::number writes it: format 'g', at most 6 significant digits.
    // A float keeps 6 significant digits, so such a text reads back to a float written the
    // same way.
    static bool isNumber(const QChar *text, int size);

private:
    static bool isInteger(const QChar *text, int size, bool negative);
};

#endif // STROKETEXTFORM_H
