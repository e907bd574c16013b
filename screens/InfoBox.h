#ifndef INFOBOX_H
#define INFOBOX_H

#include <QString>

class QMessageBox;
class QWidget;

// A window-modal information box with one OK button that does not block its caller (the
// event loop, and with it the classroom link, runs on); it deletes itself when closed.
class InfoBox
{
public:
    static QMessageBox *show(QWidget *parent, const QString &title, const QString &text);
};

#endif // INFOBOX_H
