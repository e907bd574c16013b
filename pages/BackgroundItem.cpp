#include "pages/BackgroundItem.h"

#include <QPainter>

namespace {
// Below this scale a plain paint samples too few of the picture's pixels.
const qreal kReducedBelow = 0.5;
} // namespace

BackgroundItem::BackgroundItem(const QPixmap &pixmap) : QGraphicsPixmapItem(pixmap) {}

void BackgroundItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                           QWidget *widget)
{
    const QTransform &transform = painter->worldTransform();
    const QPixmap &whole = pixmap();
    if (whole.isNull() || !transform.isScaling() || transform.isRotating() ||
        transform.m11() >= kReducedBelow || transform.m22() >= kReducedBelow) {
        QGraphicsPixmapItem::paint(painter, option, widget);
        return;
    }
    const QRectF target = transform.mapRect(QRectF(offset(), whole.size()));
    const QSize size = target.size().toSize().expandedTo(QSize(1, 1));
    if (m_reduced.size() != size)
        m_reduced = whole.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter->save();
    painter->setWorldTransform(QTransform());
    painter->drawPixmap(target.topLeft(), m_reduced);
    painter->restore();
}
