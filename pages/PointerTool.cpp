#include "pages/PointerTool.h"

#include "link/Settings.h"
#include "pages/PageTarget.h"

#include <QGraphicsView>
#include <QScrollBar>

PointerTool::PointerTool(QObject *parent) : TaskTool(parent) {}

QGraphicsView *PointerTool::pageView()
{
    return PageTarget::pageView(Settings::instance()->m_nMode == 1 ? 1 : 0);
}

bool PointerTool::press(const QPointF &point)
{
    m_bPressed = true;
    QGraphicsView *view = pageView();
    if (!view)
        return true;
    const QPointF viewPoint = view->mapFromScene(point.toPoint());
    m_startPoint = viewPoint;
    m_currPoint = viewPoint;
    return true;
}

bool PointerTool::move(const QPointF &point)
{
    if (!m_bPressed)
        return false;
    QGraphicsView *view = pageView();
    if (!view)
        return true;
    const QPoint v = view->mapFromScene(point.toPoint());
    const int dx = int(v.x() - m_currPoint.x());
    const int dy = int(v.y() - m_currPoint.y());
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->value() - dx);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() - dy);
    m_currPoint = v;
    return true;
}

bool PointerTool::release(const QPointF &)
{
    const bool pressed = m_bPressed;
    m_bPressed = false;
    return pressed;
}
