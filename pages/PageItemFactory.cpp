#include "pages/PageItemFactory.h"

#include "pages/ImageItem.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"

namespace {
template <typename Item> QGraphicsItem *read(const QString &itemText)
{
    auto *item = new Item;
    item->fromString(itemText);
    return item;
}
} // namespace

QGraphicsItem *PageItemFactory::fromText(const QString &itemText)
{
    if (itemText.startsWith(QLatin1String("3#")))
        return read<PolylineItem>(itemText);
    if (itemText.startsWith(QLatin1String("5#")))
        return read<ImageItem>(itemText);
    if (itemText.startsWith(QLatin1String("6#")))
        return read<TextItem>(itemText);
    return nullptr;
}

bool PageItemFactory::makesItem(const QString &itemText)
{
    return itemText.startsWith(QLatin1String("3#")) || itemText.startsWith(QLatin1String("5#")) ||
           itemText.startsWith(QLatin1String("6#"));
}
