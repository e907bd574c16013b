#include "pages/StrokePath.h"

#include <qwt_curve_fitter.h>

#include <cmath>

namespace {
const double kWeedTolerance = 2.0;
const double kMinStep = 2.0;
// Thinning takes up to n * n steps per chunk; longer strokes are thinned piecewise, and only
// as far as they are painted.
const int kMaxWeedChunk = 1000;
// Weights of the paint cost of one step, in units of outline length.
const double kCurveCost = 8;
const double kWidthSpread = 50;
const double kTurnCost = 100;
const double kTurnWidthCost = 4;

QPointF midpoint(const QPointF &a, const QPointF &b)
{
    return (a + b) / 2.0;
}

double length(const QPointF &v)
{
    return std::hypot(v.x(), v.y());
}

// Each step adds a curve, twice its length to the outline (more for a wide pen, whose outline
// overlaps itself sooner), and, where the line turns back on itself, a sharp corner that is
// slow to outline and piles the pen's outlines up (a gentle bend costs next to nothing).
double stepCost(const QPointF &before, const QPointF &from, const QPointF &to, int width)
{
    const QPointF in = from - before;
    const QPointF out = to - from;
    const double inLength = length(in);
    const double outLength = length(out);
    double turn = 0; // 0 going straight on, 1 turning back
    if (inLength > 0 && outLength > 0)
        turn = (1 - QPointF::dotProduct(in, out) / (inLength * outLength)) / 2;
    return kCurveCost + 2 * outLength * (1 + width / kWidthSpread) +
           turn * turn * (kTurnCost + kTurnWidthCost * width);
}
} // namespace

StrokePath::Result StrokePath::build(const QPolygonF &points, int width)
{
    Result result;
    QPainterPath &path = result.path;
    QPointF before = points.first();
    QPointF prev = before;
    double cost = 0;
    path.moveTo(prev);
    for (int from = 0; from < points.size() && !result.cut; from += kMaxWeedChunk) {
        const QPolygonF chunk = points.mid(from, kMaxWeedChunk);
        QwtWeedingCurveFitter fitter(kWeedTolerance);
        fitter.setChunkSize(uint(chunk.size()));
        QPolygonF thinned = fitter.fitCurve(chunk);
        if (thinned.isEmpty())
            thinned.append(chunk.first());
        path.reserve(path.elementCount() + 3 * thinned.size());
        // The first thinned point is the start of the line.
        for (int i = from == 0 ? 1 : 0; i < thinned.size(); ++i) {
            const QPointF &cur = thinned.at(i);
            if (std::fabs(cur.x() - prev.x()) < kMinStep &&
                std::fabs(cur.y() - prev.y()) < kMinStep)
                continue;
            cost += stepCost(before, prev, cur, width);
            if (cost > kMaxCost) {
                result.cut = true;
                thinned.resize(i);
                break;
            }
            path.quadTo(prev, midpoint(prev, cur));
            before = prev;
            prev = cur;
        }
        result.thinned += thinned;
        if (!result.cut)
            result.wholePoints = from + chunk.size();
    }
    if (result.cut)
        path.lineTo(prev);
    else if (result.thinned.size() >= 2)
        path.quadTo(prev, midpoint(prev, points.last()));
    return result;
}

int StrokePath::wholePrefix(const QPolygonF &points, int width)
{
    const Result whole = build(points, width);
    if (!whole.cut)
        return points.size();
    // Chunks are thinned alone: the chunks before the cut make the same line by themselves.
    if (whole.wholePoints >= 2)
        return whole.wholePoints;
    // Cut within the first chunk: the longest prefix of it that is not cut.
    int good = 2;
    int bad = qMin(points.size(), kMaxWeedChunk);
    while (bad - good > 1) {
        const int mid = (good + bad) / 2;
        if (build(points.mid(0, mid), width).cut)
            bad = mid;
        else
            good = mid;
    }
    return good;
}
