#ifndef QUESTIONDLG_H
#define QUESTIONDLG_H

#include <QDialog>

// Modal Yes/No box asking whether to exit. Accepted means Yes.
class QuestionDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionDlg(QWidget *parent);
};

#endif // QUESTIONDLG_H
