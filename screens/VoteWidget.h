#ifndef VOTEWIDGET_H
#define VOTEWIDGET_H

#include <QDialog>

class QLabel;
class ToolbarButton;

// Vote panel: the student picks an answer 1 to 6 and sends it to the teacher. The answer goes
// out as its digit, whatever the language shows on the panel.
class VoteWidget : public QDialog
{
    Q_OBJECT
public:
    explicit VoteWidget(QWidget *parent = nullptr);

    QLabel *answerLabel() const { return m_AnswerLabel; }
    // The chosen digit, 0 while none is chosen.
    int answer() const { return m_nAnswer; }

public slots:
    void onSend();
    void onBtn1();
    void onBtn2();
    void onBtn3();
    void onBtn4();
    void onBtn5();
    void onBtn6();
    void SetButtonImage(ToolbarButton *button, const QString &path);

private:
    void choose(int digit);

    QLabel *m_AnswerLabel;
    int m_nAnswer = 0;
};

#endif // VOTEWIDGET_H
