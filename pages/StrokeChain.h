#ifndef STROKECHAIN_H
#define STROKECHAIN_H

#include <QList>
#include <QPainterPath>
#include <QRectF>

class PolylineItem;

// The pieces of one long stroke, drawn as one: the first piece fills the outlines of all of
// them at once, so that where they overlap the ink is one coat, as it is within one piece.
class StrokeChain
{
public:
    QList<PolylineItem *> pieces;

    PolylineItem *head() const { return pieces.first(); }
    QRectF bounds() const;
    QPainterPath outline() const;
    // A piece came or went.
    void changed();

private:
    mutable QPainterPath m_outline;
    mutable bool m_bOutlineMade = false;
};

#endif // STROKECHAIN_H
