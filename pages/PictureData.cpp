#include "pages/PictureData.h"

#include <QBuffer>
#include <QDebug>
#include <QImageReader>

namespace {
// The size of the picture the reader is opened on; invalid when the picture is refused.
QSize acceptedSize(QImageReader &reader)
{
    // Pictures are raster images; a vector picture could pull in files named inside it.
    if (reader.format().startsWith("svg")) {
        qDebug() << "PictureData::decode refused format" << reader.format();
        return QSize();
    }
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > PictureData::kMaxSide ||
        size.height() > PictureData::kMaxSide ||
        qint64(size.width()) * size.height() > PictureData::kMaxPixels) {
        qDebug() << "PictureData::decode refused size" << size;
        return QSize();
    }
    return size;
}
} // namespace

QImage PictureData::decode(const QByteArray &bytes)
{
    return decodePart(bytes, QRect(), QSize());
}

QImage PictureData::decodePart(const QByteArray &bytes, const QRect &clip, const QSize &size)
{
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize whole = acceptedSize(reader);
    if (!whole.isValid())
        return QImage();
    if (!clip.isNull()) {
        const QRect part = clip & QRect(QPoint(0, 0), whole);
        if (part.isEmpty())
            return QImage();
        reader.setClipRect(part);
    }
    if (size.isValid())
        reader.setScaledSize(size);
    QImage image;
    if (!reader.read(&image)) {
        qDebug() << "PictureData::decode failed:" << reader.errorString();
        return QImage();
    }
    // Not every format scales a clipped part itself.
    if (size.isValid() && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QSize PictureData::pictureSize(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QSize();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return acceptedSize(reader);
}

QImage PictureData::decodeBase64(const QByteArray &base64)
{
    return decode(QByteArray::fromBase64(base64));
}

QByteArray PictureData::encodePng(const QImage &image)
{
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "png"))
        bytes.clear();
    return bytes;
}
