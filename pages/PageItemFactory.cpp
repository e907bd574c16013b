#include "pages/PageItemFactory.h"

#include "pages/ImageItem.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"

namespace {
enum class Kind
{
    None,
    Stroke,
    Picture,
    Text
};

// The kind of item an item text makes, by its type digit.
Kind kindOf(const QString &itemText)
{
    if (itemText.startsWith(QLatin1String("3#")))
        return Kind::Stroke;
    if (itemText.startsWith(QLatin1String("5#")))
        return Kind::Picture;
    if (itemText.startsWith(QLatin1String("6#")))
        return Kind::Text;
    return Kind::None;
}

template <typename Item> QGraphicsItem *read(const QString &itemText)
{
    auto *item = new Item;
    item->fromString(itemText);
    return item;
}
} // namespace

QGraphicsItem *PageItemFactory::fromText(const QString &itemText)
{
    switch (kindOf(itemText)) {
    case Kind::Stroke:
        return read<PolylineItem>(itemText);
    case Kind::Picture:
        return read<ImageItem>(itemText);
    case Kind::Text:
        return read<TextItem>(itemText);
    case Kind::None:
        break;
    }
    return nullptr;
}

bool PageItemFactory::makesItem(const QString &itemText)
{
    return kindOf(itemText) != Kind::None;
}
