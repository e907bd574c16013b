#include "support/DialogAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>

namespace {
const int kPollMs = 10;
}

DialogAnswer::DialogAnswer(const QString &button, int timeoutMs)
    : m_strButton(button), m_nPollsLeft(timeoutMs / kPollMs)
{
    connect(&m_Timer, &QTimer::timeout, this, &DialogAnswer::poll);
    m_Timer.start(kPollMs);
}

void DialogAnswer::poll()
{
    if (--m_nPollsLeft < 0) {
        // Nothing to answer in time: a modal box left open would hang the test, so it goes.
        m_Timer.stop();
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QDialog *>(top);
            if (dialog && dialog->isVisible() && dialog->isModal())
                dialog->reject();
        }
        return;
    }
    for (QWidget *top : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(top);
        if (!dialog || !dialog->isVisible())
            continue;
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
            if (button->objectName() != m_strButton && button->text() != m_strButton)
                continue;
            QStringList texts;
            for (QLabel *label : dialog->findChildren<QLabel *>())
                texts << label->text();
            m_strText = texts.join(QLatin1Char('\n'));
            m_strTitle = dialog->windowTitle();
            m_bAnswered = true;
            m_Timer.stop();
            button->click();
            return;
        }
    }
}
