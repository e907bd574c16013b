#ifndef SCREENCOVER_H
#define SCREENCOVER_H

#include <QRect>

class QWidget;

// Screen areas for windows that must cover the screen, also where no window manager honours
// full-screen requests.
class ScreenCover
{
public:
    // The union of every screen's geometry (the primary screen's when there is only one).
    static QRect allScreens();
    // The screen the window is on, else the primary screen.
    static QRect screenOf(const QWidget *window);
};

#endif // SCREENCOVER_H
