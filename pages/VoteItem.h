#ifndef VOTEITEM_H
#define VOTEITEM_H

#include <QColor>
#include <QGraphicsObject>
#include <QMap>
#include <QPixmap>
#include <QRectF>
#include <QString>

// Bar chart of a shared vote: six options, drawn once into a cached pixmap.
class VoteItem : public QGraphicsObject
{
    Q_OBJECT
public:
    static constexpr int kOptions = 6;

    VoteItem();
    ~VoteItem() override;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

    void setValue(int index, float value);
    float value(int index) const { return m_values.value(index, 0.0f); }
    QString voteText() const;
    void renderChart();

    QColor m_colors[kOptions];
    QMap<int, float> m_values;
    QPixmap m_pixmap;

private:
    static QRectF chartRect();
    void drawArrowHead(QPainter &painter, const QPointF &start, const QPointF &tip) const;

    QRectF m_rect;
};

#endif // VOTEITEM_H
