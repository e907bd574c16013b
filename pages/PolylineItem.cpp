#include "pages/PolylineItem.h"

#include "pages/ItemText.h"
#include "pages/StrokePath.h"
#include "pages/StrokeTextForm.h"

#include <QDebug>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPolygonF>

PolylineItem::PolylineItem() : m_rect(0, 0, 0, 0) {}

PolylineItem::~PolylineItem() = default;

QRectF PolylineItem::boundingRect() const
{
    return m_rect;
}

// The outline of the stroke as the pen draws it. Made once: filling it is several times
// cheaper than stroking the curves again on every paint.
QPainterPath PolylineItem::shape() const
{
    if (!m_bShapeMade) {
        QPainterPathStroker stroker;
        stroker.setWidth(drawWidth());
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::BevelJoin);
        m_shape = stroker.createStroke(m_path);
        m_bShapeMade = true;
    }
    return m_shape;
}

int PolylineItem::drawWidth(int width)
{
    return qBound(kMinDrawWidth, width, kMaxDrawWidth);
}

QList<QPolygonF> PolylineItem::wholePieces(const QPolygonF &points, int width)
{
    QList<QPolygonF> pieces;
    QPolygonF rest = points;
    while (!rest.isEmpty()) {
        const int whole = StrokePath::wholePrefix(rest, drawWidth(width));
        pieces << rest.mid(0, whole);
        rest = whole < rest.size() ? rest.mid(whole - 1) : QPolygonF();
    }
    return pieces;
}

void PolylineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->fillPath(shape(), QBrush(m_color, Qt::SolidPattern));
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

    m_shape = QPainterPath();
    m_bShapeMade = false;
    update();
    return built.thinned;
}
