#ifndef LIVESEGMENT_H
#define LIVESEGMENT_H

#include "pages/InkBuffer.h"
#include "pages/StrokePath.h"

#include <QColor>
#include <QGraphicsItem>
#include <QObject>

// The ink of one stroke in progress, drawn as the stroke items it becomes will draw it: the
// same curve (StrokePath), one coat however often it crosses itself. In a view, each span is
// filled once into a buffer in the view's pixels (InkBuffer), so a move costs what its own
// span costs, however long the stroke; painted anywhere else (a preview, a picture of the
// page), the whole curve is filled at once. Being a QObject, a tool can hold it through a
// QPointer and notices when the scene has deleted it.
class LiveSegment : public QObject, public QGraphicsItem
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    // Over the page's items, as the stroke will be once added, and under the vote chart.
    static constexpr qreal kLiveZ = 999;

    LiveSegment(const QColor &color, int width);
    ~LiveSegment() override;

    void addPoint(const QPointF &point);
    QColor color() const { return m_color; }
    int width() const { return m_nWidth; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    QRectF spanRect(const StrokePath::Span &span) const;
    InkBuffer::Coat coatOf(const QVector<StrokePath::Span> &spans) const;
    QPainterPath outlineOf(const QVector<StrokePath::Span> &spans) const;
    QPainterPath wholeOutline() const;
    void fillBuffer(const QTransform &toDevice, const QSize &deviceSize);

    QColor m_color;
    int m_nWidth;
    StrokePath m_line;
    InkBuffer m_buffer;
    QRectF m_bounds;
    QRectF m_endRect;
    QVector<StrokePath::Span> m_lastSettled;
    mutable QPainterPath m_whole;
    mutable bool m_bWholeMade = false;
};

#endif // LIVESEGMENT_H
