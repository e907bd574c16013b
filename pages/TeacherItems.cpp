#include "pages/TeacherItems.h"

#include "pages/ItemKey.h"

void TeacherItems::add(int page, const QGraphicsItem *item)
{
    const QByteArray key = ItemKey::ofItem(item);
    if (!key.isEmpty())
        m_keys[page].insert(key);
}

bool TeacherItems::contains(int page, const QString &itemText) const
{
    const auto found = m_keys.constFind(page);
    return found != m_keys.constEnd() && found->contains(ItemKey::ofText(itemText));
}

void TeacherItems::forgetPage(int page)
{
    m_keys.remove(page);
}

void TeacherItems::clear()
{
    m_keys.clear();
}
