// Program start to the first shown frame of the main window, next to a bare full-screen
// window started the same way. Each start is a fresh child process.
#include "app/MainWidget.h"
#include "link/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QProcess>
#include <QScreen>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// Ends the process as soon as a widget of the watched window has painted its first frame (the
// window itself may be covered whole by its children and never paint).
class FirstFrameWatcher : public QObject
{
public:
    QWidget *window = nullptr;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Paint && widget && widget->window() == window) {
            QMetaObject::invokeMethod(
                qApp,
                []() {
                    std::printf("frame\n");
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

int runChild(int argc, char **argv, bool mainWindow)
{
    QApplication app(argc, argv);
    FirstFrameWatcher watcher;
    if (mainWindow) {
        QTranslator translator;
        Settings *settings = Settings::instance();
        translator.load(settings->languageDir() + settings->readLanguageFile());
        app.installTranslator(&translator);
        app.setFont(QFont(QStringLiteral("Arial"), 13));
        MainWidget window;
        watcher.window = &window;
        app.installEventFilter(&watcher);
        window.setGeometry(QGuiApplication::primaryScreen()->geometry());
        window.showFullScreen();
        return app.exec();
    }
    QWidget window;
    watcher.window = &window;
    app.installEventFilter(&watcher);
    window.setGeometry(QGuiApplication::primaryScreen()->geometry());
    window.showFullScreen();
    return app.exec();
}

double medianStartMs(const QString &self, const QString &mode, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        QElapsedTimer timer;
        timer.start();
        child.start(self, {QStringLiteral("--child"), mode});
        if (!child.waitForFinished(30000) || !child.readAllStandardOutput().contains("frame")) {
            std::fprintf(stderr, "child %s did not show a frame\n", qPrintable(mode));
            return -1;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, qstrcmp(argv[2], "main") == 0);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 7;
    const double bare = medianStartMs(self, QStringLiteral("bare"), runs);
    const double main = medianStartMs(self, QStringLiteral("main"), runs);
    std::printf("startup to first frame: %.1f ms (reference: bare full-screen window %.1f ms), "
                "median of %d starts\n",
                main, bare, runs);
    return main < 0 || bare < 0 ? 1 : 0;
}
