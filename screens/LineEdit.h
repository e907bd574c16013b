#ifndef LINEEDIT_H
#define LINEEDIT_H

#include <QLineEdit>

class QPushButton;

// Text field with a button at its right end that starts the on-screen keyboard; the text keeps
// clear of the button.
class LineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit LineEdit(QWidget *parent = nullptr);

    QPushButton *keyboardButton() const { return m_btnKeyboard; }

public slots:
    void onBtnKeyboard();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPushButton *m_btnKeyboard;
};

#endif // LINEEDIT_H
