#ifndef BOOKPAGEWRITER_H
#define BOOKPAGEWRITER_H

#include <QByteArray>
#include <QImage>
#include <QString>

// Writes the page files of a book while it opens, from any thread: "page%1.crp" (index + 1)
// in the page folder, each a fresh page record holding the page image as a PNG that is
// compressed for speed.
class BookPageWriter
{
public:
    // PNG quality of the page images: zlib's fastest level.
    static constexpr int PngQuality = 80;

    static QString fileName(int index);
    // The path written, or empty when the file could not be written.
    static QString write(const QString &folder, int index, const QImage &image);
    // Bytes of the page file of a fresh record holding the image; empty on failure.
    static QByteArray pageFileBytes(const QImage &image);
};

#endif // BOOKPAGEWRITER_H
