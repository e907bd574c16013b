#ifndef POLYLINEITEM_H
#define POLYLINEITEM_H

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <memory>

class StrokeChain;

// A pen stroke: raw points, thinned and smoothed into a painted path. The path is cut where
// painting it would cost more than a few frames (StrokePath); the points are all kept. The
// student's strokes are made in pieces that are never cut; the pieces of one stroke, added to a
// scene one after the other, are drawn as one (StrokeChain).
class PolylineItem : public QGraphicsItem
{
public:
    static constexpr int kMinDrawWidth = 1;
    static constexpr int kMaxDrawWidth = 200;

    PolylineItem();
    ~PolylineItem() override;

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

    QString toString() const;
    void fromString(const QString &text);
    // Stores the points and builds the path; the list is replaced by the thinned points (of
    // the part painted).
    void setPoints(QList<QPointF> &points);
    // The width a stroke of that width is drawn at.
    static int drawWidth(int width);

    int m_nWidth = 3;
    QColor m_color;
    QList<QPointF> m_points;
    QRectF m_rect;
    QPainterPath m_path;
    // The outline the stroke is painted and hit by, made when first asked for: outlining the
    // curves costs more than building them.
    mutable QPainterPath m_shape;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    int drawWidth() const { return drawWidth(m_nWidth); }
    // Stores the raw points and builds the path; returns the thinned points.
    QPolygonF build(const QPolygonF &points);
    // Joins the chain of the stroke added to the scene just before, when this one goes on
    // from it.
    void joinPrevious(QGraphicsScene *scene);
    void leaveChain();
    void leaveScene(QGraphicsScene *scene);

    std::shared_ptr<StrokeChain> m_chain;

    mutable bool m_bShapeMade = false;
    // The text the stroke was read from when it is in the form toString writes, handed back
    // while colour, width and points are still the ones read from it.
    QString m_strText;
    QColor m_textColor;
    int m_nTextWidth = 0;
    QList<QPointF> m_textPoints;
};

#endif // POLYLINEITEM_H
