#ifndef CRMESSAGEBOX_H
#define CRMESSAGEBOX_H

#include <QDialog>

class QLabel;

// Modal Yes/No confirmation box placed over the middle of the main window.
// Accepted means Yes.
class CRMessageBox : public QDialog
{
    Q_OBJECT
public:
    explicit CRMessageBox(QWidget *parent);

    void setMessage(const QString &title, const QString &text);
    void centerOnMainWidget();

    QString message() const;

    // Lays out a message label over a Yes/No row on the dialog (shared with QuestionDlg).
    static QLabel *buildYesNo(QDialog *dialog, const QString &text, const QString &yes,
                              const QString &no);

private:
    QLabel *m_label;
};

#endif // CRMESSAGEBOX_H
