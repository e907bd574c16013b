#include "link/TcpManager.h"

#include "link/BookName.h"
#include "link/DownloadAnswer.h"
#include "link/ServerAnswer.h"
#include "link/ServerSettings.h"
#include "link/Settings.h"
#include "link/TeacherFileThread.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QElapsedTimer>
#include <QHostAddress>

namespace {
constexpr qint64 kTeacherReadBuffer = 4 * 1024 * 1024;
constexpr int kBareWordWaitMs = 150;
const QByteArray kBareHeart = QByteArrayLiteral("heart@");

qint64 monotonicMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}
} // namespace

TcpManager *TcpManager::instance()
{
    static TcpManager *s_instance = new TcpManager;
    return s_instance;
}

TcpManager::TcpManager(QObject *parent)
    : QObject(parent), m_nImagePort(TeacherFileThread::DefaultPort), m_clock(monotonicMs)
{
    initIpandPort();
    m_teacherSocket.setReadBufferSize(kTeacherReadBuffer);
    connect(&m_serverSocket, &QTcpSocket::readyRead, this, &TcpManager::onTcpDataSlot);
    connect(&m_serverSocket, &QTcpSocket::connected, this, &TcpManager::onConnected);
    connect(&m_serverSocket, &QTcpSocket::disconnected, this, &TcpManager::onDisconnected);
    connect(&m_teacherSocket, &QTcpSocket::readyRead, this, &TcpManager::onTeacherData);
    connect(&m_teacherSocket, &QTcpSocket::connected, this, &TcpManager::onTeacherDataConnected);
    connect(&m_teacherSocket, &QTcpSocket::disconnected, this,
            &TcpManager::onTeacherDataDisConnected);
    connect(&m_heartBeatTimer, &QTimer::timeout, this, &TcpManager::onHeartBeatTimer);
    m_bareWordTimer.setSingleShot(true);
    m_bareWordTimer.setInterval(kBareWordWaitMs);
    connect(&m_bareWordTimer, &QTimer::timeout, this, &TcpManager::onBareWordTimeout);
}

TcpManager::~TcpManager()
{
    // The sockets close while they are destroyed; their signals must not reach us then.
    m_serverSocket.disconnect(this);
    m_teacherSocket.disconnect(this);
    m_heartBeatTimer.disconnect(this);
    m_bareWordTimer.disconnect(this);
}

void TcpManager::setTeacherPorts(quint16 dataPort, quint16 imagePort)
{
    m_nTeacherPort = dataPort;
    m_nImagePort = imagePort;
    if (m_fileThread)
        m_fileThread->setPort(imagePort);
}

void TcpManager::setHeartbeatClock(std::function<qint64()> clock)
{
    m_clock = clock ? std::move(clock) : std::function<qint64()>(monotonicMs);
}

void TcpManager::setENoteClearPages(std::function<void()> clearPages)
{
    m_clearENotePages = std::move(clearPages);
}

qint64 TcpManager::now() const
{
    return m_clock();
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
    qDebug() << "m_strIp=" << m_strIp << " m_strPort=" << m_strPort;
    m_serverSocket.connectToHost(QHostAddress(m_strIp),
                                 ServerSettings::validPort(m_strPort).toUShort(),
                                 QIODevice::ReadWrite);
}

void TcpManager::disconnectFromServer()
{
    m_serverSocket.close();
}

void TcpManager::logout()
{
    // Only a live teacher connection can end in a kick; one still being made is dropped
    // silently, or it would come up and its drop would start a reconnect.
    m_bKick = m_teacherSocket.state() == QAbstractSocket::ConnectedState;
    if (m_bKick)
        m_teacherSocket.close();
    else
        m_teacherSocket.abort();
    m_serverSocket.close();
}

void TcpManager::sendServerCommand(const char *word, const QString &argument)
{
    m_serverSocket.write(ServerAnswer::encode(word, argument));
    m_serverSocket.flush();
}

