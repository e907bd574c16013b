#include "pages/PolylineItem.h"

#include "pages/ItemText.h"
#include "pages/StrokeChain.h"
#include "pages/StrokePath.h"
#include "pages/StrokeTextForm.h"

#include <QDebug>
#include <QGraphicsScene>
#include <QHash>
#include <QPainter>
#include <QPolygonF>

namespace {
// The stroke last added to each scene of this thread, that the next one may go on from.
thread_local QHash<const QGraphicsScene *, PolylineItem *> t_lastStrokes;
} // namespace

PolylineItem::PolylineItem() : m_rect(0, 0, 0, 0) {}

PolylineItem::~PolylineItem()
{
    leaveScene(scene());
}

QRectF PolylineItem::boundingRect() const
{
    if (m_chain && m_chain->head() == this)
        return m_chain->bounds();
    return m_rect;
}

// The outline of the stroke as the pen draws it. Made once: filling it is several times
// cheaper than stroking the curves again on every paint.
QPainterPath PolylineItem::shape() const
{
    if (!m_bShapeMade) {
        m_shape = StrokePath::outline(m_path, drawWidth());
        m_bShapeMade = true;
    }
    return m_shape;
}

int PolylineItem::drawWidth(int width)
{
    return qBound(kMinDrawWidth, width, kMaxDrawWidth);
}

void PolylineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!m_chain)
        painter->fillPath(shape(), QBrush(m_color, Qt::SolidPattern));
    else if (m_chain->head() == this)
        painter->fillPath(m_chain->outline(), QBrush(m_color, Qt::SolidPattern));
}

QVariant PolylineItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSceneChange)
        leaveScene(scene());
    else if (change == ItemSceneHasChanged && scene()) {
        joinPrevious(scene());
        t_lastStrokes.insert(scene(), this);
    }
    return QGraphicsItem::itemChange(change, value);
}

void PolylineItem::leaveScene(QGraphicsScene *from)
{
    leaveChain();
    if (from && t_lastStrokes.value(from) == this)
        t_lastStrokes.remove(from);
}

void PolylineItem::joinPrevious(QGraphicsScene *scene)
{
    PolylineItem *previous = t_lastStrokes.value(scene);
    if (!previous || previous == this || previous->scene() != scene || m_chain ||
        previous->m_color != m_color || previous->m_nWidth != m_nWidth ||
        previous->m_points.isEmpty() || m_points.size() < 2 ||
        previous->m_points.last() != m_points.first() ||
        !StrokePath::continues(QPolygonF(previous->m_points.toVector()),
                               QPolygonF(m_points.toVector()), drawWidth()))
        return;
    if (!previous->m_chain) {
        previous->m_chain = std::make_shared<StrokeChain>();
        previous->m_chain->pieces << previous;
    }
    PolylineItem *head = previous->m_chain->head();
    head->prepareGeometryChange();
    m_chain = previous->m_chain;
    m_chain->pieces << this;
    m_chain->changed();
    head->update();
}

// The chain goes on without this piece; its first remaining piece draws it.
void PolylineItem::leaveChain()
{
    if (!m_chain)
        return;
    const std::shared_ptr<StrokeChain> chain = m_chain;
    const bool wasHead = chain->head() == this;
    PolylineItem *drawer = chain->pieces.size() < 2 ? nullptr
                           : wasHead                ? chain->pieces.at(1)
                                                    : chain->head();
    // Every bounding rectangle that changes is announced while it is still the old one.
    if (wasHead)
        prepareGeometryChange();
    if (drawer)
        drawer->prepareGeometryChange();
    m_chain.reset();
    chain->pieces.removeOne(this);
    chain->changed();
    if (chain->pieces.size() == 1)
        chain->head()->m_chain.reset();
    if (drawer)
        drawer->update();
}

QString PolylineItem::toString() const
{
    // A list changed in place no longer shares its data with the one read.
    if (!m_strText.isNull() && m_points.isSharedWith(m_textPoints) && m_color == m_textColor &&
        m_nWidth == m_nTextWidth)
        return m_strText;
    return ItemText::writeStroke(m_color, m_nWidth, m_points);
}

void PolylineItem::fromString(const QString &text)
{
    ItemText::Stroke stroke;
    if (!ItemText::readStroke(text, stroke))
        return;
    m_strText.clear();
    if (stroke.hasColor)
        m_color = stroke.color;
    m_nWidth = stroke.width;
    if (!stroke.points.isEmpty())
        build(stroke.points);
    if (stroke.exact && !m_points.isEmpty() && StrokeTextForm::isWritten(text)) {
        m_strText = text;
        m_textColor = m_color;
        m_nTextWidth = m_nWidth;
        m_textPoints = m_points;
    }
}

void PolylineItem::setPoints(QList<QPointF> &points)
{
    if (points.isEmpty())
        return;
    const QPolygonF thinned = build(QPolygonF(points.toVector()));
    points = thinned.toList();
}

QPolygonF PolylineItem::build(const QPolygonF &points)
{
    leaveChain(); // no longer the piece it was
    prepareGeometryChange();
    qreal minX = points.first().x();
    qreal maxX = minX;
    qreal minY = points.first().y();
    qreal maxY = minY;
    for (const QPointF &p : points) {
        minX = qMin(minX, p.x());
        maxX = qMax(maxX, p.x());
        minY = qMin(minY, p.y());
        maxY = qMax(maxY, p.y());
    }
    const int width = drawWidth();
    m_rect = QRectF(minX - width, minY - width, maxX - minX + 2 * width, maxY - minY + 2 * width);
    m_points = points.toList();

    StrokePath::Result built = StrokePath::build(points, width);
    if (built.cut)
        qDebug() << "PolylineItem: stroke of" << points.size()
                 << "points painted only as far as its outline limit";
    m_path = built.path;
    // The curve may swing a little past its outermost points.
    m_rect |= m_path.controlPointRect().adjusted(-width, -width, width, width);

    m_shape = QPainterPath();
    m_bShapeMade = false;
    update();
    return built.thinned;
}
