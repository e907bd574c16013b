#ifndef ENOTEPAGELIMITS_H
#define ENOTEPAGELIMITS_H

#include <QSize>
#include <QString>

// Checks the e-note page counts and page sizes the teacher sends.
class ENotePageLimits
{
public:
    static constexpr int MaxPages = 1000;
    static constexpr int MaxSide = 16384;

    // A decimal page count from 0 to MaxPages.
    static bool parseCount(const QString &text, int *count);
    // "width,height", each from 1 to MaxSide.
    static bool parseSize(const QString &text, QSize *size);
    static bool validSize(int width, int height);
};

#endif // ENOTEPAGELIMITS_H
