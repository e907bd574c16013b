#ifndef IMAGEITEM_H
#define IMAGEITEM_H

#include "pages/PictureCache.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QGraphicsRectItem>
#include <QPixmap>
#include <QString>

// A picture on the page, kept as PNG bytes. Only the part drawn on the page is decoded, into
// the picture cache; the item holds no decoded pixels itself.
class ImageItem : public QGraphicsRectItem
{
public:
    // A part pushed out of the cache right after it came, or decoded again and again without
    // being drawn, is decoded at half the size, up to this many times: pictures shown that do
    // not fit the cache together then fit it, instead of pushing each other out forever.
    static constexpr int kMaxShrink = 4;
    static constexpr int kMaxDecodes = 3;
    static constexpr int kPushedOutMs = 5000;
    // Pictures of up to this many pixels decode in a few milliseconds: never on a worker.
    static constexpr qint64 kSmallPixels = 512 * 512;

    ImageItem();
    ~ImageItem() override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

    QString toString() const;
    void fromString(const QString &text);
    void setPixmap(const QPixmap &pixmap);

    // The part of the picture drawn: its rectangle, within the picture and the page, in item
    // coordinates (one picture pixel a unit).
    QRect drawnPart();
    int shrink() const { return m_nShrink; }

    QString m_strId;
    QByteArray m_imageData;

private:
    void setImageData(const QByteArray &data);
    // False when the picture is refused (format or size) before decoding.
    bool inspect();
    PictureCache::Key keyFor(const QRect &part, int shrink) const;
    void want(const PictureCache::Key &key);
    bool found(const PictureCache::Key &key, QImage *image);
    // The cached part for a paint that may go without it (the canvas, thumbnails); asks for
    // it when it is missing.
    PictureCache::Key lookUp(const QRect &part, QImage *image);

    bool m_bInspected = false;
    QSize m_pictureSize; // invalid when refused
    QByteArray m_digest;
    int m_nShrink = 0;
    PictureCache::Key m_shownKey;     // the part drawn last
    PictureCache::Key m_requestedKey; // the part wanted
    int m_nDecodes = 0;               // of it, since it was last found in the cache
    bool m_bArrived = false;          // found in the cache since it was last asked for
    QElapsedTimer m_arrivedAt;
};

#endif // IMAGEITEM_H
