#include "screens/ScreenPointers.h"

#include <QDebug>
#include <QPointer>
#include <QWidget>

namespace {
enum Slot
{
    MainSlot,
    LocalBooksSlot,
    DisplaySlot,
    ENoteSlot,
    SlotCount
};

QPointer<QWidget> &slot(Slot which)
{
    static QPointer<QWidget> s_slots[SlotCount];
    return s_slots[which];
}

bool setSlot(Slot which, QWidget *widget, const char *name)
{
    QPointer<QWidget> &held = slot(which);
    if (held && held != widget) {
        qDebug() << "ScreenPointers: " << name << "already set, kept";
        return false;
    }
    held = widget;
    return true;
}
} // namespace

QWidget *ScreenPointers::mainWidget()
{
    return slot(MainSlot);
}
QWidget *ScreenPointers::localBooksWidget()
{
    return slot(LocalBooksSlot);
}
QWidget *ScreenPointers::displayWidget()
{
    return slot(DisplaySlot);
}
QWidget *ScreenPointers::eNoteWidget()
{
    return slot(ENoteSlot);
}

bool ScreenPointers::setMainWidget(QWidget *widget)
{
    return setSlot(MainSlot, widget, "main window");
}

bool ScreenPointers::setLocalBooksWidget(QWidget *widget)
{
    return setSlot(LocalBooksSlot, widget, "local books screen");
}

bool ScreenPointers::setDisplayWidget(QWidget *widget)
{
    return setSlot(DisplaySlot, widget, "e-book screen");
}

bool ScreenPointers::setENoteWidget(QWidget *widget)
{
    return setSlot(ENoteSlot, widget, "e-note screen");
}
