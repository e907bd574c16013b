#ifndef STROKEPATH_H
#define STROKEPATH_H

#include <QPainterPath>
#include <QPolygonF>

// The centre line a stroke is painted along: the raw points thinned and smoothed into
// quadratic curves. Outlining and filling that line costs about the outline's length, a
// little for every curve, and much more where the line turns back over itself; a line whose
// cost would pass kMaxCost is cut there, so that no stroke a peer or a page file brings costs
// more than a few frames to paint, however its points zigzag. The student's own strokes are
// kept in pieces that each paint whole (wholePrefix).
class StrokePath
{
public:
    // In units of outline length: some 25,000 pixels of a thin pen's line in one stroke, less
    // for a wide pen. Cut there, the costliest strokes a peer may send take a few tens of
    // milliseconds to paint.
    static constexpr double kMaxCost = 60000;

    struct Result
    {
        QPainterPath path;
        // The thinned points, of the part of the stroke that was looked at.
        QPolygonF thinned;
        bool cut = false;
        // Leading raw points thinned and painted whole before the cut; all of them when uncut.
        int wholePoints = 0;
    };

    // Points must not be empty.
    static Result build(const QPolygonF &points, int width);
    // How many leading points make a stroke that is painted whole: all of them when the
    // stroke is not cut, else at least two.
    static int wholePrefix(const QPolygonF &points, int width);
};

#endif // STROKEPATH_H
