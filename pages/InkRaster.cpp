#include "pages/InkRaster.h"

#include "pages/DisplayPage.h"
#include "pages/ImageItem.h"
#include "pages/ItemTag.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"

#include <QGraphicsPixmapItem>

#include <algorithm>
#include <cmath>

namespace {
// Areas of more than this share of the page are searched in the scene's whole list: sorting it
// is much quicker than searching its index.
const qreal kSearchShare = 0.125;

QSize deviceSize(const QRect &rect, qreal dpr)
{
    return QSize(int(std::ceil(rect.width() * dpr)), int(std::ceil(rect.height() * dpr)));
}

// The whole page and what the viewport shows around it; for a raster too large, the visible
// part and half a viewport around it.
QRect extentFor(const InkRaster::View &view)
{
    const QRectF &page = view.sceneRect;
    const qreal s = view.scale;
    const QRect visible = InkRaster::visibleRect(view);
    QRect extent =
        QRectF(page.x() * s, page.y() * s, page.width() * s, page.height() * s).toAlignedRect() |
        visible;
    const auto bytes = [&view](const QRect &rect) {
        const QSize size = deviceSize(rect, view.dpr);
        return qint64(size.width()) * size.height() * 4;
    };
    if (bytes(extent) > InkRaster::MaxBytes) {
        const int dx = visible.width() / 2;
        const int dy = visible.height() / 2;
        extent &= visible.adjusted(-dx, -dy, dx, dy);
        if (bytes(extent) > InkRaster::MaxBytes)
            extent = visible;
    }
    return extent;
}
} // namespace

void InkRaster::Overlay::add(const QRectF &rect)
{
    rects.append(rect);
    bounds |= rect;
}

bool InkRaster::Overlay::meets(const QRectF &rect) const
{
    if (rects.isEmpty() || !bounds.intersects(rect))
        return false;
    for (const QRectF &r : rects) {
        if (r.intersects(rect))
            return true;
    }
    return false;
}

bool InkRaster::holdsKind(const QGraphicsItem *item)
{
    // An item with children is painted with them, which the raster must not hold.
    if (item->parentItem() || !item->childItems().isEmpty())
        return false;
    return dynamic_cast<const PolylineItem *>(item) || dynamic_cast<const ImageItem *>(item) ||
           dynamic_cast<const TextItem *>(item) || dynamic_cast<const QGraphicsPixmapItem *>(item);
}

QRectF InkRaster::searchRect(const QGraphicsItem *item)
{
    QRectF rect = item->sceneBoundingRect();
    if (rect.width() == 0)
        rect.setWidth(0.00001);
    if (rect.height() == 0)
        rect.setHeight(0.00001);
    return rect;
}

bool InkRaster::sameScale(const View &a, const View &b)
{
    return a.scale == b.scale && a.dpr == b.dpr && a.sceneRect == b.sceneRect && a.hints == b.hints;
}

QRect InkRaster::visibleRect(const View &view)
{
    return QRect(view.scroll, view.viewport);
}

QRectF InkRaster::toViewport(const View &view, const QRectF &sceneRect)
{
    const qreal s = view.scale;
    return QRectF(sceneRect.x() * s - view.scroll.x(), sceneRect.y() * s - view.scroll.y(),
                  sceneRect.width() * s, sceneRect.height() * s);
}

QList<QGraphicsItem *> InkRaster::itemsIn(DisplayPage *scene, const QRectF &sceneArea)
{
    const QRectF page = scene->sceneRect();
    if (sceneArea.width() * sceneArea.height() < kSearchShare * page.width() * page.height())
        return scene->items(sceneArea, Qt::IntersectsItemBoundingRect, Qt::AscendingOrder);
    QList<QGraphicsItem *> found = scene->items(Qt::AscendingOrder);
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&sceneArea](const QGraphicsItem *item) {
                                   return !item->isVisible() ||
                                          qFuzzyIsNull(item->effectiveOpacity()) ||
                                          (item->flags() & QGraphicsItem::ItemHasNoContents) ||
                                          !searchRect(item).intersects(sceneArea);
                               }),
                found.end());
    return found;
}

bool InkRaster::make(const View &view)
{
    m_view = view;
    m_extent = extentFor(view);
    m_records.clear();
    const QSize size = deviceSize(m_extent, view.dpr);
    if (m_pixmap.size() != size || m_pixmap.devicePixelRatio() != view.dpr) {
        m_pixmap = QPixmap();
        m_pixmap = QPixmap(size);
        m_pixmap.setDevicePixelRatio(view.dpr);
    }
    m_bValid = !m_pixmap.isNull();
    return m_bValid;
}

