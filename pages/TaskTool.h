#ifndef TASKTOOL_H
#define TASKTOOL_H

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>

#include <QGraphicsScene>

// One drawing tool serving one touch point for the length of a stroke.
class TaskTool : public QObject
{
    Q_OBJECT
public:
    explicit TaskTool(QObject *parent = nullptr);
    ~TaskTool() override;

    virtual void setWidth(int width);
    virtual void setColor(const QColor &color);
    virtual bool press(const QPointF &point) = 0;
    virtual bool move(const QPointF &point) = 0;
    virtual bool release(const QPointF &point) = 0;

    int touchId() const { return m_nTouchId; }
    void setTouchId(int id) { m_nTouchId = id; }
    QGraphicsScene *scene() const { return m_scene; }
    void setScene(QGraphicsScene *scene) { m_scene = scene; }
    bool isPressed() const { return m_bPressed; }
    int width() const { return m_nWidth; }
    QColor color() const { return m_color; }
    QPointF currentPoint() const { return m_currPoint; }
    QList<QPointF> points() const { return m_points; }
    // Ends a stroke without drawing it (its scene is being emptied).
    void abandon();

protected:
    bool m_bPressed = false;
    int m_nTouchId = -1;
    int m_nWidth = 0;
    QColor m_color;
    QPointF m_startPoint;
    QPointF m_currPoint;
    QList<QPointF> m_points;
    QPointer<QGraphicsScene> m_scene;
};

#endif // TASKTOOL_H
