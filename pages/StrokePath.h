#ifndef STROKEPATH_H
#define STROKEPATH_H

#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QVector>

// The centre line a stroke is painted along, built one raw point at a time, so that the ink
// drawn while the finger moves is the ink that stays. The points are thinned as they come: a
// point is kept once the points since the last kept one no longer lie within kTolerance of a
// straight line. A smooth curve runs through the kept points and the last raw point, one cubic
// span between each two of them whose ends follow the neighbouring points. A span is settled
// once the kept point after it is known; the last one or two are provisional (tail).
//
// Outlining and filling the line costs about the outline's length, a little for every span,
// and much more where the line turns back over itself. A line whose cost would pass kMaxCost
// is cut there (a peer's stroke, a page file), or, for the student's own strokes, ended there
// as one piece, the next piece starting at its last point: each piece paints whole on its own.
class StrokePath
{
public:
    // In units of outline length: some 25,000 pixels of a thin pen's line in one stroke, less
    // for a wide pen. Cut there, the costliest strokes a peer may send take a few tens of
    // milliseconds to paint.
    static constexpr double kMaxCost = 60000;
    static constexpr double kTolerance = 2.0;
    // Raw points looked back at when thinning, and how far the run may reach: a longer
    // straight run is kept in parts, so that the provisional end stays short.
    static constexpr int kMaxRun = 32;
    static constexpr double kMaxRunLength = 48;

    enum class Overflow
    {
        Cut,
        Split
    };

    struct Span
    {
        QPointF from;
        QPointF c1;
        QPointF c2;
        QPointF to;
        // The first span of its piece.
        bool startsPiece = false;
    };

    struct Result
    {
        QPainterPath path;
        // The points the line runs through.
        QPolygonF thinned;
        bool cut = false;
    };

    StrokePath(int width, Overflow overflow);

    void add(const QPointF &point);
    // Spans settled since the last call, in drawing order.
    QVector<Span> takeSettled();
    // The number of raw points of each piece ended since the last call.
    QVector<int> takeEnded();
    // The provisional spans, as the line would end if the stroke ended now.
    QVector<Span> tail() const;
    // The settled line of each piece so far; the last is the piece being drawn.
    const QList<QPainterPath> &settledPieces() const { return m_pieces; }
    // The whole line of a piece, the tail included for the last.
    QPainterPath piecePath(int piece) const;

    // A stroke read whole, cut where it costs too much.
    static Result build(const QPolygonF &points, int width);
    // Whether `next` is the piece that follows `piece` in a stroke split into pieces.
    static bool continues(const QPolygonF &piece, const QPolygonF &next, int width);
    // The outline the line is filled as, for a pen of that width.
    static QPainterPath outline(const QPainterPath &path, int width);
    static void appendSpan(QPainterPath &path, const Span &span);

private:
    bool fitsRun(const QPointF &to) const;
    bool keepRunEnd(const QVector<QPointF> &rest);
    // Keeps a point as a node of the piece; false when that would cost too much (it is then
    // not kept, and the piece ends or the line is cut).
    bool keep(const QPointF &node);
    void overflow(const QPointF &lastOfPiece, int pieceSize, const QVector<QPointF> &rest);
    void settle(Span span);
    void closePiece(const QPointF &end, int size);
    void startPiece(const QPointF &start);
    // The nodes of the piece being drawn, ending with the last raw point.
    QVector<QPointF> endedNodes() const;
    // The spans of nodes from `first` on, the line ending at the last node.
    static QVector<Span> spans(const QVector<QPointF> &nodes, int first);

    int m_nWidth;
    Overflow m_overflow;
    bool m_bCut = false;
    QVector<QPointF> m_nodes;
    QVector<QPointF> m_run;
    int m_nRaw = 0;
    double m_fCost = 0;
    QList<QPainterPath> m_pieces;
    QVector<int> m_ended;
    QVector<Span> m_settled;
};

#endif // STROKEPATH_H
