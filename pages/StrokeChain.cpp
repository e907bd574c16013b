#include "pages/StrokeChain.h"

#include "pages/PolylineItem.h"

QRectF StrokeChain::bounds() const
{
    QRectF united;
    for (const PolylineItem *piece : pieces)
        united |= piece->m_rect;
    return united;
}

QPainterPath StrokeChain::outline() const
{
    if (!m_bOutlineMade) {
        m_outline = QPainterPath();
        m_outline.setFillRule(Qt::WindingFill);
        for (const PolylineItem *piece : pieces)
            m_outline.addPath(piece->shape());
        m_bOutlineMade = true;
    }
    return m_outline;
}

void StrokeChain::changed()
{
    m_outline = QPainterPath();
    m_bOutlineMade = false;
}
