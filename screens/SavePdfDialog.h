#ifndef SAVEPDFDIALOG_H
#define SAVEPDFDIALOG_H

#include <QDialog>

class LineEdit;
class QLabel;

// Asks for the name of the PDF file the current pages are saved to in the local book folder.
// On OK the full path goes to Settings::m_strSavePdfPath; the dialog writes no file.
class SavePdfDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SavePdfDialog(QWidget *parent = nullptr);

    LineEdit *nameEdit() const { return m_FileName; }

    // The file name for a typed name (".pdf" appended when missing), or an empty string
    // when the name is empty, too long, or could leave the folder or name a device.
    static QString fileNameFor(const QString &typed);

public slots:
    void onOK();

private:
    LineEdit *m_FileName;
    QLabel *m_Hint;
};

#endif // SAVEPDFDIALOG_H
