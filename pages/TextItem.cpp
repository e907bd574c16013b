#include "pages/TextItem.h"

#include "pages/ItemText.h"
#include "pages/PageToolHooks.h"

#include <QDebug>
#include <QImage>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QUuid>
#include <QVariant>

namespace {
// Rich text comes from peers and page files: its images and other resources are never
// read from the file system (a name like "/dev/zero" would never end).
class ClosedTextDocument : public QTextDocument
{
public:
    explicit ClosedTextDocument(QObject *parent) : QTextDocument(parent) {}

protected:
    QVariant loadResource(int type, const QUrl &name) override
    {
        qDebug() << "TextItem: resource not loaded" << name;
        // A blank image, since a null one makes the text layout load the file itself;
        // remembered, so the name is not asked for again.
        QVariant none = QByteArray();
        if (type == QTextDocument::ImageResource) {
            QImage blank(1, 1, QImage::Format_ARGB32);
            blank.fill(Qt::transparent);
            none = blank;
        }
        addResource(type, name, none);
        return none;
    }
};
} // namespace

TextItem::TextItem() : m_strId(QUuid::createUuid().toString())
{
    setDocument(new ClosedTextDocument(this));
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