void TcpManager::queryTeacherList()
{
    sendServerCommand("teacher@", QStringLiteral("query"));
}

void TcpManager::queryTeacherIp()
{
    sendServerCommand("teacherIP@", QStringLiteral("query"));
}

void TcpManager::queryBook()
{
    qDebug() << "queryBook";
    if (m_bServerConnected && m_bLogin)
        sendServerCommand("book@", QStringLiteral("query"));
}

void TcpManager::downloadBooks(const QString &strpath)
{
    qDebug() << "downloadBooks strpath=" << strpath;
    m_strRequestedPath = strpath;
    sendServerCommand("download@", strpath);
}

void TcpManager::readyDownloadBooks(const QString &strpath)
{
    qDebug() << "readyDownloadBooks strpath=" << strpath;
    m_bDownloading = true;
    sendServerCommand("download@", QStringLiteral("ready#") + strpath);
}

void TcpManager::login(const QString &teacher, const QString &studentName, const QString &password)
{
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Md5).toHex());
    if (!m_bServerConnected) {
        m_strTeacher = teacher;
        m_strStudentName = studentName;
        m_strPassword = hash;
        m_bLoginPending = true;
        connectToServer();
        return;
    }
    sendLogin(teacher, studentName, hash);
}

void TcpManager::sendLogin(const QString &teacher, const QString &studentName, const QString &hash)
{
    qDebug() << "start login " << teacher << studentName;
    sendServerCommand("login@", teacher + QLatin1Char(',') + studentName + QLatin1Char(',') + hash);
    m_strStudentName = studentName;
}

void TcpManager::onConnected()
{
    qDebug() << "onConnected to server";
    m_bServerConnected = true;
    m_bRetry = false;
    m_nRetryCount = 2;
    if (m_bLoginPending) {
        m_bLoginPending = false;
        const QString hash = m_strPassword;
        m_strPassword.clear();
        sendLogin(m_strTeacher, m_strStudentName, hash);
        return;
    }
    emit connecttoServerResult(true);
}

void TcpManager::onDisconnected()
{
    qDebug() << "server disconnected";
    m_bServerConnected = false;
    m_bLogin = false;
    if (m_bDownloading || m_download.isOpen()) {
        qDebug() << "server connection lost during download" << m_strDownloadFile;
        m_download.cancel();
        m_bDownloading = false;
        emit DownloadResult(false);
    }
    m_strRequestedPath.clear();
    emit loginFail();
    emit changeServerStatus(false);
}

void TcpManager::onTcpDataSlot()
{
    QByteArray data = m_serverSocket.readAll();
    if (m_bDownloading && m_download.isOpen()) {
        const qint64 used = writeBookBytes(data);
        if (used >= data.size())
            return;
        data.remove(0, static_cast<int>(used));
    }
    handleServerAnswer(data);
}

void TcpManager::handleServerAnswer(const QByteArray &data)
{
    qDebug() << "rece = " << data.left(512);
    const ServerAnswer answer = ServerAnswer::parse(data);
    switch (answer.kind) {
    case ServerAnswer::Teacher:
        emit updateTeacherList(answer.text.split(QLatin1Char(',')));
        break;
    case ServerAnswer::Login:
        if (answer.text == QLatin1String("success")) {
            m_bLogin = true;
            emit sendLoginResult(true);
            emit changeServerStatus(true);
        } else {
            emit sendLoginResult(false);
        }
        break;
    case ServerAnswer::Book:
        emit querybookResult(answer.text);
        break;
    case ServerAnswer::Download:
        handleDownloadAnswer(answer.text);
        break;
    case ServerAnswer::TeacherIp:
        emit queryTeacherIpResult(answer.text);
        break;
    case ServerAnswer::Unknown:
        break;
    }
}

