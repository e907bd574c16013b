#ifndef NOTICEBOX_H
#define NOTICEBOX_H

#include <QString>

class QMessageBox;
class QWidget;

// A message with an OK button over the parent's window. It does not wait for the answer, so
// it can be raised from a socket handler; the box deletes itself when closed.
class NoticeBox
{
public:
    static QMessageBox *show(QWidget *parent, const QString &title, const QString &text);
};

#endif // NOTICEBOX_H
