#include "pages/PictureData.h"

#include <QBuffer>
#include <QDebug>
#include <QImageReader>

QImage PictureData::decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Pictures are raster images; a vector picture could pull in files named inside it.
    if (reader.format().startsWith("svg")) {
        qDebug() << "PictureData::decode refused format" << reader.format();
        return QImage();
    }
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide ||
        qint64(size.width()) * size.height() > kMaxPixels) {
        qDebug() << "PictureData::decode refused size" << size;
        return QImage();
    }
    QImage image;
    if (!reader.read(&image)) {
        qDebug() << "PictureData::decode failed:" << reader.errorString();
        return QImage();
    }
    return image;
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
