#ifndef PICTUREDATA_H
#define PICTUREDATA_H

#include "pdf/PageImageLimit.h"

#include <QByteArray>
#include <QImage>

// Decoding of picture bytes from peers and page files, refusing oversized pictures.
class PictureData
{
public:
    // The page images the book renderer makes always decode again.
    static constexpr int kMaxSide = PageImageLimit::kMaxSide;
    static constexpr qint64 kMaxPixels = PageImageLimit::kMaxPixels;

    // Image file bytes (format detected); a null image when undecodable or too large. The
    // size is read from the header, so an oversized picture is refused before decoding.
    static QImage decode(const QByteArray &bytes);
    // The same from Base64 text.
    static QImage decodeBase64(const QByteArray &base64);
    // PNG file bytes of an image; empty on failure.
    static QByteArray encodePng(const QImage &image);
};

#endif // PICTUREDATA_H
