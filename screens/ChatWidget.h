#ifndef CHATWIDGET_H
#define CHATWIDGET_H

#include <QString>
#include <QWidget>

class LineEdit;
class QPushButton;
class QTextEdit;

// Chat panel with the teacher: the whole conversation above an input line with Send and Close.
// The teacher's texts are shown as plain text.
class ChatWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ChatWidget(QWidget *parent = nullptr);

    QString peerName() const { return m_strPeerName; }
    void setPeerName(const QString &name) { m_strPeerName = name; }
    QString myName() const { return m_strMyName; }
    // Starts a new conversation under another own name.
    void setMyName(const QString &name);
    QString history() const { return m_strHistory; }

    QTextEdit *historyView() const { return m_HistoryView; }
    LineEdit *input() const { return m_Input; }

public slots:
    void onChatting(const QString &text);
    void onSend();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void appendLine(const QString &name, const QString &text);

    QTextEdit *m_HistoryView;
    LineEdit *m_Input;
    QString m_strHistory;
    QString m_strPeerName;
    QString m_strMyName;
};

#endif // CHATWIDGET_H
