#ifndef PACKEDTHUMBNAIL_H
#define PACKEDTHUMBNAIL_H

#include <QByteArray>
#include <QImage>

// The form a thumbnail is kept in while its book is open: PNG, compressed for speed, about a
// tenth of the bytes of its pixels for a page of text, and the same pixels when unpacked.
class PackedThumbnail
{
public:
    // Empty for a null image.
    static QByteArray pack(const QImage &image);
    // Null for empty bytes.
    static QImage unpack(const QByteArray &packed);

private:
    PackedThumbnail() = delete;
};

#endif // PACKEDTHUMBNAIL_H
