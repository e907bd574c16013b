#include "screens/StayOnTopGuard.h"

#include "screens/ScreenCover.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

StayOnTopGuard::StayOnTopGuard(QWidget *window, AllowAbove allowAbove)
    : QObject(window), m_window(window), m_allowAbove(std::move(allowAbove))
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
    if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::WindowActivate)
        return QObject::eventFilter(watched, event);
    const QWidget *window = programWindow(watched);
    if (!window || window == m_window)
        return QObject::eventFilter(watched, event);
    const bool allowed = m_allowAbove && m_allowAbove(window);
    // A window allowed above that comes up stays there; when it goes, the guarded window is
    // on top again and takes the keyboard back.
    const bool comesUp = type == QEvent::Show && !allowed;
    const bool goes = type == QEvent::Hide && allowed;
    if (comesUp || goes || (type == QEvent::WindowActivate && !allowed)) {
        // A window that comes up also loses the keyboard to the lock; one that is merely
        // activated again is only covered, so two windows never take the focus in turn.
        m_bActivatePending = m_bActivatePending || comesUp || goes;
        if (!m_bRaisePending) {
            // After the other window has been mapped, so the raise comes last.
            m_bRaisePending = true;
            QTimer::singleShot(0, this, &StayOnTopGuard::onRaise);
        }
    }
    return QObject::eventFilter(watched, event);
}

const QWidget *StayOnTopGuard::programWindow(const QObject *watched)
{
    // Found by address: the filter sees objects of every library, and some (the web engine's)
    // carry no type information to ask them what they are.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window == watched)
            return window;
    }
    return nullptr;
}

void StayOnTopGuard::onRaise()
{
    const bool activate = m_bActivatePending;
    m_bRaisePending = false;
    m_bActivatePending = false;
    if (!m_bActive || !m_window->isVisible())
        return;
    raiseWindow(activate);
}

void StayOnTopGuard::raiseWindow(bool activate)
{
    m_window->raise();
    if (activate)
        m_window->activateWindow();
    if (!m_allowAbove)
        return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window != m_window && window->isVisible() && m_allowAbove(window))
            window->raise();
    }
}

void StayOnTopGuard::onScreensChanged()
{
    if (m_bActive)
        m_window->setGeometry(ScreenCover::allScreens());
}
