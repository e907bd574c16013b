#include "screens/NoticeBox.h"

#include <QCoreApplication>
#include <QMessageBox>

QMessageBox *NoticeBox::show(QWidget *parent, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("notice"));
    box->addButton(QCoreApplication::translate("NoticeBox", "OK"), QMessageBox::AcceptRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
