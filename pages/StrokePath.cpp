#include "pages/StrokePath.h"

#include "pages/ItemText.h"

#include <QPainterPathStroker>

#include <cmath>

namespace {
// Weights of the paint cost of one span, in units of outline length.
const double kSpanCost = 8;
const double kWidthSpread = 50;
const double kTurnCost = 100;
const double kTurnWidthCost = 4;

double length(const QPointF &v)
{
    return std::hypot(v.x(), v.y());
}

double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double squared = QPointF::dotProduct(ab, ab);
    const double t = squared > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / squared, 1.0) : 0;
    return length(p - (a + t * ab));
}

// Each span adds a curve, twice its length to the outline (more for a wide pen, whose outline
// overlaps itself sooner), and, where the line turns back on itself, a sharp corner that is
// slow to outline and piles the pen's outlines up (a gentle bend costs next to nothing).
double spanCost(const QPointF &before, const QPointF &from, const QPointF &to, int width)
{
    const QPointF in = from - before;
    const QPointF out = to - from;
    const double inLength = length(in);
    const double outLength = length(out);
    double turn = 0; // 0 going straight on, 1 turning back
    if (inLength > 0 && outLength > 0)
        turn = (1 - QPointF::dotProduct(in, out) / (inLength * outLength)) / 2;
    return kSpanCost + 2 * outLength * (1 + width / kWidthSpread) +
           turn * turn * (kTurnCost + kTurnWidthCost * width);
}

// The way the line goes through node b, from a to c (either may be missing): the chord from
// a to c over the length of both spans, so that it is never longer than 1 and a span's control
// points stay within a third of its length of its ends. Where the line turns by more than a
// right angle, b is a corner: the spans meet there without bending towards each other.
QPointF heading(const QPointF *a, const QPointF &b, const QPointF *c)
{
    if (a && c && QPointF::dotProduct(b - *a, *c - b) < 0)
        return QPointF();
    const QPointF from = a ? *a : b;
    const QPointF to = c ? *c : b;
    const double spans = length(to - b) + length(b - from);
    return spans > 0 ? (to - from) / spans : QPointF();
}

StrokePath::Span spanAt(const QVector<QPointF> &nodes, int j)
{
    const QPointF &from = nodes.at(j);
    const QPointF &to = nodes.at(j + 1);
    const QPointF *before = j > 0 ? &nodes.at(j - 1) : nullptr;
    const QPointF *after = j + 2 < nodes.size() ? &nodes.at(j + 2) : nullptr;
    const double third = length(to - from) / 3;
    return {from, from + heading(before, from, &to) * third, to - heading(&from, to, after) * third,
            to};
}
} // namespace

StrokePath::StrokePath(int width, Overflow overflow) : m_nWidth(width), m_overflow(overflow) {}

void StrokePath::add(const QPointF &point)
{
    if (m_bCut)
        return;
    if (m_nodes.isEmpty()) {
        startPiece(point);
        return;
    }
    // A piece holds no more points than reading one keeps.
    if (m_overflow == Overflow::Split && m_nRaw >= ItemText::kMaxStrokePoints) {
        const QPointF last = m_run.isEmpty() ? m_nodes.last() : m_run.last();
        closePiece(last, m_nRaw);
        startPiece(last);
    }
    ++m_nRaw;
    if (!m_run.isEmpty() && !fitsRun(point) && !keepRunEnd({point}))
        return;
    m_run.append(point);
    if (m_run.size() >= kMaxRun || length(point - m_nodes.last()) > kMaxRunLength)
        keepRunEnd({});
}

// The run ends at its last point, a new node, and the points after it (`rest`) begin the next
// run. False when the piece cannot take the node: the line is cut, or a piece begins.
bool StrokePath::keepRunEnd(const QVector<QPointF> &rest)
{
    const QPointF node = m_run.last();
    const QPointF beforeNode = m_run.size() >= 2 ? m_run.at(m_run.size() - 2) : m_nodes.last();
    m_run.clear(); // a finger resting on its last node drops the run: it lies within reach
    if (node == m_nodes.last() || keep(node))
        return true;
    overflow(beforeNode, m_nRaw - 1 - rest.size(), QVector<QPointF>{node} + rest);
    return false;
}

bool StrokePath::fitsRun(const QPointF &to) const
{
    const QPointF &from = m_nodes.last();
    for (const QPointF &point : m_run) {
        if (distanceToSegment(point, from, to) > kTolerance)
            return false;
    }
    return true;
}

