#include "pages/PageToolHooks.h"

std::function<void(QGraphicsScene *)> PageToolHooks::endStrokes;
std::function<void(QGraphicsScene *)> PageToolHooks::clearToolItems;
std::function<QColor()> PageToolHooks::currentColor;
std::function<int(int)> PageToolHooks::currentPageRow;

void PageToolHooks::endStrokesIn(QGraphicsScene *scene)
{
    if (endStrokes)
        endStrokes(scene);
}

void PageToolHooks::clearItems(QGraphicsScene *scene)
{
    if (clearToolItems)
        clearToolItems(scene);
}

QColor PageToolHooks::color()
{
    return currentColor ? currentColor() : QColor(Qt::black);
}
