#ifndef ITEMTAG_H
#define ITEMTAG_H

#include <QtGlobal>

class QGraphicsItem;

// A number that names one scene item for as long as it lives, kept in the item's data: what a
// copy of painted items (the canvas's ink layer, a thumbnail) remembers of them. Unlike the
// item's address, it is never given to another item.
class ItemTag
{
public:
    // The item's tag, given on first asking.
    static quint64 of(QGraphicsItem *item);
};

#endif // ITEMTAG_H
