#include "pages/PolylineItem.h"

#include "pages/ItemText.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <qwt_curve_fitter.h>

#include <cmath>

namespace {
const double kWeedTolerance = 2.0;
const double kMinStep = 2.0;
// Thinning takes up to n * n steps per chunk; longer strokes are thinned piecewise.
const int kMaxWeedChunk = 1000;

QPointF midpoint(const QPointF &a, const QPointF &b)
{
    return (a + b) / 2.0;
}
} // namespace

PolylineItem::PolylineItem() : m_rect(0, 0, 0, 0) {}

PolylineItem::~PolylineItem() = default;

QRectF PolylineItem::boundingRect() const
{
    return m_rect;
}

QPainterPath PolylineItem::shape() const
{
    return m_shape;
}

int PolylineItem::drawWidth() const
{
    return qBound(kMinDrawWidth, m_nWidth, kMaxDrawWidth);
}

void PolylineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->save();
    QPen pen(QBrush(m_color, Qt::SolidPattern), drawWidth(), Qt::SolidLine, Qt::FlatCap,
             Qt::BevelJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(m_path);
    painter->restore();
}

QString PolylineItem::toString() const
{
    return ItemText::writeStroke(m_color, m_nWidth, m_points);
}

void PolylineItem::fromString(const QString &text)
{
    ItemText::Stroke stroke;
    if (!ItemText::readStroke(text, stroke))
        return;
    if (stroke.hasColor)
        m_color = stroke.color;
    m_nWidth = stroke.width;
    if (!stroke.points.isEmpty())
        setPoints(stroke.points);
}

void PolylineItem::setPoints(QList<QPointF> &points)
{
    if (points.isEmpty())
        return;

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
    m_points = points;

    QwtWeedingCurveFitter fitter(kWeedTolerance);
    fitter.setChunkSize(uint(qMin(points.size(), kMaxWeedChunk)));
    const QPolygonF thinned = fitter.fitCurve(QPolygonF(points.toVector()));
    points = thinned.isEmpty() ? QList<QPointF>{m_points.first()} : thinned.toList();

    m_path = QPainterPath();
    m_path.moveTo(points.first());
    if (points.size() >= 2) {
        QPointF prev = points.first();
        for (int i = 1; i < points.size(); ++i) {
            const QPointF &cur = points.at(i);
            if (std::fabs(cur.x() - prev.x()) >= kMinStep ||
                std::fabs(cur.y() - prev.y()) >= kMinStep) {
                m_path.quadTo(prev, midpoint(prev, cur));
                prev = cur;
            }
        }
        m_path.quadTo(prev, midpoint(prev, m_points.last()));
    }

    QPainterPathStroker stroker;
    stroker.setWidth(width);
    m_shape = stroker.createStroke(m_path);
    update();
}