void TcpManager::handleDownloadAnswer(const QString &text)
{
    const DownloadAnswer answer = DownloadAnswer::parse(text);
    if (answer.kind == DownloadAnswer::Ignored)
        return;
    if (m_strRequestedPath.isEmpty() || m_download.isOpen() ||
        (answer.kind != DownloadAnswer::Failed && answer.path != m_strRequestedPath)) {
        qDebug() << "download answer without a matching request ignored" << text.left(256);
        return;
    }
    m_strRequestedPath.clear();
    const QString local =
        answer.kind == DownloadAnswer::Offer
            ? BookName::localPath(Settings::instance()->localBookDir(), answer.path)
            : QString();
    if (answer.kind == DownloadAnswer::Offer && local.isEmpty())
        qDebug() << "download name refused" << answer.path;
    else if (answer.kind == DownloadAnswer::BadSize)
        qDebug() << "download answer with a bad size" << text.left(256);
    if (local.isEmpty()) {
        emit DownloadResult(false);
        return;
    }
    m_strDownloadFile = local;
    if (!m_download.open(local, answer.size)) {
        qDebug() << "m_downloadFile open failed, strpath = " << answer.path;
        emit DownloadResult(false);
        return;
    }
    if (!m_bRetry)
        m_nRetryCount = 2;
    m_strDownloadPath = answer.path;
    readyDownloadBooks(answer.path);
}

// Writes at most the announced remainder; returns the bytes taken from data.
qint64 TcpManager::writeBookBytes(const QByteArray &data)
{
    qint64 used = 0;
    const BookDownload::Step step = m_download.write(data, &used);
    const int total = static_cast<int>(m_download.total());
    const int received = static_cast<int>(m_download.received());
    qDebug() << "downloading m_nFileCurrRece=" << received << "total=" << total;
    if (step == BookDownload::Partial) {
        emit downloadPdfProgress(total, received);
        return used;
    }
    m_bDownloading = false;
    if (step == BookDownload::Failed) {
        qDebug() << "book download failed" << m_strDownloadFile;
        emit DownloadResult(false);
        return used;
    }
    qDebug() << "downloading finish";
    emit downloadPdfComplete(m_strDownloadFile);
    emit downloadPdfProgress(total, received);
    return used;
}

void TcpManager::retryDownLoad()
{
    qDebug() << "retryDownLoad " << m_strDownloadPath << m_nRetryCount;
    m_bRetry = true;
    --m_nRetryCount;
    if (m_strDownloadPath.isEmpty())
        return;
    if (m_nRetryCount >= 0)
        downloadBooks(m_strDownloadPath);
    else
        emit DownloadResult(false);
}

// ---- teacher connection ----

void TcpManager::connectToTeacher(const QString &teacherIp)
{
    m_strTeacherIp = teacherIp;
    m_teacherSocket.connectToHost(QHostAddress(teacherIp), m_nTeacherPort, QIODevice::ReadWrite);
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
    qDebug() << "teacher data socket connected";
    m_decoder.clear();
    m_bKick = false;
    m_nLastReceiveTime = now();
    sendStudentId();
}

void TcpManager::onTeacherDataDisConnected()
{
    m_bTeacherConnected = false;
    m_bENotePageCountAsked = false;
    m_heartBeatTimer.stop();
    m_decoder.clear();
    qDebug() << "teacher socket disconnected";
    if (Settings::instance()->m_bReconnecting)
        return;
    m_bShare = false;
    if (!m_bKick) {
        emit teacherReconnect();
        return;
    }
    m_bKick = false;
    qDebug() << "emit teacher kick";
    emit teacherKick();
}

void TcpManager::onHeartBeatTimer()
{
    const qint64 silence = now() - m_nLastReceiveTime;
    if (silence <= HeartBeatInterval)
        return;
    if (silence <= 3 * HeartBeatInterval) {
        sendFramed(QStringLiteral("heart@"));
        return;
    }
    m_heartBeatTimer.stop();
    // abort, not close: a silent teacher may never take the bytes still queued for it.
    m_teacherSocket.abort();
}

