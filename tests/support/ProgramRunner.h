#ifndef PROGRAMRUNNER_H
#define PROGRAMRUNNER_H

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The real program binary (path in CORVANE_APP) started on the test's X display with a data
// folder of its own, driven with xdotool as a person would drive it: find its window, click,
// type, press keys. Stopped when the runner goes.
class ProgramRunner
{
public:
    ProgramRunner();
    ~ProgramRunner();

    // The program's data folder ("<data home>/Corvane/"), made on construction.
    QString dataRoot() const;
    // "setting.ini" in the data folder, group "init".
    bool writeSettings(const QString &ip, quint16 port, const QString &studentName = QString());
    QString readSetting(const QString &key) const;

    bool start(const QStringList &arguments = QStringList());
    bool isRunning() const;
    // Ends the program (terminate, then kill) and waits for it.
    void stop(int timeoutMs = 3000);
    // Everything the program wrote to stdout and stderr so far.
    QByteArray output();

    // Waits until the program shows a window; gives the geometry of its largest visible one.
    bool waitForWindow(QRect *geometry, int timeoutMs = 10000);

    // Geometries of the program's visible windows (main window, dialogs, lock screen).
    QList<QRect> windows() const;
    // Waits until a visible window of that size shows; its geometry, or an empty rect.
    QRect waitForWindowOfSize(const QSize &size, int timeoutMs = 3000) const;

    bool click(const QPoint &at);
    // Left button down at the first point, moved through the others, up at the last.
    bool drag(const QList<QPoint> &points);
    bool type(const QString &text);
    bool key(const QString &keysym);

    static QRect screenGeometry();
    // The whole X screen as it is shown now.
    static QImage grabScreen();
    // Runs xdotool with the arguments; its standard output, or a null array on failure.
    static QByteArray xdotool(const QStringList &arguments, int timeoutMs = 5000);

private:
    QTemporaryDir m_dataHome;
    QProcess m_process;
    QByteArray m_output;
};

#endif // PROGRAMRUNNER_H
