#ifndef NOTICEBOX_H
#define NOTICEBOX_H

#include <QMessageBox>
#include <QString>

class QWidget;

// A message with an OK button over the parent's window. It does not wait for the answer, so
// it can be raised from a socket handler; the box deletes itself when closed.
class NoticeBox
{
public:
    static QMessageBox *show(QWidget *parent, const QString &title, const QString &text,
                             QMessageBox::Icon icon = QMessageBox::Warning);
};

#endif // NOTICEBOX_H
