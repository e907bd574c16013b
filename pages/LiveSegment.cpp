#include "pages/LiveSegment.h"

#include <QPaintDevice>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtMath>

namespace {
// The least the bounds grow by: each growth repaints the whole stroke.
const qreal kBoundsGrowth = 128;
} // namespace

LiveSegment::LiveSegment(const QColor &color, int width)
    : m_color(color), m_nWidth(width), m_line(width, StrokePath::Overflow::Split)
{
    setFlag(ItemUsesExtendedStyleOption);
    setAcceptedMouseButtons(Qt::NoButton);
    setZValue(kLiveZ);
}

LiveSegment::~LiveSegment() = default;

void LiveSegment::addPoint(const QPointF &point)
{
    m_line.add(point);
    const QVector<StrokePath::Span> settled = m_line.takeSettled();
    const QVector<StrokePath::Span> end = m_line.tail();
    QRectF dirty = m_endRect;
    for (const StrokePath::Span &span : settled)
        dirty |= spanRect(span);
    m_endRect = QRectF();
    for (const StrokePath::Span &span : end)
        m_endRect |= spanRect(span);
    dirty |= m_endRect;
    m_bWholeMade = false;
    if (m_buffer.isSet()) {
        QList<InkBuffer::Coat> coats;
        for (const StrokePath::Span &span : settled) {
            coats << coatOf({span});
            m_lastSettled = {span};
        }
        m_buffer.update(coats, coatOf(end));
    } else if (!settled.isEmpty()) {
        m_lastSettled = {settled.last()};
    }
    if (dirty.isEmpty())
        return;
    if (!m_bounds.contains(dirty)) {
        prepareGeometryChange();
        const QRectF needed = m_bounds | dirty;
        const qreal margin = qMax(kBoundsGrowth, qMax(needed.width(), needed.height()) / 2);
        m_bounds = needed.adjusted(-margin, -margin, margin, margin);
    }
    update(dirty);
}

QRectF LiveSegment::boundingRect() const
{
    return m_bounds;
}

void LiveSegment::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    QPaintDevice *device = painter->device();
    if (device && device->devType() == QInternal::Widget &&
        painter->worldTransform().type() <= QTransform::TxScale) {
        // In the widget's own pixels, wherever its painting is redirected to.
        const qreal ratio = device->devicePixelRatioF();
        const QTransform toPixels = painter->worldTransform() * QTransform::fromScale(ratio, ratio);
        const QSize size(qCeil(device->width() * ratio), qCeil(device->height() * ratio));
        if (!m_buffer.fits(toPixels, size))
            fillBuffer(toPixels, size);
        m_buffer.draw(painter, toPixels.mapRect(option->exposedRect).toAlignedRect(),
                      painter->opacity() * m_color.alphaF());
        return;
    }
    painter->fillPath(wholeOutline(), QBrush(m_color, Qt::SolidPattern));
}

// A span's control points hold it; its outline reaches half the width past them.
QRectF LiveSegment::spanRect(const StrokePath::Span &span) const
{
    const QPolygonF hull(QVector<QPointF>{span.from, span.c1, span.c2, span.to});
    const qreal reach = m_nWidth / 2.0 + 2;
    return hull.boundingRect().adjusted(-reach, -reach, reach, reach);
}

// Spans as they add to the ink: with the settled span before them, where they go on from it in
// one piece, so that the join is outlined as in the whole line.
InkBuffer::Coat LiveSegment::coatOf(const QVector<StrokePath::Span> &spans) const
{
    if (spans.isEmpty() || spans.first().startsPiece || m_lastSettled.isEmpty())
        return {outlineOf(spans), QPainterPath()};
    return {outlineOf(m_lastSettled + spans), outlineOf(m_lastSettled)};
}

QPainterPath LiveSegment::outlineOf(const QVector<StrokePath::Span> &spans) const
{
    if (spans.isEmpty())
        return QPainterPath();
    QPainterPath path(spans.first().from);
    for (const StrokePath::Span &span : spans)
        StrokePath::appendSpan(path, span);
    return StrokePath::outline(path, m_nWidth);
}

// As the stroke items will fill it: each piece's outline, all pieces filled at once.
QPainterPath LiveSegment::wholeOutline() const
{
    if (!m_bWholeMade) {
        const int pieces = m_line.settledPieces().size();
        m_whole = QPainterPath();
        if (pieces == 1) {
            m_whole = StrokePath::outline(m_line.piecePath(0), m_nWidth);
        } else {
            m_whole.setFillRule(Qt::WindingFill);
            for (int i = 0; i < pieces; ++i)
                m_whole.addPath(StrokePath::outline(m_line.piecePath(i), m_nWidth));
        }
        m_bWholeMade = true;
    }
    return m_whole;
}

// The view's pixels changed (first shown, zoomed, scrolled): the buffer is filled again.
void LiveSegment::fillBuffer(const QTransform &toDevice, const QSize &deviceSize)
{
    m_buffer.reset(toDevice, deviceSize, m_color);
    QList<InkBuffer::Coat> coats;
    for (const QPainterPath &piece : m_line.settledPieces()) {
        if (piece.elementCount() > 1)
            coats << InkBuffer::Coat{StrokePath::outline(piece, m_nWidth), QPainterPath()};
    }
    m_buffer.update(coats, coatOf(m_line.tail()));
}
