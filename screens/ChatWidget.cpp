#include "screens/ChatWidget.h"

#include "link/TcpManager.h"
#include "screens/LineEdit.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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
    m_HistoryView->document()->setMaximumBlockCount(MaxMessages);

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
    m_listHistory.clear();
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
    qDebug() << "rece chat:" << text.left(64) << "length" << text.size()
             << m_HistoryView->verticalScrollBar()->width();
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

QString ChatWidget::history() const
{
    return m_listHistory.isEmpty() ? QString() : m_listHistory.join(QLatin1Char('\n')) + '\n';
}

// Every kind of line break as '\n', so that a message is one block of the view, whatever breaks
// the peer sent.
QString ChatWidget::shownText(const QString &text)
{
    // Breaks of two characters become one: twice the length shown is enough to look at.
    QString shown = text.left(2 * MaxMessageLength + 2);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar &c : shown) {
        switch (c.unicode()) {
        case '\r':
        case QChar::LineSeparator:
        case QChar::ParagraphSeparator:
        case 0xfdd0: // the text document's frame marks
        case 0xfdd1:
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    if (shown.size() > MaxMessageLength) {
        int cut = MaxMessageLength;
        if (shown.at(cut - 1).isHighSurrogate())
            --cut;
        shown = shown.left(cut) + QChar(0x2026); // an ellipsis marks the cut
    }
    return shown;
}

void ChatWidget::appendLine(const QString &name, const QString &text)
{
    const QString line = name + QStringLiteral(": ") + shownText(text);
    // Appended as plain text at the end: no markup from the peer, and no re-layout of the
    // whole conversation on every message. One block a message, its lines kept apart by line
    // separators, so that the view's block limit drops whole messages, as the history does.
    // The view has no empty line after the last one.
    QTextCursor cursor(m_HistoryView->document());
    cursor.movePosition(QTextCursor::End);
    if (!m_listHistory.isEmpty())
        cursor.insertBlock();
    cursor.insertText(QString(line).replace(QLatin1Char('\n'), QChar::LineSeparator));
    m_listHistory.append(line);
    if (m_listHistory.size() > MaxMessages)
        m_listHistory.removeFirst();
    // Text laid out past 2^23 pixels of height hangs the layout: the view is kept under half of
    // that, so that the next message, of however many lines, still fits. Older messages go
    // first, from the view and the history alike.
    QTextDocument *document = m_HistoryView->document();
    while (m_listHistory.size() > 1 && document->size().height() > MaxViewHeight) {
        QTextCursor first(document->begin());
        first.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        first.removeSelectedText();
        m_listHistory.removeFirst();
    }
    m_HistoryView->moveCursor(QTextCursor::End);
    QScrollBar *bar = m_HistoryView->verticalScrollBar();
    bar->setValue(bar->maximum());
}
