#ifndef POINTERTOOL_H
#define POINTERTOOL_H

#include "pages/TaskTool.h"

class QGraphicsView;

// Drags the page view: the scroll bars follow the finger.
class PointerTool : public TaskTool
{
    Q_OBJECT
public:
    explicit PointerTool(QObject *parent = nullptr);

    bool press(const QPointF &point) override;
    bool move(const QPointF &point) override;
    bool release(const QPointF &point) override;

private:
    static QGraphicsView *pageView();
};

#endif // POINTERTOOL_H
