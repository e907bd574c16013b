#include "screens/NoticeBox.h"

#include <QCoreApplication>
#include <QMessageBox>

QMessageBox *NoticeBox::show(QWidget *parent, const QString &title, const QString &text,
                             QMessageBox::Icon icon)
{
    auto *box = new QMessageBox(icon, title, text, QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("notice"));
    box->addButton(QCoreApplication::translate("NoticeBox", "OK"), QMessageBox::AcceptRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
