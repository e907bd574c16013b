#include "common/BenchLesson.h"

#include "app/MainWidget.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/PageView.h"
#include "screens/ENoteWidget.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {
const int kWaitMs = 10000;
} // namespace

BenchLesson::BenchLesson() = default;

BenchLesson::~BenchLesson() = default;

bool BenchLesson::start()
{
    if (!m_server.listen() || !m_teacher.listen() || !m_images.listen())
        return false;
    // Only loopback peers: the class server's address and port are ours.
    {
        QSettings ini(Settings::instance()->dataRoot() + QStringLiteral("setting.ini"),
                      QSettings::IniFormat);
        ini.setValue(QStringLiteral("init/Ip"), QStringLiteral("127.0.0.1"));
        ini.setValue(QStringLiteral("init/Port"), QString::number(m_server.port()));
    }
    TcpManager *tcp = TcpManager::instance();
    tcp->setTeacherPorts(m_teacher.port(), m_images.port());
    m_window = std::make_unique<MainWidget>();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        m_window->setGeometry(screen->geometry());
    m_window->showFullScreen();

    tcp->m_strStudentName = QStringLiteral("Bench");
    tcp->connectToTeacher(QStringLiteral("127.0.0.1"));
    if (!m_teacher.waitForConnection(kWaitMs) || !m_images.waitForConnection(kWaitMs) ||
        !m_teacher.waitFor(LoopbackPeer::framed("information@Bench"), kWaitMs))
        return false;
    return answer("query@status", "information@");
}

bool BenchLesson::answer(const QByteArray &wanted, const QByteArray &message)
{
    m_teacher.clear();
    m_teacher.write(LoopbackPeer::framed(message));
    return m_teacher.waitFor(LoopbackPeer::framed(wanted), kWaitMs);
}

bool BenchLesson::followNote(const QSize &page)
{
    if (!answer("query@enote#pagecount", "query@status#enote") ||
        !answer("query@enote#pageindex", "query@enote#pagecount#1"))
        return false;
    m_images.clear();
    m_teacher.write(LoopbackPeer::framed("query@enote#pageindex#0"));
    if (!m_images.waitFor("sync@enote#query#0", kWaitMs))
        return false;
    m_teacher.clear();
    m_images.write("sync@enote#0#" + QByteArray::number(page.width()) + ',' +
                   QByteArray::number(page.height()) + ",0,0");
    if (!m_teacher.waitFor(LoopbackPeer::framed("sync@enote#0"), kWaitMs))
        return false;
    m_teacher.write(LoopbackPeer::framed("sync@enote#end"));
    ENoteWidget *note = m_window->eNoteWidget();
    QDeadlineTimer deadline(kWaitMs);
    while (!note->pageView()->checkIsUpdate() || note->syncPage() >= 0) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

bool BenchLesson::followBook(const QString &bookName)
{
    return answer("query@ebook#bookpath", "query@status#ebook") &&
           answer("query@ebook#pageindex", "query@ebook#bookpath#" + bookName.toUtf8()) &&
           answer("sync@ebook#0", "query@ebook#pageindex#0");
}
