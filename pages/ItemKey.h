#ifndef ITEMKEY_H
#define ITEMKEY_H

#include <QByteArray>
#include <QString>

class QGraphicsItem;

// What a page item is known by when the teacher sends it again: pictures and texts by their
// id (the teacher moves them), strokes by the text the page stores for them, which any text
// of the same stroke reads to. Hashed, so a long stroke is not held twice.
class ItemKey
{
public:
    // Of an item text as a page stores it.
    static QByteArray ofText(const QString &itemText);
    // Of a stroke, picture or text item; empty for any other item.
    static QByteArray ofItem(const QGraphicsItem *item);
};

#endif // ITEMKEY_H