void TcpManager::onTeacherData()
{
    m_nLastReceiveTime = now();
    m_bareWordTimer.stop();
    m_decoder.append(m_teacherSocket.readAll());
    parseTeacherData();
}

// Hands out every complete frame of the buffer in arrival order; a loop, not recursion.
void TcpManager::parseTeacherData()
{
    TeacherFrameDecoder::Frame frame;
    for (;;) {
        switch (m_decoder.next(frame)) {
        case TeacherFrameDecoder::Result::Frame:
            handleTeacherFrame(frame.word, frame.args);
            break;
        case TeacherFrameDecoder::Result::NeedMore:
            if (m_decoder.holdsBareWord(kBareHeart))
                m_bareWordTimer.start();
            return;
        case TeacherFrameDecoder::Result::Undecodable:
            qDebug() << "teacher data not a command, dropped";
            return;
        case TeacherFrameDecoder::Result::TooLong:
            qDebug() << "teacher frame longer than" << TeacherFrameDecoder::MaxLength
                     << "bytes, connection aborted";
            m_teacherSocket.abort();
            return;
        }
    }
}

// No length followed "heart@" in time: it was sent unframed. Other words wait for their
// length however late it comes, so a header split after its "@" is never misread.
void TcpManager::onBareWordTimeout()
{
    TeacherFrameDecoder::Frame frame;
    if (m_decoder.takeBareWord(kBareHeart, frame))
        handleTeacherFrame(frame.word, frame.args);
}

void TcpManager::handleTeacherFrame(const QByteArray &word, const QByteArray &args)
{
    // Commands whose whole argument text goes to one signal.
    struct TextCommand
    {
        const char *word;
        void (TcpManager::*signal)(QString);
    };
    static const TextCommand textCommands[] = {
        {"line@", &TcpManager::lineData},       {"moveimage@", &TcpManager::moveImage},
        {"clear@", &TcpManager::receClearPage}, {"browser@", &TcpManager::browserCommand},
        {"chat@", &TcpManager::receChat},       {"warning@", &TcpManager::receWarnning},
        {"lockscreen@", &TcpManager::receLock}, {"sharevote@", &TcpManager::receshareVoteCmd},
        {"rotate@", &TcpManager::receRotateCmd}};

    qDebug() << "rece teacher data :" << word << args.left(256);
    for (const TextCommand &command : textCommands) {
        if (word == command.word) {
            emit(this->*command.signal)(TeacherFrameDecoder::argumentText(args));
            return;
        }
    }
    if (word == "query@") {
        handleQuery(args);
    } else if (word == "closechat@") {
        emit receCloseChat();
    } else if (word == "vote@") {
        qDebug() << "receVote " << args;
        emit receVote(TeacherFrameDecoder::argumentText(args));
    } else if (word == "share@") {
        handleShare(args);
    } else if (word == "kick@") {
        if (args == "1")
            m_bKick = true;
    } else if (word == "sync@") {
        if (args.endsWith("#end"))
            emit lineSyncEnd(TeacherFrameDecoder::argumentText(args.left(args.indexOf('#'))));
    } else if (word == "preview@") {
        if (args == "query")
            emit getPreview();
    } else if (word == "information@") {
        handleInformation();
    } else if (word == "heart@") {
        if (args.isEmpty())
            sendFramed(QStringLiteral("heart@student"));
    } else {
        qDebug() << "unknown teacher command skipped" << word;
    }
}

