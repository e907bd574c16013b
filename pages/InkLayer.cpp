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
// Areas of more than this share of the page are searched in the scene's whole list.
const qreal kSearchShare = 0.125;

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

InkLayer::InkLayer(DisplayPage *scene, PaintBackground background, std::function<void()> repaint)
    : m_scene(scene), m_widget(std::make_unique<QWidget>()), m_background(std::move(background)),
      m_repaint(std::move(repaint))
{
    m_buildTimer.setSingleShot(true);
    m_buildTimer.setInterval(0);
    QObject::connect(&m_buildTimer, &QTimer::timeout, [this] { buildSlice(); });
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
                                          !item->sceneBoundingRect().intersects(sceneArea);
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
    bool same = !m_build.restart && members.size() >= painted.size();
    for (int i = 0; same && i < painted.size(); ++i)
        same = members.at(i).tag == painted.at(i);
    QPainter painter;
    beginPainter(painter, raster);
    if (!same) {
        m_build.restart = false;
        painted.clear();
        raster.records.clear();
        paintBackground(painter, raster, all);
    }
    int next = painted.size();
    while (next < members.size()) {
        const int end = qMin(next + kSliceStep, members.size());
        // An item at the address of one gone since the members were found.
        for (int i = next; i < end; ++i) {
            if (ItemTag::of(members.at(i).item) != members.at(i).tag) {
                painter.end();
                m_build.listed.clear();
                m_buildTimer.start();
                return;
            }
        }
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
    m_repaint();
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

QVector<int> InkLayer::update(const QRegion &region, const View &view, QGraphicsItem *const items[],
                              int count)
{
    QVector<int> over;
    QRegion damage;
    QVector<QGraphicsItem *> onTop;
    QVector<QRect> onTopRects;
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
        if (!holdsKind(item)) {
            over.append(i);
            overlay.add(shown);
            continue;
        }
        const quint64 tag = ItemTag::of(item);
        seen.insert(tag);
        const auto held = records.find(tag);
        if (held != records.end()) {
            if (overlay.meets(shown)) {
                // Something it does not hold came in under it: painted over the raster now.
                damage += toRaster(m_front, held->rect);
                damage += toRaster(m_front, rect);
                records.erase(held);
                over.append(i);
                overlay.add(shown);
            } else if (held->rect != rect) {
                damage += toRaster(m_front, held->rect);
                damage += toRaster(m_front, rect);
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
            over.append(i);
            overlay.add(shown);
            continue;
        }
        records.insert(tag, Record{rect, !!dynamic_cast<ImageItem *>(item)});
        if (top) {
            onTop.append(item);
            onTopRects.append(toRaster(m_front, rect));
        } else {
            damage += toRaster(m_front, rect);
        }
    }
    // Items held that are gone from the region, or hidden.
    for (auto it = records.begin(); it != records.end();) {
        if (!seen.contains(it.key()) && meets(region, toViewport(view, it->rect))) {
            damage += toRaster(m_front, it->rect);
            it = records.erase(it);
        } else {
            ++it;
        }
    }
    if (m_bPicturesChanged) {
        m_bPicturesChanged = false;
        for (const Record &record : qAsConst(records)) {
            if (record.picture)
                damage += toRaster(m_front, record.rect);
        }
    }
    // A new item meeting an area painted again is painted with it, whole.
    for (bool grew = !damage.isEmpty(); grew;) {
        grew = false;
        for (int i = 0; i < onTop.size(); ++i) {
            if (onTop.at(i) && damage.intersects(onTopRects.at(i))) {
                damage += onTopRects.at(i);
                onTop[i] = nullptr;
                grew = true;
            }
        }
    }
    repaintArea(damage);
    onTop.removeAll(nullptr);
    if (!onTop.isEmpty()) {
        QPainter painter;
        beginPainter(painter, m_front);
        painter.setRenderHints(painter.renderHints(), false);
        painter.setRenderHints(m_front.view.hints, true);
        m_scene->paintItems(&painter, onTop, m_widget.get());
    }
    return over;
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

QVector<int> InkLayer::paint(QPainter *painter, const QRegion &region, const View &view,
                             QGraphicsItem *const items[], int count)
{
    m_bStandingIn = false;
    const bool sameView = m_front.valid && sameRaster(m_front.view, view);
    const bool covers = sameView && m_front.extent.contains(visibleRect(view));
    // Another page, or the same at new device pixels: painted at once.
    const bool standInFits = m_front.valid && m_front.view.dpr == view.dpr &&
                             m_front.view.sceneRect == view.sceneRect &&
                             m_front.view.hints == view.hints;
    if (!covers && !standInFits)
        buildAll(view);
    if (!m_front.valid) {
        QVector<int> all;
        for (int i = 0; i < count; ++i)
            all.append(i);
        return all;
    }
    if (!covers && standInFits) {
        const bool building = m_build.active && sameRaster(m_build.raster.view, view) &&
                              m_build.raster.extent.contains(visibleRect(view));
        if (!m_bSettling && !building)
            startBuild(view);
        return standIn(painter, region, view, items, count);
    }
    if (m_build.active) {
        // Back at the scale the raster was made for.
        m_buildTimer.stop();
        m_build = Build();
    }
    const QVector<int> over = update(region, view, items, count);
    blit(painter, region, view);
    return over;
}

void InkLayer::invalidate()
{
    m_front.valid = false;
    m_front.records.clear();
    m_buildTimer.stop();
    m_build = Build();
    m_bPicturesChanged = false;
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
