#include "pages/InkLayer.h"

#include "pages/DisplayPage.h"
#include "pages/ImageItem.h"
#include "pages/ItemTag.h"

#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QSet>
#include <QWidget>

namespace {
// Rows of background painted between two looks at the clock while a raster is made in slices.
const int kBackgroundBand = 128;
// More new items in one paint than this, and than a quarter of those held (a page's worth from
// the teacher): the raster is made afresh, in one pass over the scene, rather than item by item.
const int kMaxNewItems = 32;

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
} // namespace

InkLayer::InkLayer(DisplayPage *scene, PaintBackground background, std::function<void()> repaint,
                   QWidget *viewport)
    : m_widget(std::make_unique<QWidget>(viewport)), m_source{scene, std::move(background),
                                                              m_widget.get()},
      m_repaint(std::move(repaint)), m_front(&m_source)
{
    m_widget->hide();
    m_buildTimer.setSingleShot(true);
    m_buildTimer.setInterval(0);
    QObject::connect(&m_buildTimer, &QTimer::timeout, [this] { buildSlice(); });
}

InkLayer::~InkLayer() = default;

void InkLayer::buildAll(const View &view)
{
    m_buildTimer.stop();
    m_build = Build();
    m_bPicturesChanged = false;
    if (m_front.make(view))
        m_front.paintAll();
}

