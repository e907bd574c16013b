#ifndef PAGEITEMFACTORY_H
#define PAGEITEMFACTORY_H

#include <QString>

class QGraphicsItem;

// Makes the scene item of one item text: "3#" stroke, "5#" picture, "6#" text.
class PageItemFactory
{
public:
    // A new item that has read the text; null for any other prefix.
    static QGraphicsItem *fromText(const QString &itemText);
    // Whether fromText makes an item of the text.
    static bool makesItem(const QString &itemText);
};

#endif // PAGEITEMFACTORY_H
