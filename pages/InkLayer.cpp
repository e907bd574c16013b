#include "pages/InkLayer.h"

#include "pages/DisplayPage.h"
#include "pages/ImageItem.h"
#include "pages/ItemTag.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"

#include <QElapsedTimer>
#include <QGraphicsPixmapItem>
#include <QSet>
#include <QWidget>

#include <algorithm>

#include <cmath>

namespace {
// Painted around an item's bounding rectangle as well: its antialiased edge.
const int kEdge = 2;
// Members painted between two looks at the clock while a raster is made in slices.
const int kSliceStep = 8;
// Rows of background painted between two looks at the clock.
const int kBackgroundBand = 128;
// Areas of more than this share of the page are searched in the scene's whole list.
const qreal kSearchShare = 0.125;
// More new items than this in one paint (a page's worth from the teacher): the raster is made
// afresh, in one pass over the scene, rather than item by item.
const int kMaxNewItems = 32;

bool meets(const QVector<QRectF> &rects, const QRectF &bounds, const QRectF &rect)
{
    if (rects.isEmpty() || !bounds.intersects(rect))
        return false;
    for (const QRectF &r : rects) {
        if (r.intersects(rect))
            return true;
    }
    return false;
}

bool meets(const QRegion &region, const QRectF &rect)
{
    if (!QRectF(region.boundingRect()).intersects(rect))
        return false;
    for (const QRect &r : region) {
        if (QRectF(r).intersects(rect))
            return true;
    }
    return false;
}

// The rectangles of items the raster does not hold, seen so far bottom first.
struct Overlay
{
    QVector<QRectF> rects;
    QRectF bounds;

    void add(const QRectF &rect)
    {
        rects.append(rect);
        bounds |= rect;
    }
    bool meets(const QRectF &rect) const { return ::meets(rects, bounds, rect); }
};
} // namespace

InkLayer::InkLayer(DisplayPage *scene, PaintBackground background,
                   std::function<void(const QRegion &)> repaint)
    : m_scene(scene), m_widget(std::make_unique<QWidget>()), m_background(std::move(background)),
      m_repaint(std::move(repaint))
{
    m_buildTimer.setSingleShot(true);
    m_buildTimer.setInterval(0);
    QObject::connect(&m_buildTimer, &QTimer::timeout, [this] { buildSlice(); });
    m_pendingTimer.setSingleShot(true);
    m_pendingTimer.setInterval(0);
    QObject::connect(&m_pendingTimer, &QTimer::timeout, [this] { pendingSlice(); });
}

InkLayer::~InkLayer() = default;

bool InkLayer::holdsKind(const QGraphicsItem *item)
{
    // An item with children is painted with them, which the raster must not hold.
    if (item->parentItem() || !item->childItems().isEmpty())
        return false;
    return dynamic_cast<const PolylineItem *>(item) || dynamic_cast<const ImageItem *>(item) ||
           dynamic_cast<const TextItem *>(item) || dynamic_cast<const QGraphicsPixmapItem *>(item);
}

QRectF InkLayer::searchRect(const QGraphicsItem *item)
{
    QRectF rect = item->sceneBoundingRect();
    if (rect.width() == 0)
        rect.setWidth(0.00001);
    if (rect.height() == 0)
        rect.setHeight(0.00001);
    return rect;
}

bool InkLayer::sameRaster(const View &a, const View &b)
{
    return a.scale == b.scale && a.dpr == b.dpr && a.sceneRect == b.sceneRect && a.hints == b.hints;
}

QRect InkLayer::visibleRect(const View &view)
{
    return QRect(view.scroll, view.viewport);
}

// The whole page and what the viewport shows around it; for a raster too large, the visible
// part and half a viewport around it.
QRect InkLayer::extentFor(const View &view)
{
    const QRectF &page = view.sceneRect;
    const qreal s = view.scale;
    const QRect visible = visibleRect(view);
    QRect extent =
        QRectF(page.x() * s, page.y() * s, page.width() * s, page.height() * s).toAlignedRect() |
        visible;
    const auto bytes = [&view](const QRect &rect) {
        return qint64(std::ceil(rect.width() * view.dpr)) *
               qint64(std::ceil(rect.height() * view.dpr)) * 4;
    };
    if (bytes(extent) > MaxBytes) {
        const int dx = visible.width() / 2;
        const int dy = visible.height() / 2;
        extent &= visible.adjusted(-dx, -dy, dx, dy);
        if (bytes(extent) > MaxBytes)
            extent = visible;
    }
    return extent;
}

