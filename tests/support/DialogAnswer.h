#ifndef DIALOGANSWER_H
#define DIALOGANSWER_H

#include <QObject>
#include <QString>
#include <QTimer>

// Answers the next dialog that shows up, as a person would: once a visible top-level dialog has
// a button of the given object name or caption, that button is clicked. Made before the code
// that runs the dialog modally; gives up after the time given, rejecting any modal dialog
// still open so that the test fails instead of hanging.
class DialogAnswer : public QObject
{
    Q_OBJECT
public:
    explicit DialogAnswer(const QString &button, int timeoutMs = 5000);

    bool answered() const { return m_bAnswered; }
    // The texts of the answered dialog's labels, joined by newlines, and its title.
    QString text() const { return m_strText; }
    QString title() const { return m_strTitle; }

private:
    void poll();

    QString m_strButton;
    QTimer m_Timer;
    int m_nPollsLeft;
    bool m_bAnswered = false;
    QString m_strText;
    QString m_strTitle;
};

#endif // DIALOGANSWER_H
