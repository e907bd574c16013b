#ifndef SCREENPOINTERS_H
#define SCREENPOINTERS_H

class QWidget;

// Process-wide pointers to the main window and the screens other widgets reach.
// Each is set by that screen's constructor; a pointer reads null once its widget is gone,
// and a new widget may take the place of a destroyed one.
class ScreenPointers
{
public:
    static QWidget *mainWidget();
    static QWidget *localBooksWidget();
    static QWidget *displayWidget();
    static QWidget *eNoteWidget();

    // Each returns false (and keeps the held widget) while another live widget is held.
    static bool setMainWidget(QWidget *widget);
    static bool setLocalBooksWidget(QWidget *widget);
    static bool setDisplayWidget(QWidget *widget);
    static bool setENoteWidget(QWidget *widget);
};

#endif // SCREENPOINTERS_H
