#include "screens/StayOnTopGuard.h"

#include "screens/ScreenCover.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
// Events through which a person acts on a window.
bool isInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::Gesture:
    case QEvent::GestureOverride:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    case QEvent::Close:
        return event->spontaneous(); // the window system's close button or keys
    default:
        return false;
    }
}
} // namespace

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
    if (isInput(event)) {
        if (takesInput(watched))
            return false;
        // Taken here: a key overridden so that no shortcut acts on it, a close refused.
        event->setAccepted(type != QEvent::Close);
        return true;
    }
    if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::WindowActivate &&
        type != QEvent::ZOrderChange)
        return QObject::eventFilter(watched, event);
    const QWidget *window = programWindow(watched);
    if (!window || window == m_window)
        return QObject::eventFilter(watched, event);
    const bool allowed = allowedAbove(window);
    // A window allowed above that comes up stays there; when it goes, the guarded window is
    // on top again and takes the keyboard back.
    const bool comesUp = type == QEvent::Show && !allowed;
    const bool goes = type == QEvent::Hide && allowed;
    const bool covers =
        (type == QEvent::WindowActivate || type == QEvent::ZOrderChange) && !allowed;
    if (comesUp || goes || covers) {
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

bool StayOnTopGuard::allowedAbove(const QWidget *window) const
{
    return m_allowAbove && m_allowAbove(window);
}

bool StayOnTopGuard::takesInput(QObject *watched) const
{
    // By address, as in programWindow.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        // The window system's side of a window hands its input on to the window's widgets,
        // which are judged here in turn.
        if (window->windowHandle() == watched)
            return true;
        if (window != m_window && !allowedAbove(window))
            continue;
        for (const QObject *object = watched; object; object = object->parent()) {
            if (object == window)
                return true;
        }
    }
    return false;
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
        if (window != m_window && window->isVisible() && allowedAbove(window))
            window->raise();
    }
}

void StayOnTopGuard::onScreensChanged()
{
    if (m_bActive)
        m_window->setGeometry(ScreenCover::allScreens());
}
