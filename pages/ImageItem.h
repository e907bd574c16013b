#ifndef IMAGEITEM_H
#define IMAGEITEM_H

#include <QByteArray>
#include <QGraphicsRectItem>
#include <QPixmap>
#include <QString>

// A picture on the page, kept as PNG bytes; decoded once when first painted.
class ImageItem : public QGraphicsRectItem
{
public:
    ImageItem();
    ~ImageItem() override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

    QString toString() const;
    void fromString(const QString &text);
    void setPixmap(const QPixmap &pixmap);

    QString m_strId;
    QByteArray m_imageData;

private:
    void setImageData(const QByteArray &data);

    QPixmap m_decoded;
    bool m_bDecoded = false;
};

#endif // IMAGEITEM_H
