#ifndef PICTUREDATA_H
#define PICTUREDATA_H

#include <QByteArray>
#include <QImage>

// Decoding of picture bytes from peers and page files, refusing oversized pictures.
class PictureData
{
public:
    static constexpr int kMaxSide = 16384;

    // Image file bytes (format detected); a null image when undecodable or too large.
    static QImage decode(const QByteArray &bytes);
    // The same from Base64 text.
    static QImage decodeBase64(const QByteArray &base64);
    // PNG file bytes of an image; empty on failure.
    static QByteArray encodePng(const QImage &image);
};

#endif // PICTUREDATA_H
