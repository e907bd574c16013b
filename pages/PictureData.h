#ifndef PICTUREDATA_H
#define PICTUREDATA_H

#include "pdf/PageImageLimit.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

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
    // Only the part clip of the picture (all of it when clip is null), scaled to size when
    // size is valid; refuses what decode refuses, by the size of the whole picture.
    static QImage decodePart(const QByteArray &bytes, const QRect &clip, const QSize &size);
    // The size the picture announces; invalid when decode would refuse it for its format or
    // size. Reads only the header.
    static QSize pictureSize(const QByteArray &bytes);
    // The same from Base64 text.
    static QImage decodeBase64(const QByteArray &base64);
    // PNG file bytes of an image; empty on failure.
    static QByteArray encodePng(const QImage &image);
};

#endif // PICTUREDATA_H
