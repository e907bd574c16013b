#ifndef BACKGROUNDITEM_H
#define BACKGROUNDITEM_H

#include <QGraphicsPixmapItem>

// The page's background picture. Painted much smaller than it is (a thumbnail), it is drawn
// from a copy scaled down smoothly, so thin lines do not fall between the pixels; the copy is
// kept for the next paint at that size.
class BackgroundItem : public QGraphicsPixmapItem
{
public:
    explicit BackgroundItem(const QPixmap &pixmap);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QPixmap m_reduced;
};

#endif // BACKGROUNDITEM_H
