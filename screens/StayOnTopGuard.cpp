#include "screens/StayOnTopGuard.h"

#include "screens/ScreenCover.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

StayOnTopGuard::StayOnTopGuard(QWidget *window) : QObject(window), m_window(window)
{
    connect(qApp, &QGuiApplication::screenAdded, this, &StayOnTopGuard::onScreensChanged);
    connect(qApp, &QGuiApplication::screenRemoved, this, &StayOnTopGuard::onScreensChanged);
    connect(qApp, &QGuiApplication::screenAdded, this, &StayOnTopGuard::watchScreens);
    watchScreens();
}

StayOnTopGuard::~StayOnTopGuard()
{
    if (m_bActive)
        qApp->removeEventFilter(this);
}

void StayOnTopGuard::watchScreens()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens)
        connect(screen, &QScreen::geometryChanged, this, &StayOnTopGuard::onScreensChanged,
                Qt::UniqueConnection);
}

void StayOnTopGuard::setActive(bool active)
{
    if (active == m_bActive)
        return;
    m_bActive = active;
    if (active)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool StayOnTopGuard::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::WindowActivate) && watched != m_window &&
        watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
        // A window that comes up also loses the keyboard to the lock; one that is merely
        // activated again is only covered, so two windows never take the focus in turn.
        m_bActivatePending = m_bActivatePending || type == QEvent::Show;
        if (!m_bRaisePending) {
            // After the other window has been mapped, so the raise comes last.
            m_bRaisePending = true;
            QTimer::singleShot(0, this, &StayOnTopGuard::onRaise);
        }
    }
    return QObject::eventFilter(watched, event);
}

void StayOnTopGuard::onRaise()
{
    const bool activate = m_bActivatePending;
    m_bRaisePending = false;
    m_bActivatePending = false;
    if (!m_bActive || !m_window->isVisible())
        return;
    m_window->raise();
    if (activate)
        m_window->activateWindow();
}

void StayOnTopGuard::onScreensChanged()
{
    if (m_bActive)
        m_window->setGeometry(ScreenCover::allScreens());
}
