#ifndef TEXTEDIT_H
#define TEXTEDIT_H

#include <QLineEdit>

// The line edit placed in the page scene for text entry; it grows with its text.
class TextEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void onTextEdited(const QString &text);
};

#endif // TEXTEDIT_H
