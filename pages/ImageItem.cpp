#include "pages/ImageItem.h"

#include "pages/ItemText.h"
#include "pages/PictureData.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QUuid>

#include <cmath>

namespace {
// Renders at about this scale or more are of the page itself (export, preview), not thumbnails.
const qreal kWholeScale = 0.9;

qreal drawnScale(const QTransform &t)
{
    return qMax(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
}

QSize shrunk(const QSize &size, int shrink)
{
    const int d = 1 << shrink;
    return QSize(qMax(1, (size.width() + d - 1) / d), qMax(1, (size.height() + d - 1) / d));
}

qint64 bytesOf(const QSize &size)
{
    return qint64(size.width()) * size.height() * 4;
}
} // namespace

ImageItem::ImageItem() : m_strId(QUuid::createUuid().toString()) {}

ImageItem::~ImageItem()
{
    PictureCache::instance()->forget(this);
}

bool ImageItem::inspect()
{
    if (!m_bInspected) {
        m_bInspected = true;
        m_pictureSize = PictureData::pictureSize(m_imageData);
        if (m_pictureSize.isValid())
            m_digest = PictureCache::digestOf(m_imageData);
    }
    return m_pictureSize.isValid();
}

QRect ImageItem::drawnPart()
{
    if (!inspect())
        return QRect();
    QRect part = rect().toAlignedRect() & QRect(QPoint(0, 0), m_pictureSize);
    // What lies beyond the page is not drawn in any view of it.
    if (scene())
        part &= mapRectFromScene(scene()->sceneRect()).toAlignedRect();
    return part;
}

PictureCache::Key ImageItem::keyFor(const QRect &part, int shrink) const
{
    return PictureCache::Key{m_digest, part, shrunk(part.size(), shrink)};
}

void ImageItem::want(const PictureCache::Key &key)
{
    if (key == m_requestedKey)
        return;
    m_requestedKey = key;
    m_nDecodes = 0;
    m_bArrived = false;
}

bool ImageItem::found(const PictureCache::Key &key, QImage *image)
{
    if (!PictureCache::instance()->find(key, image))
        return false;
    if (!m_bArrived) {
        m_bArrived = true;
        m_nDecodes = 0;
        m_arrivedAt.start();
    }
    return true;
}

PictureCache::Key ImageItem::lookUp(const QRect &part, QImage *image)
{
    PictureCache *cache = PictureCache::instance();
    while (m_nShrink < kMaxShrink && bytesOf(shrunk(part.size(), m_nShrink)) > cache->byteLimit())
        ++m_nShrink;
    PictureCache::Key key = keyFor(part, m_nShrink);
    want(key);
    if (found(key, image))
        return key;
    if (!cache->isPending(key)) {
        // The pictures shown do not fit the cache together.
        const bool pushedOut =
            (m_bArrived && m_arrivedAt.elapsed() < kPushedOutMs) || m_nDecodes >= kMaxDecodes;
        if (pushedOut && m_nShrink < kMaxShrink) {
            key = keyFor(part, ++m_nShrink);
            want(key);
            if (found(key, image))
                return key;
        }
        if (pushedOut && m_nShrink == kMaxShrink && m_bArrived)
            return PictureCache::Key(); // asked for again later
        m_bArrived = false;
    }
    if (cache->request(key, m_imageData, this))
        ++m_nDecodes;
    // Until it is ready, the part drawn last, if it is still held (the item was moved).
    if (!m_shownKey.digest.isEmpty() && cache->find(m_shownKey, image))
        return m_shownKey;
    return PictureCache::Key();
}

void ImageItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *widget)
{
    if (m_imageData.isEmpty())
        return;
    const QRect part = drawnPart();
    if (part.isEmpty())
        return;
    QImage image;
    PictureCache::Key key;
    // A page rendered whole (export, preview) waits for its pictures, and small pictures are
    // decoded at once; the canvas and the thumbnails show large ones as they are decoded.
    const bool small = qint64(m_pictureSize.width()) * m_pictureSize.height() <= kSmallPixels;
    const bool whole = !widget && (PictureCache::instance()->inWholeRender() ||
                                   drawnScale(painter->worldTransform()) >= kWholeScale);
    if (small || whole) {
        key = keyFor(part, 0);
        // Held only when there is room: an export of many pages keeps the parts shown.
        image = PictureCache::instance()->decodeNow(key, m_imageData, small);
    } else {
        key = lookUp(part, &image);
        if (!image.isNull())
            m_shownKey = key;
    }
    if (image.isNull())
        return;
    const bool scaled = image.size() != key.clip.size();
    if (scaled) {
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    }
    painter->drawImage(QRectF(key.clip), image, QRectF(image.rect()));
    if (scaled)
        painter->restore();
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
    PictureCache::instance()->forget(this);
    m_imageData = data;
    m_bInspected = false;
    m_pictureSize = QSize();
    m_digest.clear();
    m_nShrink = 0;
    m_shownKey = PictureCache::Key();
    m_requestedKey = PictureCache::Key();
    m_nDecodes = 0;
    m_bArrived = false;
    update();
}
