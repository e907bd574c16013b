#include "screens/PageListWidget.h"

#include <QScrollBar>
#include <QTouchEvent>

PageListWidget::PageListWidget(QWidget *parent) : QListWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    // No keyboard focus: taking it would select the first row, which asks the teacher for it.
    setFocusPolicy(Qt::NoFocus);
    setFixedWidth(ListWidth);
    setMovement(QListView::Static);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

PageListWidget::~PageListWidget() = default;

bool PageListWidget::viewportEvent(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::TouchBegin && type != QEvent::TouchUpdate && type != QEvent::TouchEnd)
        return QAbstractItemView::viewportEvent(event);

    // Accepting the touch keeps its updates coming here instead of turning into a mouse drag.
    auto *touch = static_cast<QTouchEvent *>(event);
    touch->accept();
    const QList<QTouchEvent::TouchPoint> points = touch->touchPoints();
    for (const QTouchEvent::TouchPoint &point : points) {
        const QPoint p = point.pos().toPoint();
        switch (point.state()) {
        case Qt::TouchPointPressed:
            m_lastPos = p;
            m_pressPos = p;
            m_bScrolled = false;
            break;
        case Qt::TouchPointMoved: {
            const qreal d = m_lastPos.y() - p.y();
            QScrollBar *bar = verticalScrollBar();
            if (d > ScrollStep) {
                bar->setSliderPosition(bar->sliderPosition() + 1);
            } else if (d < -ScrollStep) {
                bar->setSliderPosition(bar->sliderPosition() - 1);
            } else {
                break;
            }
            m_lastPos = p;
            m_bScrolled = true;
            break;
        }
        case Qt::TouchPointReleased:
            if (!m_bScrolled && (QPointF(p) - m_pressPos).manhattanLength() < TapSlop)
                tapAt(m_pressPos.toPoint());
            break;
        default:
            break;
        }
    }
    return true;
}

void PageListWidget::tapAt(const QPoint &pos)
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    emit clicked(index);
}
