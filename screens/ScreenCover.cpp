#include "screens/ScreenCover.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

QRect ScreenCover::allScreens()
{
    QRect area;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens)
        area = area.united(screen->geometry());
    return area;
}

QRect ScreenCover::screenOf(const QWidget *window)
{
    QScreen *screen = nullptr;
    if (window && window->windowHandle())
        screen = window->windowHandle()->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}
