#include "support/ProgramRunner.h"

#include "support/FakePeer.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSettings>

namespace {
QRect windowGeometry(const QByteArray &window)
{
    // "--shell" prints WINDOW=, X=, Y=, WIDTH=, HEIGHT= lines.
    const QByteArray out = ProgramRunner::xdotool(
        {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString(window)});
    QRect rect;
    for (const QByteArray &line : out.split('\n')) {
        const int eq = line.indexOf('=');
        const QByteArray key = line.left(eq);
        const int value = line.mid(eq + 1).toInt();
        if (key == "X")
            rect.moveLeft(value);
        else if (key == "Y")
            rect.moveTop(value);
        else if (key == "WIDTH")
            rect.setWidth(value);
        else if (key == "HEIGHT")
            rect.setHeight(value);
    }
    return rect;
}
} // namespace

ProgramRunner::ProgramRunner()
{
    QDir().mkpath(dataRoot());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

ProgramRunner::~ProgramRunner()
{
    stop();
}

QString ProgramRunner::dataRoot() const
{
    return m_dataHome.path() + QStringLiteral("/Corvane/");
}

bool ProgramRunner::writeSettings(const QString &ip, quint16 port, const QString &studentName)
{
    QSettings ini(dataRoot() + QStringLiteral("setting.ini"), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("init"));
    ini.setValue(QStringLiteral("Ip"), ip);
    ini.setValue(QStringLiteral("Port"), QString::number(port));
    if (!studentName.isEmpty())
        ini.setValue(QStringLiteral("StudentName"), studentName);
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

QString ProgramRunner::readSetting(const QString &key) const
{
    QSettings ini(dataRoot() + QStringLiteral("setting.ini"), QSettings::IniFormat);
    return ini.value(QStringLiteral("init/") + key).toString();
}

bool ProgramRunner::start(const QStringList &arguments)
{
    const QString program = qEnvironmentVariable("CORVANE_APP");
    if (program.isEmpty() || !m_dataHome.isValid())
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_process.setProcessEnvironment(env);
    m_process.start(program, arguments);
    return m_process.waitForStarted(5000);
}

bool ProgramRunner::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

void ProgramRunner::stop(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(timeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(timeoutMs);
    }
    output();
}

QByteArray ProgramRunner::output()
{
    m_output += m_process.readAll();
    return m_output;
}

bool ProgramRunner::waitForWindow(QRect *geometry, int timeoutMs)
{
    QRect best;
    FakePeer::waitUntil(
        [&] {
            for (const QRect &rect : windows()) {
                if (rect.width() * rect.height() > best.width() * best.height())
                    best = rect;
            }
            return !best.isEmpty();
        },
        timeoutMs);
    if (geometry)
        *geometry = best;
    return !best.isEmpty();
}

QList<QRect> ProgramRunner::windows() const
{
    QList<QRect> found;
    if (m_process.state() != QProcess::Running)
        return found;
    const QByteArray ids =
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                 QString::number(m_process.processId())});
    for (const QByteArray &id : ids.split('\n')) {
        const QRect rect = id.isEmpty() ? QRect() : windowGeometry(id);
        if (!rect.isEmpty())
            found << rect;
    }
    return found;
}

QRect ProgramRunner::waitForWindowOfSize(const QSize &size, int timeoutMs) const
{
    QRect match;
    FakePeer::waitUntil(
        [&] {
            for (const QRect &rect : windows()) {
                if (rect.size() == size)
                    match = rect;
            }
            return !match.isEmpty();
        },
        timeoutMs);
    return match;
}

bool ProgramRunner::click(const QPoint &at)
{
    return !xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                     QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")})
                .isNull();
}

bool ProgramRunner::drag(const QList<QPoint> &points)
{
    if (points.isEmpty())
        return false;
    // One xdotool run: each move is its own pointer motion, a little apart in time.
    QStringList args;
    const auto moveTo = [&args](const QPoint &at) {
        args << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(at.x())
             << QString::number(at.y()) << QStringLiteral("sleep") << QStringLiteral("0.02");
    };
    moveTo(points.first());
    args << QStringLiteral("mousedown") << QStringLiteral("1");
    for (const QPoint &at : points.mid(1))
        moveTo(at);
    args << QStringLiteral("mouseup") << QStringLiteral("1");
    return !xdotool(args, 10000).isNull();
}

bool ProgramRunner::type(const QString &text)
{
    return !xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
                     QStringLiteral("--"), text})
                .isNull();
}

bool ProgramRunner::key(const QString &keysym)
{
    return !xdotool({QStringLiteral("key"), QStringLiteral("--"), keysym}).isNull();
}

QRect ProgramRunner::screenGeometry()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QImage ProgramRunner::grabScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32)
                  : QImage();
}

QByteArray ProgramRunner::xdotool(const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QByteArray();
    QByteArray out = process.readAllStandardOutput();
    // Success with nothing to print is an empty, not a null, array.
    return out.isNull() ? QByteArray("") : out;
}
