#include "link/TeacherFileThread.h"

#include "link/PageImageHeader.h"
#include "link/Settings.h"

#include <QDebug>
#include <QSaveFile>
#include <QTcpSocket>

TeacherFileThread::TeacherFileThread(QObject *parent) : QThread(parent)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &TeacherFileThread::retryConnect);
}

TeacherFileThread::~TeacherFileThread()
{
    if (m_socket)
        m_socket->disconnect(this);
    resetReceive();
}

void TeacherFileThread::run() {}

void TeacherFileThread::connectToServer()
{
    m_bStarted = true;
    m_retryTimer.stop();
    const QString address = m_strTeacherIp;
    // Another teacher: the connection to the last one goes, with what was asked of it.
    if (m_socket && (address != m_strSocketIp || m_nPort != m_nSocketPort)) {
        qDebug() << "page-image channel moves from" << m_strSocketIp << "to" << address;
        dropSocket();
        dropRequests();
        m_bDown = true;
    }
    if (m_socket && m_socket->state() != QAbstractSocket::ConnectedState)
        dropSocket();
    if (!m_socket) {
        m_socket = new QTcpSocket(this);
        connect(m_socket, &QTcpSocket::readyRead, this, &TeacherFileThread::readFile);
        connect(m_socket, &QTcpSocket::connected, this, &TeacherFileThread::onConnected);
        connect(m_socket, &QTcpSocket::disconnected, this, &TeacherFileThread::onDisconnected);
        connect(m_socket, &QAbstractSocket::errorOccurred, this, &TeacherFileThread::onError);
        connect(m_socket, &QAbstractSocket::stateChanged, this, &TeacherFileThread::onStateChanged);
    }
    qDebug() << "file connect to " << address;
    if (m_socket->state() == QAbstractSocket::UnconnectedState) {
        m_strSocketIp = address;
        m_nSocketPort = m_nPort;
        m_socket->connectToHost(address, m_nPort, QIODevice::ReadWrite);
    }
}

void TeacherFileThread::dropSocket()
{
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
    resetReceive();
}

void TeacherFileThread::dropRequests()
{
    m_listCommand.clear();
    m_bWriteOnConnect = false;
}

bool TeacherFileThread::reconnect()
{
    dropRequests();
    if (!m_bStarted || !m_socket) {
        resetReceive();
        return false;
    }
    qDebug() << "page-image connection made again, what it still owed is dropped";
    dropSocket();
    m_bDown = true;
    connectToServer();
    return true;
}

void TeacherFileThread::close()
{
    qDebug() << "page-image channel closed";
    m_bStarted = false;
    m_bDown = false;
    m_retryTimer.stop();
    m_nRetryDelay = RetryDelayMs;
    dropRequests();
    if (m_socket)
        dropSocket();
    else
        resetReceive();
}

void TeacherFileThread::skipImage()
{
    if (!m_bRecvFile)
        return;
    qDebug() << "announced page image not asked for, dropped" << m_strFilePath;
    resetReceive();
}

void TeacherFileThread::sendCommand(const QByteArray &command)
{
    qDebug() << "sendCommand :" << command;
    m_listCommand.append(command);
    while (m_listCommand.size() > MaxQueuedCommands) {
        qDebug() << "sendCommand: oldest request dropped" << m_listCommand.first();
        m_listCommand.removeFirst();
    }
    writeFile();
}

// Writes the oldest queued request, one per call: the channel has no framing, so
// requests must not leave glued together. Bytes handed to a socket that is not connected
// would be lost with a connection that fails: the request waits for the connection instead.
// Requests queued before the channel was ever started wait for the next call.
void TeacherFileThread::writeFile()
{
    if (m_listCommand.isEmpty())
        return;
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        if (!m_bStarted)
            return;
        m_bWriteOnConnect = true;
        if (!m_socket || m_socket->state() == QAbstractSocket::UnconnectedState)
            connectToServer();
        return;
    }
    qDebug() << "writeFile " << m_listCommand.first();
    m_socket->write(m_listCommand.takeFirst());
    m_socket->flush();
}

