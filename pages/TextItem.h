#ifndef TEXTITEM_H
#define TEXTITEM_H

#include <QGraphicsTextItem>
#include <QString>

// A block of rich text placed on the page.
class TextItem : public QGraphicsTextItem
{
    Q_OBJECT
public:
    TextItem();
    ~TextItem() override;

    QString toString() const;
    void fromString(const QString &text);

    QString m_strId;

protected:
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

#endif // TEXTITEM_H
