// Program start to the first shown frame of the main window, next to a bare full-screen
// window started the same way; and the shipped program (BENCH_APP) from its start to its first
// request to a class server on loopback. Each start is a fresh child process.
#include "app/MainWidget.h"
#include "common/LoopbackPeer.h"
#include "link/Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
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

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
    return median(times);
}

// The constructor's connection to the class server asks for the teacher list once it is up.
double medianProgramStartMs(const QString &program, int runs)
{
    QTemporaryDir home;
    LoopbackPeer server;
    const QString root = home.path() + QStringLiteral("/Corvane/");
    if (!home.isValid() || !server.listen() || !QDir().mkpath(root))
        return -1;
    {
        QSettings ini(root + QStringLiteral("setting.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("init/Ip"), QStringLiteral("127.0.0.1"));
        ini.setValue(QStringLiteral("init/Port"), QString::number(server.port()));
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        server.clear();
        QProcess child;
        child.setProcessEnvironment(env);
        child.setStandardOutputFile(QProcess::nullDevice());
        child.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        child.start(program, QStringList());
        const bool asked = server.waitFor("teacher@cXVlcnk=", 30000);
        times.push_back(timer.nsecsElapsed() / 1e6);
        child.kill();
        child.waitForFinished(5000);
        if (!asked) {
            std::fprintf(stderr, "the program did not reach the class server\n");
            return -1;
        }
    }
    return median(times);
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
    const QString program = qEnvironmentVariable("BENCH_APP");
    double shipped = 0;
    if (program.isEmpty()) {
        std::printf("shipped program: BENCH_APP not set, skipped\n");
    } else {
        shipped = medianProgramStartMs(program, runs);
        std::printf("shipped program, start to its first class-server request: %.1f ms "
                    "(reference: bare full-screen window %.1f ms), median of %d starts\n",
                    shipped, bare, runs);
    }
    return main < 0 || bare < 0 || shipped < 0 ? 1 : 0;
}