void InkRaster::drop()
{
    m_bValid = false;
    m_records.clear();
}

bool InkRaster::covers(const View &view) const
{
    return m_bValid && sameScale(m_view, view) && m_extent.contains(visibleRect(view));
}

QTransform InkRaster::transform() const
{
    const qreal s = m_view.scale;
    return QTransform(s, 0, 0, s, -m_extent.x(), -m_extent.y());
}

QRectF InkRaster::sceneArea() const
{
    return transform().inverted().mapRect(QRectF(QPointF(0, 0), QSizeF(m_extent.size())));
}

QRect InkRaster::toRaster(const QRectF &sceneRect) const
{
    return transform().mapRect(sceneRect).toAlignedRect().adjusted(-Edge, -Edge, Edge, Edge);
}

// Painted as the canvas paints: with its font and pen, scene coordinates mapped to the raster.
void InkRaster::begin(QPainter &painter, const QRegion &clip)
{
    painter.begin(&m_pixmap);
    if (!clip.isEmpty())
        painter.setClipRegion(clip);
    painter.setFont(m_view.font);
    painter.setPen(m_view.pen);
    painter.setWorldTransform(transform());
}

// The canvas's background, painted as its cached background is: without antialiasing.
void InkRaster::paintBackground(QPainter &painter, const QRegion &area) const
{
    painter.save();
    painter.setWorldTransform(QTransform());
    painter.setClipRegion(area, Qt::IntersectClip);
    painter.setWorldTransform(transform());
    painter.setRenderHints(painter.renderHints(), false);
    m_source->background(&painter, transform().inverted().mapRect(QRectF(area.boundingRect())));
    painter.restore();
}

QVector<InkRaster::Member> InkRaster::membersIn(const QRectF &sceneArea) const
{
    const QList<QGraphicsItem *> items = itemsIn(m_source->scene, sceneArea);
    QVector<Member> members;
    members.reserve(items.size());
    Overlay over;
    for (QGraphicsItem *item : items) {
        const QRectF rect = item->sceneBoundingRect();
        if (holdsKind(item) && !over.meets(rect))
            members.append(Member{item, ItemTag::of(item)});
        else
            over.add(rect);
    }
    return members;
}

void InkRaster::paintItems(QPainter &painter, const QVector<QGraphicsItem *> &items) const
{
    painter.setRenderHints(painter.renderHints(), false);
    painter.setRenderHints(m_view.hints, true);
    m_source->scene->paintItems(&painter, items, m_source->widget);
}

void InkRaster::paintMembers(QPainter &painter, const QVector<Member> &members, int from, int to)
{
    QVector<QGraphicsItem *> items;
    items.reserve(to - from);
    for (int i = from; i < to; ++i) {
        QGraphicsItem *item = members.at(i).item;
        items.append(item);
        m_records.insert(members.at(i).tag,
                         Record{item->sceneBoundingRect(), !!dynamic_cast<ImageItem *>(item)});
    }
    paintItems(painter, items);
}

void InkRaster::paintAll()
{
    QPainter painter;
    begin(painter);
    paintBackground(painter, QRect(QPoint(0, 0), m_extent.size()));
    const QVector<Member> members = membersIn(sceneArea());
    paintMembers(painter, members, 0, members.size());
}

void InkRaster::repaintArea(const QRegion &area)
{
    const QRegion inside = area & QRect(QPoint(0, 0), m_extent.size());
    if (inside.isEmpty())
        return;
    QPainter painter;
    begin(painter, inside);
    paintBackground(painter, inside);
    const QList<QGraphicsItem *> found =
        itemsIn(m_source->scene, transform().inverted().mapRect(QRectF(inside.boundingRect())));
    QVector<QGraphicsItem *> held;
    for (QGraphicsItem *item : found) {
        if (holdsKind(item) && m_records.contains(ItemTag::of(item)))
            held.append(item);
    }
    paintItems(painter, held);
}

void InkRaster::paintOnTop(const QVector<QGraphicsItem *> &items)
{
    if (items.isEmpty())
        return;
    QPainter painter;
    begin(painter);
    paintItems(painter, items);
}

void InkRaster::blit(QPainter *painter, const QRegion &region, const View &view) const
{
    const QPoint offset = m_extent.topLeft() - view.scroll;
    const qreal dpr = m_pixmap.devicePixelRatio();
    painter->save();
    painter->setWorldTransform(QTransform());
    for (const QRect &r : region) {
        const QRectF source(QPointF(r.topLeft() - offset) * dpr, QSizeF(r.size()) * dpr);
        painter->drawPixmap(QRectF(r), m_pixmap, source);
    }
    painter->restore();
}
