#include "pages/TeacherItems.h"

#include <QCryptographicHash>

QByteArray TeacherItems::key(const QString &itemText)
{
    QString key = itemText;
    if (itemText.startsWith(QLatin1String("5#"))) {
        key = itemText.section(QLatin1Char('#'), 0, 1);
    } else if (itemText.startsWith(QLatin1String("6#"))) {
        const int end = itemText.indexOf(QLatin1String("$$"));
        if (end > 0)
            key = itemText.left(end);
    }
    const QByteArray bytes = QByteArray::fromRawData(
        reinterpret_cast<const char *>(key.constData()), key.size() * int(sizeof(QChar)));
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

void TeacherItems::add(int page, const QString &itemText)
{
    m_keys[page].insert(key(itemText));
}

bool TeacherItems::contains(int page, const QString &itemText) const
{
    const auto found = m_keys.constFind(page);
    return found != m_keys.constEnd() && found->contains(key(itemText));
}

void TeacherItems::forgetPage(int page)
{
    m_keys.remove(page);
}

void TeacherItems::clear()
{
    m_keys.clear();
}
