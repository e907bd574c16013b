#include "screens/QuestionDlg.h"

#include "screens/CRMessageBox.h"

QuestionDlg::QuestionDlg(QWidget *parent) : QDialog(parent)
{
    setWindowModality(Qt::WindowModal);
    CRMessageBox::buildYesNo(this, tr("Are you sure to exit?"), tr("Yes"), tr("No"));
    setStyleSheet(QStringLiteral("QDialog {border:2px solid gray;}"));
}