QTransform InkLayer::transformOf(const Raster &raster)
{
    const qreal s = raster.view.scale;
    return QTransform(s, 0, 0, s, -raster.extent.x(), -raster.extent.y());
}

QRectF InkLayer::toViewport(const View &view, const QRectF &sceneRect)
{
    const qreal s = view.scale;
    return QRectF(sceneRect.x() * s - view.scroll.x(), sceneRect.y() * s - view.scroll.y(),
                  sceneRect.width() * s, sceneRect.height() * s);
}

QRect InkLayer::toRaster(const Raster &raster, const QRectF &sceneRect)
{
    return transformOf(raster).mapRect(sceneRect).toAlignedRect().adjusted(-kEdge, -kEdge, kEdge,
                                                                           kEdge);
}

bool InkLayer::makeRaster(Raster &raster, const View &view) const
{
    raster.view = view;
    raster.extent = extentFor(view);
    raster.records.clear();
    const QSize size(int(std::ceil(raster.extent.width() * view.dpr)),
                     int(std::ceil(raster.extent.height() * view.dpr)));
    if (raster.pixmap.size() != size || raster.pixmap.devicePixelRatio() != view.dpr) {
        raster.pixmap = QPixmap();
        raster.pixmap = QPixmap(size);
        raster.pixmap.setDevicePixelRatio(view.dpr);
    }
    raster.valid = !raster.pixmap.isNull();
    return raster.valid;
}

// Painted as the canvas paints: with its font and pen, scene coordinates mapped to the raster;
// only within the clip (in raster coordinates) when there is one.
void InkLayer::beginPainter(QPainter &painter, Raster &raster, const QRegion &clip) const
{
    painter.begin(&raster.pixmap);
    if (!clip.isEmpty())
        painter.setClipRegion(clip);
    painter.setFont(raster.view.font);
    painter.setPen(raster.view.pen);
    painter.setWorldTransform(transformOf(raster));
}

// The canvas's background, painted as its cached background is: without antialiasing.
void InkLayer::paintBackground(QPainter &painter, const Raster &raster, const QRegion &area) const
{
    painter.save();
    painter.setWorldTransform(QTransform());
    painter.setClipRegion(area, Qt::IntersectClip);
    painter.setWorldTransform(transformOf(raster));
    painter.setRenderHints(painter.renderHints(), false);
    const QRectF scene = transformOf(raster).inverted().mapRect(QRectF(area.boundingRect()));
    m_background(&painter, scene);
    painter.restore();
}