void TcpManager::handleQuery(const QByteArray &args)
{
    const QStringList fields = TeacherFrameDecoder::argumentFields(args, '#');
    if (fields.size() < 2)
        return;
    const QString &kind = fields.at(0);
    if (kind == QLatin1String("status"))
        emit queryTeacherStatusResult(fields.at(1));
    else if (fields.size() == 3 && kind == QLatin1String("ebook"))
        emit queryTeacherbookResult(fields);
    else if (fields.size() == 3 && kind == QLatin1String("enote"))
        emit queryTeacherENoteResult(fields);
    else if (fields.size() == 4 && kind == QLatin1String("enote"))
        emit receAddPage(fields);
}

void TcpManager::handleShare(const QByteArray &args)
{
    const bool on = args == "1" || args == "2";
    sendShareMode(on ? QStringLiteral("1") : QStringLiteral("0"));
    m_bShare = on;
    emit receShareMode(TeacherFrameDecoder::argumentText(args).toInt());
}

// The teacher accepted the student; the flag comes first, as the receivers rely on it.
void TcpManager::handleInformation()
{
    m_bTeacherConnected = true;
    m_nLastReceiveTime = now();
    m_heartBeatTimer.start(HeartBeatInterval);
    emit sendTeacherConnectedRet(true);
    if (m_clearENotePages)
        m_clearENotePages();
    queryTeacherStatus();
    Settings::instance()->m_bReconnecting = false;
}

// ---- messages to the teacher ----

void TcpManager::sendFramed(const QString &message)
{
    m_teacherSocket.writeFramed(message.toUtf8());
    m_teacherSocket.flush();
}

void TcpManager::sendStudentId()
{
    qDebug() << "sendStudentId " << m_strStudentName;
    sendFramed(QStringLiteral("information@") + m_strStudentName);
}

void TcpManager::queryTeacherStatus()
{
    if (m_bTeacherConnected)
        sendFramed(QStringLiteral("query@status"));
}

void TcpManager::queryBookPath()
{
    if (m_bTeacherConnected)
        sendFramed(QStringLiteral("query@ebook#bookpath"));
}

void TcpManager::queryBookPageIndex()
{
    if (m_bTeacherConnected)
        sendFramed(QStringLiteral("query@ebook#pageindex"));
}

void TcpManager::queryENotePageCount()
{
    if (!m_bTeacherConnected || m_bENotePageCountAsked)
        return;
    m_bENotePageCountAsked = true;
    sendFramed(QStringLiteral("query@enote#pagecount"));
}

void TcpManager::queryENotePageIndex()
{
    if (m_bTeacherConnected)
        sendFramed(QStringLiteral("query@enote#pageindex"));
}

void TcpManager::queryBrowserUrl()
{
    sendFramed(QStringLiteral("query@browser#url"));
}

void TcpManager::sendStatus(const QString &status)
{
    sendFramed(QStringLiteral("status@") + status);
}

void TcpManager::sendBattery(const QString &battery)
{
    if (m_bTeacherConnected)
        sendFramed(QStringLiteral("battery@") + battery);
}

void TcpManager::sendHandsUp()
{
    sendFramed(QStringLiteral("handsup@"));
}

void TcpManager::sendApp(const QString &app)
{
    sendFramed(QStringLiteral("app@") + app);
}

void TcpManager::sendVote(const QString &vote)
{
    sendFramed(QStringLiteral("vote@") + vote);
}

void TcpManager::sendChat(const QString &chat)
{
    sendFramed(QStringLiteral("chat@") + chat);
}

void TcpManager::sendLockScreen(const QString &lock)
{
    sendFramed(QStringLiteral("lockscreen@") + lock);
}

void TcpManager::sendShareMode(const QString &mode)
{
    sendFramed(QStringLiteral("share@") + mode);
}

void TcpManager::syncEBook(int page)
{
    sendFramed(QStringLiteral("sync@ebook#%1").arg(page));
}

void TcpManager::syncENote(int page)
{
    sendFramed(QStringLiteral("sync@enote#%1").arg(page));
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
    sendFramed(message);
}

void TcpManager::sendShareData(const QString &message, bool force)
{
    if (force || m_bShare)
        sendFramed(message);
}