void TeacherFileThread::readFile()
{
    if (m_socket)
        procFileData(m_socket->readAll());
}

void TeacherFileThread::onConnected()
{
    qDebug() << "file connected";
    m_retryTimer.stop();
    if (m_bDown) {
        // Nothing asked before is coming: what is still wanted is asked again.
        m_bDown = false;
        dropRequests();
        emit channelRestored();
        return;
    }
    if (m_bWriteOnConnect) {
        m_bWriteOnConnect = false;
        writeFile();
    }
}

// A connection that failed or dropped is made again after a pause; a socket this object
// drops itself no longer reports here.
void TeacherFileThread::onStateChanged(QAbstractSocket::SocketState state)
{
    if (state != QAbstractSocket::UnconnectedState || !m_bStarted)
        return;
    m_bDown = true;
    if (m_retryTimer.isActive())
        return;
    qDebug() << "page-image connection down, made again in" << m_nRetryDelay << "ms";
    m_retryTimer.start(m_nRetryDelay);
    m_nRetryDelay = qMin(2 * m_nRetryDelay, int(MaxRetryDelayMs));
}

void TeacherFileThread::retryConnect()
{
    if (!m_socket || m_socket->state() == QAbstractSocket::UnconnectedState)
        connectToServer();
}

void TeacherFileThread::onError(QAbstractSocket::SocketError error)
{
    qDebug() << "onError " << error;
}

void TeacherFileThread::onDisconnected()
{
    if (m_bRecvFile)
        qDebug() << "file connection lost while receiving" << m_strFilePath;
    resetReceive();
}

// Drops a partly received image; a partial file never replaces the old one.
void TeacherFileThread::resetReceive()
{
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
    m_bRecvFile = false;
    m_nFileSize = 0;
    m_nFileCurrRece = 0;
}

void TeacherFileThread::finishFile()
{
    m_bRecvFile = false;
    if (m_file && !m_file->commit())
        qDebug() << "enote image not saved" << m_strFilePath << m_file->errorString();
    m_file.reset();
    emit FileSyncComplete();
}

void TeacherFileThread::procFileData(const QByteArray &data)
{
    if (m_bRecvFile) {
        const qint64 count = qMin<qint64>(data.size(), m_nFileSize - m_nFileCurrRece);
        if (m_file && m_file->write(data.constData(), count) != count)
            qDebug() << "enote image write failed" << m_strFilePath;
        m_nFileCurrRece += count;
        m_nRetryDelay = RetryDelayMs; // the connection is of use
        qDebug() << "Syncing m_nFileCurrRece=" << m_nFileCurrRece;
        emit fileDataReceived(m_nFileCurrRece, m_nFileSize);
        if (m_nFileCurrRece >= m_nFileSize)
            finishFile();
        return;
    }

    qDebug() << "teacher File rece:" << data.left(PageImageHeader::MaxHeaderSize);
    PageImageHeader header;
    if (!PageImageHeader::parse(data, &header)) {
        qDebug() << "page image header dropped";
        return;
    }
    m_nRetryDelay = RetryDelayMs; // the connection is of use
    if (!header.withImage) {
        emit replacepage(header.page, header.width, header.height, false);
        return;
    }
    m_strFilePath = Settings::instance()->tempNotesDir() +
                    QStringLiteral("enote_%1.png").arg(qint64(header.page) + 1);
    m_file = std::make_unique<QSaveFile>(m_strFilePath);
    if (!m_file->open(QIODevice::WriteOnly)) {
        qDebug() << "enote image cannot be opened" << m_strFilePath;
        m_file.reset();
    }
    m_nFileSize = header.size;
    m_nFileCurrRece = 0;
    m_bRecvFile = true;
    emit replacepage(header.page, header.width, header.height, true);
}
