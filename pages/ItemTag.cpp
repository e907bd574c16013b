#include "pages/ItemTag.h"

#include <QGraphicsItem>
#include <QVariant>

namespace {
// Item data key of the tag; other keys of the program stay below it.
const int kTagKey = 0x7A61;
} // namespace

quint64 ItemTag::of(QGraphicsItem *item)
{
    static quint64 s_last = 0;
    const QVariant kept = item->data(kTagKey);
    if (kept.isValid())
        return kept.toULongLong();
    item->setData(kTagKey, ++s_last);
    return s_last;
}
