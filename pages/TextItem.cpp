#include "pages/TextItem.h"

#include "pages/ItemText.h"
#include "pages/PageToolHooks.h"

#include <QDebug>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QUuid>

TextItem::TextItem() : m_strId(QUuid::createUuid().toString())
{
    const QColor color = PageToolHooks::color();
    QTextCursor cursor = textCursor();
    QTextCharFormat format;
    format.setForeground(QBrush(color, Qt::SolidPattern));
    cursor.mergeCharFormat(format);
    setTextCursor(cursor);
    setDefaultTextColor(color);
}

TextItem::~TextItem() = default;

QString TextItem::toString() const
{
    return ItemText::writeText(m_strId, pos(), textWidth(), boundingRect().height(), toHtml());
}

void TextItem::fromString(const QString &text)
{
    ItemText::Text parsed;
    if (!ItemText::readText(text, parsed))
        return;
    m_strId = parsed.id;
    if (!parsed.hasGeometry)
        return;
    setPos(parsed.pos);
    setTextWidth(parsed.textWidth);
    setHtml(parsed.html);
}

void TextItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsTextItem::mouseReleaseEvent(event);
}

void TextItem::focusOutEvent(QFocusEvent *)
{
    qDebug() << "focus out";
}
