#ifndef CHATWIDGET_H
#define CHATWIDGET_H

#include <QString>
#include <QStringList>
#include <QWidget>

class LineEdit;
class QPushButton;
class QTextEdit;

// Chat panel with the teacher: the conversation above an input line with Send and Close.
// The teacher's texts are shown as plain text. A message is shown up to MaxMessageLength
// characters and the last MaxMessages messages are kept whole, however many lines each has, so
// that any message is laid out within a frame's time. Messages of very many lines are kept
// fewer: the view is never taller than MaxViewHeight pixels.
class ChatWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxMessageLength = 2000;
    static constexpr int MaxMessages = 200;
    static constexpr int MaxViewHeight = 1 << 22;

    explicit ChatWidget(QWidget *parent = nullptr);

    QString peerName() const { return m_strPeerName; }
    void setPeerName(const QString &name) { m_strPeerName = name; }
    QString myName() const { return m_strMyName; }
    // Starts a new conversation under another own name.
    void setMyName(const QString &name);
    // The messages kept, one line each: name, ": ", text.
    QString history() const;

    QTextEdit *historyView() const { return m_HistoryView; }
    LineEdit *input() const { return m_Input; }

public slots:
    void onChatting(const QString &text);
    void onSend();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static QString shownText(const QString &text);
    void appendLine(const QString &name, const QString &text);

    QTextEdit *m_HistoryView;
    LineEdit *m_Input;
    QStringList m_listHistory;
    QString m_strPeerName;
    QString m_strMyName;
};

#endif // CHATWIDGET_H
