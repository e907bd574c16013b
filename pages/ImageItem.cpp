#include "pages/ImageItem.h"

#include "pages/ItemText.h"
#include "pages/PictureData.h"

#include <QPainter>
#include <QUuid>

ImageItem::ImageItem() : m_strId(QUuid::createUuid().toString()) {}

ImageItem::~ImageItem() = default;

void ImageItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_imageData.isEmpty())
        return;
    if (!m_bDecoded) {
        m_decoded = QPixmap::fromImage(PictureData::decode(m_imageData));
        m_bDecoded = true;
    }
    if (m_decoded.isNull())
        return;
    const QRectF r = rect();
    painter->drawPixmap(r, m_decoded, r);
}

QString ImageItem::toString() const
{
    const QRectF r = rect();
    return ItemText::writePicture(m_strId, pos(), r.width(), r.height(), m_imageData);
}

void ImageItem::fromString(const QString &text)
{
    ItemText::Picture picture;
    if (!ItemText::readPicture(text, picture))
        return;
    m_strId = picture.id;
    if (!picture.hasGeometry)
        return;
    setPos(picture.pos);
    setRect(0, 0, picture.width, picture.height);
    setImageData(picture.data);
}

void ImageItem::setPixmap(const QPixmap &pixmap)
{
    setRect(0, 0, pixmap.width(), pixmap.height());
    setImageData(PictureData::encodePng(pixmap.toImage()));
}

void ImageItem::setImageData(const QByteArray &data)
{
    m_imageData = data;
    m_decoded = QPixmap();
    m_bDecoded = false;
    update();
}