bool StrokePath::keep(const QPointF &node)
{
    const QPointF &from = m_nodes.last();
    const QPointF &before = m_nodes.size() >= 2 ? m_nodes.at(m_nodes.size() - 2) : from;
    const double cost = spanCost(before, from, node, m_nWidth);
    // The first span is always taken: a piece holds at least one.
    if (m_nodes.size() >= 2 && m_fCost + cost > kMaxCost)
        return false;
    m_fCost += cost;
    m_nodes.append(node);
    if (m_nodes.size() >= 3)
        settle(spanAt(m_nodes, m_nodes.size() - 3));
    return true;
}

// The piece ends at the raw point before the node that did not fit; the next one starts there
// and takes the points after it again.
void StrokePath::overflow(const QPointF &lastOfPiece, int pieceSize, const QVector<QPointF> &rest)
{
    if (m_overflow == Overflow::Cut) {
        m_bCut = true;
        return;
    }
    closePiece(lastOfPiece, pieceSize);
    startPiece(lastOfPiece);
    for (const QPointF &point : rest)
        add(point);
}

void StrokePath::settle(Span span)
{
    span.startsPiece = m_pieces.last().elementCount() == 1;
    appendSpan(m_pieces.last(), span);
    m_settled.append(span);
}

void StrokePath::closePiece(const QPointF &end, int size)
{
    QVector<QPointF> nodes = m_nodes;
    if (end != nodes.last())
        nodes.append(end);
    for (const Span &span : spans(nodes, qMax(0, m_nodes.size() - 2)))
        settle(span);
    m_ended.append(size);
}

void StrokePath::startPiece(const QPointF &start)
{
    m_nodes = {start};
    m_run.clear();
    m_nRaw = 1;
    m_fCost = 0;
    m_pieces.append(QPainterPath(start));
}

QVector<QPointF> StrokePath::endedNodes() const
{
    QVector<QPointF> nodes = m_nodes;
    if (!m_run.isEmpty() && m_run.last() != nodes.last())
        nodes.append(m_run.last());
    return nodes;
}

QVector<StrokePath::Span> StrokePath::spans(const QVector<QPointF> &nodes, int first)
{
    QVector<Span> found;
    for (int j = first; j + 1 < nodes.size(); ++j)
        found.append(spanAt(nodes, j));
    return found;
}

QVector<StrokePath::Span> StrokePath::takeSettled()
{
    QVector<Span> taken;
    taken.swap(m_settled);
    return taken;
}

QVector<int> StrokePath::takeEnded()
{
    QVector<int> taken;
    taken.swap(m_ended);
    return taken;
}

QVector<StrokePath::Span> StrokePath::tail() const
{
    if (m_nodes.isEmpty())
        return {};
    QVector<Span> found = spans(endedNodes(), qMax(0, m_nodes.size() - 2));
    if (!found.isEmpty())
        found.first().startsPiece = m_pieces.last().elementCount() == 1;
    return found;
}

QPainterPath StrokePath::piecePath(int piece) const
{
    QPainterPath path = m_pieces.at(piece);
    if (piece == m_pieces.size() - 1) {
        for (const Span &span : tail())
            appendSpan(path, span);
    }
    return path;
}

void StrokePath::appendSpan(QPainterPath &path, const Span &span)
{
    path.cubicTo(span.c1, span.c2, span.to);
}

StrokePath::Result StrokePath::build(const QPolygonF &points, int width)
{
    StrokePath line(width, Overflow::Cut);
    for (const QPointF &point : points) {
        line.add(point);
        if (line.m_bCut)
            break;
    }
    Result result;
    if (line.m_pieces.isEmpty())
        return result;
    result.path = line.piecePath(0);
    result.thinned = QPolygonF(line.endedNodes());
    result.cut = line.m_bCut;
    return result;
}

bool StrokePath::continues(const QPolygonF &piece, const QPolygonF &next, int width)
{
    if (piece.isEmpty() || next.size() < 2 || next.first() != piece.last())
        return false;
    StrokePath line(width, Overflow::Split);
    for (const QPointF &point : piece)
        line.add(point);
    for (int i = 1; i < next.size() && line.m_ended.isEmpty(); ++i)
        line.add(next.at(i));
    return !line.m_ended.isEmpty() && line.m_ended.first() == piece.size();
}

QPainterPath StrokePath::outline(const QPainterPath &path, int width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}