// As the scene's own search finds them, bottom first: the visible items whose bounding
// rectangle meets the area. For a large area, sorting the scene's list is much quicker than
// searching its index.
QList<QGraphicsItem *> InkLayer::itemsIn(const QRectF &sceneArea) const
{
    const QRectF page = m_scene->sceneRect();
    if (sceneArea.width() * sceneArea.height() < kSearchShare * page.width() * page.height())
        return m_scene->items(sceneArea, Qt::IntersectsItemBoundingRect, Qt::AscendingOrder);
    QList<QGraphicsItem *> found = m_scene->items(Qt::AscendingOrder);
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

QVector<InkLayer::Member> InkLayer::membersIn(const QRectF &sceneArea) const
{
    const QList<QGraphicsItem *> items = itemsIn(sceneArea);
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

void InkLayer::paintMembers(QPainter &painter, Raster &raster, const QVector<Member> &members,
                            int from, int to) const
{
    QVector<QGraphicsItem *> items;
    items.reserve(to - from);
    for (int i = from; i < to; ++i) {
        QGraphicsItem *item = members.at(i).item;
        items.append(item);
        raster.records.insert(members.at(i).tag,
                              Record{item->sceneBoundingRect(), !!dynamic_cast<ImageItem *>(item)});
    }
    painter.setRenderHints(painter.renderHints(), false);
    painter.setRenderHints(raster.view.hints, true);
    m_scene->paintItems(&painter, items, m_widget.get());
}

void InkLayer::buildAll(const View &view)
{
    m_buildTimer.stop();
    m_build = Build();
    m_bPicturesChanged = false;
    m_pending.clear();
    if (!makeRaster(m_front, view))
        return;
    QPainter painter;
    beginPainter(painter, m_front);
    const QRect all(QPoint(0, 0), m_front.extent.size());
    paintBackground(painter, m_front, all);
    const QVector<Member> members = membersIn(transformOf(m_front).inverted().mapRect(QRectF(all)));
    paintMembers(painter, m_front, members, 0, members.size());
}

// Paints the area of the raster again with the items it holds there.
void InkLayer::repaintArea(const QRegion &area)
{
    const QRegion inside = area & QRect(QPoint(0, 0), m_front.extent.size());
    if (inside.isEmpty())
        return;
    QPainter painter;
    beginPainter(painter, m_front, inside);
    paintBackground(painter, m_front, inside);
    const QRectF scene = transformOf(m_front).inverted().mapRect(QRectF(inside.boundingRect()));
    const QList<QGraphicsItem *> found = itemsIn(scene);
    QVector<QGraphicsItem *> held;
    for (QGraphicsItem *item : found) {
        if (holdsKind(item) && m_front.records.contains(ItemTag::of(item)))
            held.append(item);
    }
    painter.setRenderHints(painter.renderHints(), false);
    painter.setRenderHints(m_front.view.hints, true);
    m_scene->paintItems(&painter, held, m_widget.get());
}

void InkLayer::startBuild(const View &view)
{
    m_build = Build();
    if (!makeRaster(m_build.raster, view))
        return;
    m_build.active = true;
    m_build.restart = true;
    m_buildTimer.start();
}

void InkLayer::buildSlice()
{
    if (!m_build.active)
        return;
    QElapsedTimer clock;
    clock.start();
    Raster &raster = m_build.raster;
    const QRect all(QPoint(0, 0), raster.extent.size());
    QPainter painter;
    beginPainter(painter, raster);
    if (m_build.restart) {
        m_build.restart = false;
        m_build.painted.clear();
        m_build.backgroundRows = 0;
        raster.records.clear();
    }
    // The background first, in bands: the first paint of a new raster's memory is slow.
    while (m_build.backgroundRows < all.height()) {
        paintBackground(painter, raster,
                        QRect(0, m_build.backgroundRows, all.width(), kBackgroundBand) & all);
        m_build.backgroundRows += kBackgroundBand;
        if (clock.elapsed() >= SliceMs) {
            m_buildTimer.start();
            return;
        }
    }
    // The members found for the last slice stand while the scene holds the same items: all of
    // them still alive.
    const QList<QGraphicsItem *> listed = m_scene->items(Qt::AscendingOrder);
    if (listed != m_build.listed) {
        m_build.listed = listed;
        m_build.members = membersIn(transformOf(raster).inverted().mapRect(QRectF(all)));
    }
    const QVector<Member> &members = m_build.members;
    // The slices before painted the bottom of the page as it still is, or it begins again.
    QVector<quint64> &painted = m_build.painted;
    bool same = members.size() >= painted.size();
    for (int i = 0; same && i < painted.size(); ++i)
        same = members.at(i).tag == painted.at(i);
    // Or an item came at the address of one gone since the members were found.
    for (int i = painted.size(); same && i < members.size(); ++i)
        same = ItemTag::of(members.at(i).item) == members.at(i).tag;
    if (!same) {
        m_build.restart = true;
        m_build.listed.clear();
        m_buildTimer.start();
        return;
    }
    int next = painted.size();
    while (next < members.size()) {
        const int end = qMin(next + kSliceStep, members.size());
        paintMembers(painter, raster, members, next, end);
        for (int i = next; i < end; ++i)
            painted.append(members.at(i).tag);
        next = end;
        if (clock.elapsed() >= SliceMs)
            break;
    }
    painter.end();
    if (next < members.size()) {
        m_buildTimer.start();
        return;
    }
    m_front = std::move(raster);
    m_build = Build();
    m_repaint(QRegion());
}

QVector<int> InkLayer::standIn(QPainter *painter, const QRegion &, const View &view,
                               QGraphicsItem *const items[], int count)
{
    m_bStandingIn = true;
    const qreal k = view.scale / m_front.view.scale;
    const QPointF origin = QPointF(m_front.extent.topLeft()) * k - QPointF(view.scroll);
    painter->save();
    painter->setWorldTransform(QTransform(k, 0, 0, k, origin.x(), origin.y()));
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawPixmap(QPointF(0, 0), m_front.pixmap);
    painter->restore();
    QVector<int> over;
    for (int i = 0; i < count; ++i) {
        QGraphicsItem *item = items[i];
        if (!item)
            continue;
        const auto held = m_front.records.constFind(ItemTag::of(item));
        if (!holdsKind(item) || held == m_front.records.constEnd() ||
            held->rect != item->sceneBoundingRect())
            over.append(i);
    }
    return over;
}

// The found items that would join the raster, up to one more than kMaxNewItems.
int InkLayer::newItems(const QRegion &region, const View &view, QGraphicsItem *const items[],
                       int count) const
{
    int found = 0;
    Overlay overlay;
    for (int i = 0; i < count && found <= kMaxNewItems; ++i) {
        QGraphicsItem *item = items[i];
        if (!item)
            continue;
        const QRectF shown = toViewport(view, item->sceneBoundingRect());
        if (!meets(region, shown))
            continue;
        if (!holdsKind(item) || overlay.meets(shown))
            overlay.add(shown);
        else if (!m_front.records.contains(ItemTag::of(item)))
            ++found;
    }
    return found;
}

InkLayer::Changes InkLayer::update(const QRegion &region, const View &view,
                                   QGraphicsItem *const items[], int count)
{
    Changes changes;
    Overlay overlay; // in viewport coordinates
    QSet<quint64> seen;
    seen.reserve(count);
    auto &records = m_front.records;
    for (int i = 0; i < count; ++i) {
        QGraphicsItem *item = items[i];
        if (!item)
            continue;
        const QRectF rect = item->sceneBoundingRect();
        const QRectF shown = toViewport(view, rect);
        // The view hands over every item when the whole page is in sight, even those beyond
        // the viewport: nothing of them is painted.
        if (!meets(region, shown))
            continue;
        if (!holdsKind(item)) {
            changes.over.append(i);
            overlay.add(shown);
            continue;
        }
        const quint64 tag = ItemTag::of(item);
        seen.insert(tag);
        const auto held = records.find(tag);
        if (held != records.end()) {
            if (overlay.meets(shown)) {
                // Something it does not hold came in under it: painted over the raster now.
                changes.damage += toRaster(m_front, held->rect);
                changes.damage += toRaster(m_front, rect);
                records.erase(held);
                changes.over.append(i);
                overlay.add(shown);
            } else if (held->rect != rect) {
                changes.damage += toRaster(m_front, held->rect);
                changes.damage += toRaster(m_front, rect);
                held->rect = rect;
            }
            continue;
        }
        // A new item joins when everything under it is held; on top of those it is painted
        // over the raster, and among them the area is painted again.
        bool joins = !overlay.meets(shown);
        bool top = true;
        if (joins) {
            const QList<QGraphicsItem *> around =
                m_scene->items(rect, Qt::IntersectsItemBoundingRect, Qt::AscendingOrder);
            bool below = true;
            for (QGraphicsItem *other : around) {
                if (other == item) {
                    below = false;
                    continue;
                }
                const bool isHeld = holdsKind(other) && records.contains(ItemTag::of(other));
                if (below && !isHeld) {
                    joins = false;
                    break;
                }
                if (!below && isHeld)
                    top = false;
            }
        }
        if (!joins) {
            changes.over.append(i);
            overlay.add(shown);
            continue;
        }
        records.insert(tag, Record{rect, !!dynamic_cast<ImageItem *>(item)});
        if (top)
            changes.onTop.append(Member{item, tag});
        else
            changes.damage += toRaster(m_front, rect);
    }
    // Items held that are gone from the region, or hidden.
    for (auto it = records.begin(); it != records.end();) {
        if (!seen.contains(it.key()) && meets(region, toViewport(view, it->rect))) {
            changes.damage += toRaster(m_front, it->rect);
            it = records.erase(it);
        } else {
            ++it;
        }
    }
    if (m_bPicturesChanged) {
        m_bPicturesChanged = false;
        for (const Record &record : qAsConst(records)) {
            if (record.picture)
                changes.damage += toRaster(m_front, record.rect);
        }
    }
    // A new item meeting an area painted again is painted with it, whole.
    for (bool grew = !changes.damage.isEmpty(); grew;) {
        grew = false;
        for (int i = 0; i < changes.onTop.size(); ++i) {
            const QRect rect = toRaster(m_front, changes.onTop.at(i).item->sceneBoundingRect());
            if (changes.damage.intersects(rect)) {
                changes.damage += rect;
                changes.onTop.remove(i--);
                grew = true;
            }
        }
    }
    return changes;
}

void InkLayer::blit(QPainter *painter, const QRegion &region, const View &view) const
{
    const QPoint offset = m_front.extent.topLeft() - view.scroll;
    const qreal dpr = m_front.pixmap.devicePixelRatio();
    painter->save();
    painter->setWorldTransform(QTransform());
    for (const QRect &r : region) {
        const QRectF source(QPointF(r.topLeft() - offset) * dpr, QSizeF(r.size()) * dpr);
        painter->drawPixmap(QRectF(r), m_front.pixmap, source);
    }
    painter->restore();
}

void InkLayer::paintOnTop(const QVector<QGraphicsItem *> &items)
{
    if (items.isEmpty())
        return;
    QPainter painter;
    beginPainter(painter, m_front);
    painter.setRenderHints(painter.renderHints(), false);
    painter.setRenderHints(m_front.view.hints, true);
    m_scene->paintItems(&painter, items, m_widget.get());
}

QRegion InkLayer::pendingArea(const View &view) const
{
    QRegion area;
    for (const Pending &pending : m_pending)
        area +=
            toViewport(view, pending.rect).toAlignedRect().adjusted(-kEdge, -kEdge, kEdge, kEdge);
    return area;
}

// Paints the items waiting, bottom first, for about the given time; true when none is left.
bool InkLayer::paintPending(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_pending.isEmpty()) {
        const Pending pending = m_pending.takeFirst();
        const QList<QGraphicsItem *> found =
            m_scene->items(pending.rect, Qt::IntersectsItemBoundingRect, Qt::AscendingOrder);
        for (QGraphicsItem *item : found) {
            if (ItemTag::of(item) == pending.tag) {
                paintOnTop({item});
                break;
            }
        }
        if (ms >= 0 && clock.elapsed() >= ms)
            break;
    }
    return m_pending.isEmpty();
}

void InkLayer::pendingSlice()
{
    const QRegion area = pendingArea(m_composedView);
    if (!paintPending(SliceMs)) {
        m_pendingTimer.start();
        return;
    }
    m_repaint(area);
}

bool InkLayer::prepareComposed(const View &view)
{
    const QSize size(int(std::ceil(view.viewport.width() * view.dpr)),
                     int(std::ceil(view.viewport.height() * view.dpr)));
    if (m_composed.size() != size || m_composed.devicePixelRatio() != view.dpr) {
        m_composed = QPixmap(size);
        m_composed.setDevicePixelRatio(view.dpr);
        m_composedValid = QRegion();
    }
    if (!sameRaster(m_composedView, view) || m_composedView.scroll != view.scroll)
        m_composedValid = QRegion();
    m_composedView = view;
    return !m_composed.isNull();
}

void InkLayer::compose(QPainter *painter, const QRegion &region, const View &view,
                       const QVector<int> &over, const PaintOver &paintOver)
{
    QPainter composed(&m_composed);
    composed.setClipRegion(region);
    // Where new items wait to be painted into the raster, the screen goes on showing what it
    // showed: the live ink they take the place of.
    blit(&composed, region - pendingArea(view), view);
    composed.setFont(view.font);
    composed.setPen(view.pen);
    composed.setRenderHints(composed.renderHints(), false);
    composed.setRenderHints(view.hints, true);
    composed.setWorldTransform(painter->worldTransform());
    paintOver(&composed, over);
    composed.end();
    painter->save();
    painter->setWorldTransform(QTransform());
    const qreal dpr = m_composed.devicePixelRatio();
    for (const QRect &r : region)
        painter->drawPixmap(QRectF(r), m_composed,
                            QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    painter->restore();
    m_composedValid += region;
    m_bComposed = true;
}

void InkLayer::paint(QPainter *painter, const QRegion &region, const View &view,
                     QGraphicsItem *const items[], int count, const PaintOver &paintOver)
{
    QElapsedTimer clock;
    clock.start();
    m_bStandingIn = false;
    const bool sameView = m_front.valid && sameRaster(m_front.view, view);
    const bool covers = sameView && m_front.extent.contains(visibleRect(view));
    // Another page, or the same at new device pixels: painted at once.
    const bool standInFits = m_front.valid && m_front.view.dpr == view.dpr &&
                             m_front.view.sceneRect == view.sceneRect &&
                             m_front.view.hints == view.hints;
    if (!covers && !standInFits)
        buildAll(view);
    QVector<int> all;
    if (!m_front.valid) {
        for (int i = 0; i < count; ++i)
            all.append(i);
        paintOver(painter, all);
        return;
    }
    if (!covers && standInFits) {
        paintPending(-1);
        const bool building = m_build.active && sameRaster(m_build.raster.view, view) &&
                              m_build.raster.extent.contains(visibleRect(view));
        if (!m_bSettling && !building)
            startBuild(view);
        paintOver(painter, standIn(painter, region, view, items, count));
        return;
    }
    if (m_build.active) {
        // Back at the scale the raster was made for.
        m_buildTimer.stop();
        m_build = Build();
    }
    if (newItems(region, view, items, count) > kMaxNewItems)
        buildAll(view);
    Changes changes = update(region, view, items, count);
    const bool composing = prepareComposed(view);
    // What is painted over the raster must not meet what the screen goes on showing.
    QRegion overArea;
    for (int i : qAsConst(changes.over))
        overArea += toViewport(view, items[i]->sceneBoundingRect()).toAlignedRect();
    const QRegion waiting = pendingArea(view) & region;
    if (!changes.damage.isEmpty() ||
        (!waiting.isEmpty() && (!composing || overArea.intersects(waiting) ||
                                !waiting.subtracted(m_composedValid).isEmpty())))
        paintPending(-1);
    repaintArea(changes.damage);
    // New items on top are painted into the raster while this paint has time for them; the
    // rest, where the screen still shows what was there, between the next events.
    for (const Member &joiner : qAsConst(changes.onTop)) {
        const QRectF rect = joiner.item->sceneBoundingRect();
        const QRect shown =
            toViewport(view, rect).toAlignedRect().adjusted(-kEdge, -kEdge, kEdge, kEdge);
        const bool late = !m_pending.isEmpty() || clock.elapsed() >= JoinMs;
        if (late && composing && (QRegion(shown) & region).subtracted(m_composedValid).isEmpty() &&
            !overArea.intersects(shown)) {
            m_pending.append(Pending{joiner.tag, rect});
            continue;
        }
        paintPending(-1);
        paintOnTop({joiner.item});
    }
    if (!m_pending.isEmpty() && !m_pendingTimer.isActive())
        m_pendingTimer.start();
    if (composing) {
        compose(painter, region, view, changes.over, paintOver);
        return;
    }
    blit(painter, region, view);
    paintOver(painter, changes.over);
}

void InkLayer::beginPaint()
{
    m_bComposed = false;
}

void InkLayer::endPaint(const QRegion &region, const View *view)
{
    if (m_bComposed)
        return;
    // The view found no items there and painted its background, or painted otherwise.
    if (!view || !prepareComposed(*view)) {
        m_composedValid -= region;
        return;
    }
    QPainter composed(&m_composed);
    composed.setClipRegion(region);
    const qreal s = view->scale;
    composed.setWorldTransform(QTransform(s, 0, 0, s, -view->scroll.x(), -view->scroll.y()));
    m_background(&composed,
                 composed.worldTransform().inverted().mapRect(QRectF(region.boundingRect())));
    m_composedValid += region;
}

void InkLayer::invalidate()
{
    m_front.valid = false;
    m_front.records.clear();
    m_buildTimer.stop();
    m_build = Build();
    m_bPicturesChanged = false;
    m_pending.clear();
    m_pendingTimer.stop();
    m_composedValid = QRegion();
}

void InkLayer::picturesChanged()
{
    m_bPicturesChanged = true;
    if (m_build.active)
        m_build.restart = true;
}

void InkLayer::setSettling(bool settling)
{
    m_bSettling = settling;
}
