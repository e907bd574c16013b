#include "screens/LineEdit.h"

#include "platform/OnScreenKeyboard.h"

#include <QIcon>
#include <QPushButton>
#include <QResizeEvent>

namespace {
const int kButtonWidth = 32;
}

LineEdit::LineEdit(QWidget *parent) : QLineEdit(parent)
{
    m_btnKeyboard = new QPushButton(this);
    m_btnKeyboard->setMinimumWidth(kButtonWidth);
    m_btnKeyboard->setMaximumWidth(48);
    m_btnKeyboard->setIcon(QIcon(QStringLiteral(":/res/res/keyboard.svg")));
    m_btnKeyboard->setIconSize(QSize(kButtonWidth, kButtonWidth));
    m_btnKeyboard->setFocusPolicy(Qt::NoFocus);
    // Typed text stays clear of the button.
    setTextMargins(0, 0, kButtonWidth, 0);
    connect(m_btnKeyboard, SIGNAL(clicked()), this, SLOT(onBtnKeyboard()));
}

void LineEdit::onBtnKeyboard()
{
    // A failed start is logged by the launcher; a hardware keyboard still works.
    OnScreenKeyboard::start();
}

void LineEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    const int h = height();
    m_btnKeyboard->resize(kButtonWidth, h);
    m_btnKeyboard->setIconSize(QSize(kButtonWidth, h));
    m_btnKeyboard->move(width() - kButtonWidth, 0);
}
