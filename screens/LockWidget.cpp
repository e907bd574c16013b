#include "screens/LockWidget.h"

#include "screens/ScreenCover.h"
#include "screens/StayOnTopGuard.h"

#include <QCloseEvent>
#include <QPainter>

LockWidget::LockWidget(const QString &text, bool blink, QWidget *parent)
    : QWidget(parent), m_strMessage(text), m_bBlinking(blink)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // The teacher's warnings show over the lock screen.
    m_guard = new StayOnTopGuard(this, [](const QWidget *window) {
        const auto *view = qobject_cast<const LockWidget *>(window);
        return view && view->isBlinking();
    });
    if (m_bBlinking) {
        m_nCountdown = BlinkTicks;
        connect(&m_BlinkTimer, SIGNAL(timeout()), this, SLOT(onTimer()));
        m_BlinkTimer.start(BlinkInterval);
    }
}

void LockWidget::setMessage(const QString &text)
{
    m_strMessage = text;
    update();
}

bool LockWidget::isLocked() const
{
    return !m_bBlinking && isVisible();
}

void LockWidget::setVisible(bool visible)
{
    if (visible && isWindow()) {
        // A full-screen state would hold it to one screen, and without a window manager it
        // would not be resized at all: cover every screen by geometry instead.
        setWindowState(windowState() &
                       ~(Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized));
        setGeometry(ScreenCover::allScreens());
    }
    QWidget::setVisible(visible);
    if (!m_bBlinking && isWindow()) {
        m_guard->setActive(visible);
        if (visible)
            m_guard->raiseWindow(true);
    }
}

void LockWidget::onTimer()
{
    m_bShowText = !m_bShowText;
    update();
    --m_nCountdown;
    if (m_nCountdown < 1) {
        m_BlinkTimer.stop();
        close();
    }
}

void LockWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_bShowText)
        return;
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(48);
    painter.setFont(font);
    // Long messages wrap inside a margin instead of running off the screen.
    const int margin = width() / 20;
    painter.drawText(rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, m_strMessage);
}

void LockWidget::closeEvent(QCloseEvent *event)
{
    // The student cannot close the lock screen (close button, Alt+F4); the teacher hides it.
    if (isLocked())
        event->ignore();
    else
        QWidget::closeEvent(event);
}
