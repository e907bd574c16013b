#ifndef POLYLINEITEM_H
#define POLYLINEITEM_H

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

// A pen stroke: raw points, thinned and smoothed into a painted path.
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
    // Stores the points and builds the path; the list is replaced by the thinned points.
    void setPoints(QList<QPointF> &points);

    int m_nWidth = 3;
    QColor m_color;
    QList<QPointF> m_points;
    QRectF m_rect;
    QPainterPath m_path;
    QPainterPath m_shape;

private:
    int drawWidth() const;
};

#endif // POLYLINEITEM_H
