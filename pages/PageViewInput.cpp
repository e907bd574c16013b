// PageView's input: mouse, touch, pinch zoom and text entry, handed to the drawing tools.
#include "pages/PageView.h"

#include "pages/TaskToolManager.h"

#include <QDebug>
#include <QMouseEvent>
#include <QTouchEvent>
#include <QtMath>

#include <utility>

namespace {
float touchDistance(const QTouchEvent::TouchPoint &a, const QTouchEvent::TouchPoint &b)
{
    const int dx = qRound(a.pos().x()) - qRound(b.pos().x());
    const int dy = qRound(a.pos().y()) - qRound(b.pos().y());
    return float(qSqrt(qreal(dx * dx + dy * dy)));
}
} // namespace

void PageView::resetZoom()
{
    m_fScale = 1.0f;
    resetTransform();
    scale(1.0, 1.0);
}

QPointF PageView::scenePoint(const QPointF &viewportPos) const
{
    return mapToScene(QPoint(qRound(viewportPos.x()), qRound(viewportPos.y())));
}

// A page whose file could not be read takes no ink: it would never be saved.
bool PageView::takesInput() const
{
    return !m_document.currentUnreadable();
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    mouseDown(event, false);
}

// A press within the double-click time and distance comes as a double-click only.
void PageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mouseDown(event, true);
}

void PageView::mouseDown(QMouseEvent *event, bool doubleClick)
{
    if (!takesInput())
        return;
    // The press Qt makes from a text-mode touch must not close the entry it just opened.
    const bool textTouch = std::exchange(m_bTouchTextPress, false);
    const bool toTools = !(textTouch && event->source() == Qt::MouseEventSynthesizedByQt);
    if (toTools &&
        TaskToolManager::instance()->press(MouseTouchId, scenePoint(event->localPos()), &m_scene))
        return;
    if (doubleClick)
        QGraphicsView::mouseDoubleClickEvent(event);
    else
        QGraphicsView::mousePressEvent(event);
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    if (!takesInput())
        return;
    TaskToolManager *tools = TaskToolManager::instance();
    // No button held: the release went elsewhere (a modal view took it), the stroke is over.
    if (event->buttons() == Qt::NoButton) {
        if (tools->boundTool(MouseTouchId)) {
            tools->cancel(MouseTouchId);
            emit updateThunmbianl();
        }
        QGraphicsView::mouseMoveEvent(event);
        return;
    }
    if (!tools->move(MouseTouchId, scenePoint(event->localPos())))
        QGraphicsView::mouseMoveEvent(event);
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!takesInput())
        return;
    m_bTouchTextPress = false;
    if (!TaskToolManager::instance()->release(MouseTouchId, scenePoint(event->localPos())))
        QGraphicsView::mouseReleaseEvent(event);
    emit updateThunmbianl();
}

bool PageView::viewportEvent(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::TouchCancel) {
        // The touches are gone: their strokes end where they are.
        for (int id : qAsConst(m_touchIds))
            TaskToolManager::instance()->cancel(id);
        m_touchIds.clear();
        setSettling(false);
        return QGraphicsView::viewportEvent(event);
    }
    if (type != QEvent::TouchBegin && type != QEvent::TouchUpdate && type != QEvent::TouchEnd)
        return QGraphicsView::viewportEvent(event);

    auto *touch = static_cast<QTouchEvent *>(event);
    touch->accept();
    // The last finger up ends any pinch: the page is painted afresh at its scale.
    if (type == QEvent::TouchEnd)
        setSettling(false);
    m_bTouchTextPress = false;
    if (!takesInput())
        return true;
    const int mode = TaskToolManager::instance()->mode();
    if (mode == TaskToolManager::PointerMode && touch->touchPoints().size() == 2) {
        pinch(touch);
        return true;
    }
    if (mode == TaskToolManager::TextMode) {
        textEntry(touch);
        return QGraphicsView::viewportEvent(event);
    }
    touchToTools(touch);
    return true;
}

void PageView::touchToTools(const QTouchEvent *event)
{
    TaskToolManager *tools = TaskToolManager::instance();
    const QList<QTouchEvent::TouchPoint> points = event->touchPoints();
    for (const QTouchEvent::TouchPoint &point : points) {
        const QPointF pos = scenePoint(point.pos());
        switch (point.state()) {
        case Qt::TouchPointPressed:
            m_touchIds.insert(point.id());
            tools->press(point.id(), pos, &m_scene);
            break;
        case Qt::TouchPointMoved:
            tools->move(point.id(), pos);
            break;
        case Qt::TouchPointReleased:
            tools->release(point.id(), pos);
            m_touchIds.remove(point.id());
            emit updateThunmbianl();
            break;
        default:
            break;
        }
    }
}

void PageView::pinch(const QTouchEvent *event)
{
    const QList<QTouchEvent::TouchPoint> points = event->touchPoints();
    const QTouchEvent::TouchPoint &p0 = points.at(0);
    const QTouchEvent::TouchPoint &p1 = points.at(1);
    if (p1.state() == Qt::TouchPointPressed) {
        qDebug() << "zoom start";
        // A finger that was drawing or dragging before the pinch lets go of its tool.
        for (int id : {p0.id(), p1.id()}) {
            TaskToolManager::instance()->cancel(id);
            m_touchIds.remove(id);
        }
        m_bZooming = true;
        m_fZoomDistance = touchDistance(p0, p1);
        setSettling(true);
        return;
    }
    if (p0.state() == Qt::TouchPointReleased || p1.state() == Qt::TouchPointReleased) {
        qDebug() << "zoom end";
        m_bZooming = false;
        setSettling(false);
        return;
    }
    const float d = touchDistance(p0, p1);
    if (d > m_fZoomDistance) {
        m_fScale = float(m_fScale + 0.05);
        if (m_fScale > 2.0f)
            m_fScale = 2.0f;
    } else {
        m_fScale = float(m_fScale - 0.05);
        if (m_fScale < 1.0f)
            m_fScale = 1.0f;
    }
    resetTransform();
    scale(m_fScale, m_fScale);
    m_fZoomDistance = d;
}

void PageView::textEntry(const QTouchEvent *event)
{
    const QList<QTouchEvent::TouchPoint> points = event->touchPoints();
    if (points.size() == 1) {
        if (points.at(0).state() == Qt::TouchPointPressed) {
            TaskToolManager::instance()->press(points.at(0).id(), scenePoint(points.at(0).pos()),
                                               &m_scene);
            m_bTouchTextPress = true;
        }
        return;
    }
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
}
