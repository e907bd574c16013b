#include "pages/ItemKey.h"

#include "pages/ImageItem.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"

#include <QCryptographicHash>

QByteArray ItemKey::ofText(const QString &itemText)
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

QByteArray ItemKey::ofItem(const QGraphicsItem *item)
{
    if (auto *stroke = dynamic_cast<const PolylineItem *>(item))
        return ofText(stroke->toString());
    if (auto *picture = dynamic_cast<const ImageItem *>(item))
        return ofText(QStringLiteral("5#") + picture->m_strId);
    if (auto *text = dynamic_cast<const TextItem *>(item))
        return ofText(QStringLiteral("6#") + text->m_strId + QStringLiteral("$$"));
    return QByteArray();
}
