#include "pages/TextEdit.h"

#include "pages/TaskToolManager.h"

#include <QFontMetrics>

TextEdit::TextEdit(QWidget *parent) : QLineEdit(parent)
{
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Text,
                 QBrush(TaskToolManager::instance()->color(), Qt::SolidPattern));
    setPalette(pal);
    resize(20, fontMetrics().height() + 10);
    connect(this, SIGNAL(textEdited(QString)), this, SLOT(onTextEdited(QString)));
}

void TextEdit::keyPressEvent(QKeyEvent *event)
{
    QLineEdit::keyPressEvent(event);
}

void TextEdit::onTextEdited(const QString &text)
{
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.horizontalAdvance(text) + metrics.horizontalAdvance(QStringLiteral("WW")),
           height());
}
