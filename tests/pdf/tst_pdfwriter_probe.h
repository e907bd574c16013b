#ifndef TST_PDFWRITER_PROBE_H
#define TST_PDFWRITER_PROBE_H

// Reads a written PDF back with the Poppler core classes, for the export tests.
#include "pdf/PopplerGlobals.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <goo/GooString.h>
#include <splash/SplashBitmap.h>

#include <QColor>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

#include <memory>

namespace pdfprobe {
struct PdfPage
{
    QSizeF size;
    QImage image; // rendered at 72 dpi: one pixel per point
};

// Opens a PDF with the Poppler core classes and renders each page.
inline QList<PdfPage> readPdf(const QString &path)
{
    QList<PdfPage> pages;
    PopplerGlobals::ensure();
    auto doc = std::make_unique<PDFDoc>(std::make_unique<GooString>(path.toUtf8().constData()));
    if (!doc->isOk())
        return pages;
    SplashColor paper = {255, 255, 255};
    SplashOutputDev out(splashModeRGB8, 4, false, paper);
    out.startDoc(doc.get());
    for (int i = 1; i <= doc->getNumPages(); ++i) {
        PdfPage page;
        page.size = QSizeF(doc->getPageMediaWidth(i), doc->getPageMediaHeight(i));
        doc->displayPage(&out, i, 72, 72, 0, false, false, false);
        SplashBitmap *bitmap = out.getBitmap();
        QImage image(bitmap->getWidth(), bitmap->getHeight(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                SplashColor pixel;
                bitmap->getPixel(x, y, pixel);
                image.setPixel(x, y, qRgb(pixel[0], pixel[1], pixel[2]));
            }
        }
        page.image = image;
        pages << page;
    }
    return pages;
}

inline bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 12 && qAbs(a.green() - b.green()) < 12 &&
           qAbs(a.blue() - b.blue()) < 12;
}
} // namespace pdfprobe

#endif // TST_PDFWRITER_PROBE_H
