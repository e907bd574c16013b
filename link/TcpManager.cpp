#include "link/TcpManager.h"

#include "link/ClassServerConnection.h"
#include "link/ServerSettings.h"
#include "link/TeacherConnection.h"
#include "link/TeacherFileThread.h"

#include <QDebug>

TcpManager *TcpManager::instance()
{
    static TcpManager *s_instance = new TcpManager;
    return s_instance;
}

TcpManager::TcpManager(QObject *parent)
    : QObject(parent), m_server(std::make_unique<ClassServerConnection>(*this)),
      m_teacher(std::make_unique<TeacherConnection>(*this)),
      m_nImagePort(TeacherFileThread::DefaultPort)
{
    initIpandPort();
    QTcpSocket *server = &m_server->socket();
    StudentTcpSocket *teacher = &m_teacher->socket();
    connect(server, &QTcpSocket::readyRead, this, &TcpManager::onTcpDataSlot);
    connect(server, &QTcpSocket::connected, this, &TcpManager::onConnected);
    connect(server, &QTcpSocket::disconnected, this, &TcpManager::onDisconnected);
    connect(teacher, &QTcpSocket::readyRead, this, &TcpManager::onTeacherData);
    connect(teacher, &QTcpSocket::connected, this, &TcpManager::onTeacherDataConnected);
    connect(teacher, &QTcpSocket::disconnected, this, &TcpManager::onTeacherDataDisConnected);
    connect(&m_teacher->heartBeatTimer(), &QTimer::timeout, this, &TcpManager::onHeartBeatTimer);
    connect(&m_teacher->headerTimer(), &QTimer::timeout, this, &TcpManager::onHeaderWaitOver);
    // The page-image channel ends with the lesson.
    connect(this, &TcpManager::teacherKick, this, &TcpManager::closeImageChannel);
}

TcpManager::~TcpManager() = default;

void TcpManager::setTeacherPorts(quint16 dataPort, quint16 imagePort)
{
    m_teacher->setPort(dataPort);
    m_nImagePort = imagePort;
    if (m_fileThread)
        m_fileThread->setPort(imagePort);
}

void TcpManager::setHeartbeatClock(std::function<qint64()> clock)
{
    m_teacher->setClock(std::move(clock));
}

void TcpManager::setENoteClearPages(std::function<void()> clearPages)
{
    m_teacher->setENoteClearPages(std::move(clearPages));
}

StudentTcpSocket *TcpManager::teacherSocket()
{
    return &m_teacher->socket();
}

bool TcpManager::isHeartBeatActive() const
{
    return m_teacher->heartBeatTimer().isActive();
}

QTcpSocket *TcpManager::serverSocket()
{
    return &m_server->socket();
}

// ---- class server ----

void TcpManager::initIpandPort()
{
    QString ip;
    QString port;
    ServerSettings::read(&ip, &port);
    if (!ip.isEmpty())
        m_strIp = ip;
    if (!port.isEmpty())
        m_strPort = ServerSettings::validPort(port);
}

void TcpManager::connectToServer()
{
    m_server->connectToServer();
}

void TcpManager::disconnectFromServer()
{
    m_server->socket().close();
}

void TcpManager::logout()
{
    m_teacher->logout();
    closeImageChannel();
    m_server->socket().close();
}

void TcpManager::closeImageChannel()
{
    if (m_fileThread)
        m_fileThread->close();
}

void TcpManager::queryTeacherList()
{
    m_server->send("teacher@", QStringLiteral("query"));
}

void TcpManager::queryTeacherIp()
{
    m_server->send("teacherIP@", QStringLiteral("query"));
}

void TcpManager::queryBook()
{
    qDebug() << "queryBook";
    if (m_bServerConnected && m_bLogin)
        m_server->send("book@", QStringLiteral("query"));
}

void TcpManager::downloadBooks(const QString &strpath)
{
    m_server->downloadBooks(strpath);
}

void TcpManager::readyDownloadBooks(const QString &strpath)
{
    m_server->readyDownloadBooks(strpath);
}

void TcpManager::login(const QString &teacher, const QString &studentName, const QString &password)
{
    m_server->login(teacher, studentName, password);
}

void TcpManager::onConnected()
{
    m_server->onConnected();
}

void TcpManager::onDisconnected()
{
    m_server->onDisconnected();
}

