#ifndef OPENBOOKTHREAD_H
#define OPENBOOKTHREAD_H

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QThread>

#include <atomic>

// Opens one book on a worker thread and hands its pages over one by one.
// Every run ends with exactly one of openComplete or openFail. The signals are
// emitted from the thread that owns this object (the GUI thread), where the
// page pixmaps are made.
class OpenBookThread : public QThread
{
    Q_OBJECT
public:
    explicit OpenBookThread(QObject *parent = nullptr);

    void stop() { m_bRun = false; }

    std::atomic<bool> m_bRun{true};
    QString m_strPath;

signals:
    void clearPageSignal();
    void addPageSignal(QPixmap pixmap);
    void openComplete(QString path);
    void openFail();

protected:
    void run() override;

private:
    void postClearPage();
    void postPage(const QImage &image);
    void postComplete(const QString &path);
    void postFail();
};

#endif // OPENBOOKTHREAD_H