void InkLayer::startBuild(const View &view)
{
    m_build = Build();
    m_build.raster = InkRaster(&m_source);
    if (!m_build.raster.make(view))
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
    InkRaster &raster = m_build.raster;
    const QRect all(QPoint(0, 0), raster.extent().size());
    QPainter painter;
    raster.begin(painter);
    if (m_build.restart) {
        m_build.restart = false;
        m_build.painted.clear();
        m_build.backgroundRows = 0;
        raster.records().clear();
    }
    // The background first, in bands: the first paint of a new raster's memory is slow.
    while (m_build.backgroundRows < all.height()) {
        raster.paintBackground(
            painter, QRect(0, m_build.backgroundRows, all.width(), kBackgroundBand) & all);
        m_build.backgroundRows += kBackgroundBand;
        if (clock.elapsed() >= m_nSliceMs) {
            m_buildTimer.start();
            return;
        }
    }
    // The members found for the last slice stand while the scene holds the same items: all of
    // them still alive.
    const QList<QGraphicsItem *> listed = m_source.scene->items(Qt::AscendingOrder);
    if (listed != m_build.listed) {
        m_build.listed = listed;
        m_build.members = raster.membersIn(raster.sceneArea());
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
    const int first = painted.size();
    int next = first;
    while (next < members.size() && (next == first || clock.elapsed() < m_nSliceMs)) {
        raster.paintMembers(painter, members, next, next + 1);
        painted.append(members.at(next).tag);
        ++next;
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

QVector<int> InkLayer::standIn(QPainter *painter, const View &view, QGraphicsItem *const items[],
                               int count)
{
    m_bStandingIn = true;
    const qreal k = view.scale / m_front.view().scale;
    const QPointF origin = QPointF(m_front.extent().topLeft()) * k - QPointF(view.scroll);
    painter->save();
    painter->setWorldTransform(QTransform(k, 0, 0, k, origin.x(), origin.y()));
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawPixmap(QPointF(0, 0), m_front.pixmap());
    painter->restore();
    QVector<int> over;
    for (int i = 0; i < count; ++i) {
        QGraphicsItem *item = items[i];
        if (!item)
            continue;
        const auto held = m_front.records().constFind(ItemTag::of(item));
        if (!InkRaster::holdsKind(item) || held == m_front.records().constEnd() ||
            held->rect != item->sceneBoundingRect())
            over.append(i);
    }
    return over;
}

// The found items that would join the raster, up to one more than the limit.
int InkLayer::newItems(const QRegion &region, const View &view, QGraphicsItem *const items[],
                       int count, int limit) const
{
    int found = 0;
    InkRaster::Overlay overlay;
    for (int i = 0; i < count && found <= limit; ++i) {
        QGraphicsItem *item = items[i];
        if (!item)
            continue;
        const QRectF shown = InkRaster::toViewport(view, item->sceneBoundingRect());
        if (!meets(region, shown))
            continue;
        if (!InkRaster::holdsKind(item) || overlay.meets(shown))
            overlay.add(shown);
        else if (!m_front.records().contains(ItemTag::of(item)))
            ++found;
    }
    return found;
}

InkLayer::Changes InkLayer::update(const QRegion &region, const View &view,
                                   QGraphicsItem *const items[], int count)
{
    Changes changes;
    InkRaster::Overlay overlay; // in viewport coordinates
    QSet<quint64> seen;
    seen.reserve(count);
    auto &records = m_front.records();
    for (int i = 0; i < count; ++i) {
        QGraphicsItem *item = items[i];
        if (!item)
            continue;
        const QRectF rect = item->sceneBoundingRect();
        const QRectF shown = InkRaster::toViewport(view, rect);
        // The view hands over every item when the whole page is in sight, even those beyond
        // the viewport: nothing of them is painted.
        if (!meets(region, shown))
            continue;
        if (!InkRaster::holdsKind(item)) {
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
                changes.damage += m_front.toRaster(held->rect);
                changes.damage += m_front.toRaster(rect);
                records.erase(held);
                changes.over.append(i);
                overlay.add(shown);
            } else if (held->rect != rect) {
                changes.damage += m_front.toRaster(held->rect);
                changes.damage += m_front.toRaster(rect);
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
                m_source.scene->items(rect, Qt::IntersectsItemBoundingRect, Qt::AscendingOrder);
            bool below = true;
            for (QGraphicsItem *other : around) {
                if (other == item) {
                    below = false;
                    continue;
                }
                const bool isHeld =
                    InkRaster::holdsKind(other) && records.contains(ItemTag::of(other));
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
        records.insert(tag, InkRaster::Record{rect, !!dynamic_cast<ImageItem *>(item)});
        if (top)
            changes.onTop.append(Member{item, tag});
        else
            changes.damage += m_front.toRaster(rect);
    }
    // Items held that are gone from the region, or hidden.
    for (auto it = records.begin(); it != records.end();) {
        if (!seen.contains(it.key()) && meets(region, InkRaster::toViewport(view, it->rect))) {
            changes.damage += m_front.toRaster(it->rect);
            it = records.erase(it);
        } else {
            ++it;
        }
    }
    if (m_bPicturesChanged) {
        m_bPicturesChanged = false;
        for (const InkRaster::Record &record : qAsConst(records)) {
            if (record.picture)
                changes.damage += m_front.toRaster(record.rect);
        }
    }
    // A new item meeting an area painted again is painted with it, whole.
    for (bool grew = !changes.damage.isEmpty(); grew;) {
        grew = false;
        for (int i = 0; i < changes.onTop.size(); ++i) {
            const QRect rect = m_front.toRaster(changes.onTop.at(i).item->sceneBoundingRect());
            if (changes.damage.intersects(rect)) {
                changes.damage += rect;
                changes.onTop.remove(i--);
                grew = true;
            }
        }
    }
    return changes;
}

void InkLayer::paint(QPainter *painter, const QRegion &region, const View &view,
                     QGraphicsItem *const items[], int count, const PaintOver &paintOver)
{
    m_bStandingIn = false;
    const bool covers = m_front.covers(view);
    // Another page, or the same at new device pixels: painted at once.
    const View &front = m_front.view();
    const bool standInFits = m_front.isValid() && front.dpr == view.dpr &&
                             front.sceneRect == view.sceneRect && front.hints == view.hints;
    if (!covers && !standInFits)
        buildAll(view);
    if (!m_front.isValid()) {
        QVector<int> all;
        for (int i = 0; i < count; ++i)
            all.append(i);
        paintOver(painter, all);
        return;
    }
    if (!covers && standInFits) {
        if (!m_bSettling && !(m_build.active && m_build.raster.covers(view)))
            startBuild(view);
        paintOver(painter, standIn(painter, view, items, count));
        return;
    }
    if (m_build.active) {
        // Back at the scale the raster was made for.
        m_buildTimer.stop();
        m_build = Build();
    }
    const int many = qMax(kMaxNewItems, m_front.records().size() / 4);
    if (newItems(region, view, items, count, many) > many)
        buildAll(view);
    const Changes changes = update(region, view, items, count);
    m_front.repaintArea(changes.damage);
    QVector<QGraphicsItem *> onTop;
    for (const Member &joiner : changes.onTop)
        onTop.append(joiner.item);
    m_front.paintOnTop(onTop);
    m_front.blit(painter, region, view);
    paintOver(painter, changes.over);
}

void InkLayer::invalidate()
{
    m_front.drop();
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

void InkLayer::setSliceMs(int ms)
{
    m_nSliceMs = ms;
}
