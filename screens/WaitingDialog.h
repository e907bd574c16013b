#ifndef WAITINGDIALOG_H
#define WAITINGDIALOG_H

#include <QWidget>
#include <memory>

class QLabel;
class QMovie;

// Small window playing the busy animation; owners show, hide and move it.
class WaitingDialog : public QWidget
{
    Q_OBJECT
public:
    explicit WaitingDialog(QWidget *parent = nullptr);
    ~WaitingDialog() override;

    QMovie *movie() const { return m_Movie.get(); }

private:
    std::unique_ptr<QMovie> m_Movie;
    QLabel *m_Label;
};

#endif // WAITINGDIALOG_H
