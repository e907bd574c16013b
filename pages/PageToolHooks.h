#ifndef PAGETOOLHOOKS_H
#define PAGETOOLHOOKS_H

#include <QColor>
#include <functional>

class QGraphicsScene;

// Calls the page layer makes into the layers built on top of it: the drawing-tool
// manager fills in the tool hooks, the screens fill in the page row. An empty hook
// is skipped (or gives the stated fallback).
class PageToolHooks
{
public:
    // Ends the strokes still in progress in a scene, so they become its items.
    static std::function<void(QGraphicsScene *scene)> endStrokes;
    // The scene is about to delete its items: tools forget the temporary items
    // (and any open text entry) they hold in it.
    static std::function<void(QGraphicsScene *scene)> clearToolItems;
    // The current drawing colour; black when unset.
    static std::function<QColor()> currentColor;
    // The current page row of the screen of a mode (0 e-book, 1 e-note); unset gives no row.
    static std::function<int(int mode)> currentPageRow;

    static void endStrokesIn(QGraphicsScene *scene);
    static void clearItems(QGraphicsScene *scene);
    static QColor color();
};

#endif // PAGETOOLHOOKS_H