void TcpManager::onTcpDataSlot()
{
    m_server->onReadyRead();
}

void TcpManager::retryDownLoad()
{
    m_server->retryDownload();
}

// ---- teacher connection ----

void TcpManager::connectToTeacher(const QString &teacherIp)
{
    m_strTeacherIp = teacherIp;
    m_teacher->connectTo(teacherIp);
    TeacherFileThread *channel = teacherFileThread();
    channel->m_strTeacherIp = teacherIp;
    channel->connectToServer();
}

TeacherFileThread *TcpManager::teacherFileThread()
{
    if (!m_fileThread) {
        m_fileThread = new TeacherFileThread(this);
        m_fileThread->setPort(m_nImagePort);
    }
    return m_fileThread;
}

void TcpManager::onTeacherDataConnected()
{
    m_teacher->onConnected();
}

void TcpManager::onTeacherDataDisConnected()
{
    m_teacher->onDisconnected();
}

void TcpManager::onHeartBeatTimer()
{
    m_teacher->onHeartBeat();
}

void TcpManager::onTeacherData()
{
    m_teacher->onReadyRead();
}

void TcpManager::onHeaderWaitOver()
{
    m_teacher->onHeaderWaitOver();
}

// ---- messages to the teacher ----

void TcpManager::sendStudentId()
{
    qDebug() << "sendStudentId " << m_strStudentName;
    m_teacher->send(QStringLiteral("information@") + m_strStudentName);
}

void TcpManager::queryTeacherStatus()
{
    if (m_bTeacherConnected)
        m_teacher->send(QStringLiteral("query@status"));
}

void TcpManager::queryBookPath()
{
    if (m_bTeacherConnected)
        m_teacher->send(QStringLiteral("query@ebook#bookpath"));
}

void TcpManager::queryBookPageIndex()
{
    if (m_bTeacherConnected)
        m_teacher->send(QStringLiteral("query@ebook#pageindex"));
}

void TcpManager::queryENotePageCount()
{
    if (m_bTeacherConnected && m_teacher->firstPageCountQuery())
        m_teacher->send(QStringLiteral("query@enote#pagecount"));
}

void TcpManager::queryENotePageIndex()
{
    if (m_bTeacherConnected)
        m_teacher->send(QStringLiteral("query@enote#pageindex"));
}

void TcpManager::queryBrowserUrl()
{
    m_teacher->send(QStringLiteral("query@browser#url"));
}

void TcpManager::sendStatus(const QString &status)
{
    m_teacher->send(QStringLiteral("status@") + status);
}

void TcpManager::sendBattery(const QString &battery)
{
    if (m_bTeacherConnected)
        m_teacher->send(QStringLiteral("battery@") + battery);
}

void TcpManager::sendHandsUp()
{
    m_teacher->send(QStringLiteral("handsup@"));
}

void TcpManager::sendApp(const QString &app)
{
    m_teacher->send(QStringLiteral("app@") + app);
}

void TcpManager::sendVote(const QString &vote)
{
    m_teacher->send(QStringLiteral("vote@") + vote);
}

void TcpManager::sendChat(const QString &chat)
{
    m_teacher->send(QStringLiteral("chat@") + chat);
}

void TcpManager::sendLockScreen(const QString &lock)
{
    m_teacher->send(QStringLiteral("lockscreen@") + lock);
}

void TcpManager::sendShareMode(const QString &mode)
{
    m_teacher->send(QStringLiteral("share@") + mode);
}

void TcpManager::syncEBook(int page)
{
    m_teacher->send(QStringLiteral("sync@ebook#%1").arg(page));
}

void TcpManager::syncENote(int page)
{
    m_teacher->send(QStringLiteral("sync@enote#%1").arg(page));
}

void TcpManager::queryENotePage(int page)
{
    if (m_fileThread)
        m_fileThread->sendCommand(QStringLiteral("sync@enote#query#%1").arg(page).toUtf8());
}

void TcpManager::readyENoteSync(int page)
{
    if (m_fileThread)
        m_fileThread->sendCommand(QStringLiteral("sync@enote#ready#%1").arg(page).toUtf8());
}

void TcpManager::sendTeacherData(const QString &message)
{
    m_teacher->send(message);
}

void TcpManager::sendShareData(const QString &message, bool force)
{
    if (force || m_bShare)
        m_teacher->send(message);
}
