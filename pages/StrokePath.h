#ifndef STROKEPATH_H
#define STROKEPATH_H

#include <QPainterPath>
#include <QPolygonF>

// The centre line a stroke is painted along: the raw points thinned and smoothed into
// quadratic curves. Outlining and filling that line costs about the outline's length, a
// little for every curve, and much more where the line turns back over itself; a line whose
// cost would pass kMaxCost is cut there, so that no stroke a peer sends costs more than a
// few frames to paint, however its points zigzag.
class StrokePath
{
public:
    // In units of outline length: some ten thousand pixels of handwriting in one stroke,
    // most of a minute without lifting the pen. Cut there, the costliest strokes a peer may
    // send take a few tens of milliseconds to paint.
    static constexpr double kMaxCost = 60000;

    struct Result
    {
        QPainterPath path;
        // The thinned points, of the part of the stroke that was looked at.
        QPolygonF thinned;
        bool cut = false;
    };

    // Points must not be empty.
    static Result build(const QPolygonF &points, int width);
};

#endif // STROKEPATH_H
