#include "screens/ChatWidget.h"

#include "link/TcpManager.h"
#include "screens/LineEdit.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

ChatWidget::ChatWidget(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::WindowModal);
    m_strPeerName = tr("Teacher");
    m_strMyName = tr("Me");

    auto *layout = new QVBoxLayout;
    auto *row = new QHBoxLayout;

    m_HistoryView = new QTextEdit;
    m_HistoryView->setFont(QFont(QStringLiteral("Arial"), 28));
    m_HistoryView->setReadOnly(true);
    m_HistoryView->setAcceptRichText(false);

    m_Input = new LineEdit;
    m_Input->setMinimumHeight(40);
    m_Input->setEchoMode(QLineEdit::Normal);

    auto *btnSend = new QPushButton(tr("Send"));
    btnSend->setObjectName(QStringLiteral("send"));
    btnSend->setFixedSize(70, 40);
    // The student may put the panel away; the next message brings it back.
    auto *btnClose = new QPushButton(tr("Close"));
    btnClose->setObjectName(QStringLiteral("close"));
    btnClose->setFixedSize(70, 40);

    row->addWidget(m_Input);
    row->addWidget(btnSend);
    row->addWidget(btnClose);
    layout->addWidget(m_HistoryView);
    layout->addLayout(row);
    setLayout(layout);

    connect(btnSend, SIGNAL(clicked()), this, SLOT(onSend()));
    connect(m_Input, SIGNAL(returnPressed()), this, SLOT(onSend()));
    connect(btnClose, SIGNAL(clicked()), this, SLOT(hide()));
    setFixedSize(500, 400);
}

void ChatWidget::setMyName(const QString &name)
{
    m_strMyName = name;
    m_strHistory.clear();
    m_HistoryView->clear();
}

void ChatWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::gray);
}

void ChatWidget::onChatting(const QString &text)
{
    if (!isVisible())
        show();
    qDebug() << "rece chat:" << text << m_HistoryView->verticalScrollBar()->width();
    appendLine(m_strPeerName, text);
}

void ChatWidget::onSend()
{
    const QString text = m_Input->text();
    if (text.isEmpty())
        return;
    TcpManager::instance()->sendChat(text);
    appendLine(m_strMyName, text);
    m_Input->clear();
}

void ChatWidget::appendLine(const QString &name, const QString &text)
{
    const QString line = name + QStringLiteral(": ") + text;
    // Appended as plain text at the end: no markup from the peer, and no re-layout of the
    // whole conversation on every message. The view has no empty line after the last one.
    QTextCursor cursor(m_HistoryView->document());
    cursor.movePosition(QTextCursor::End);
    if (!m_strHistory.isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);
    m_strHistory += line + QLatin1Char('\n');
    m_HistoryView->moveCursor(QTextCursor::End);
    QScrollBar *bar = m_HistoryView->verticalScrollBar();
    bar->setValue(bar->maximum());
}
