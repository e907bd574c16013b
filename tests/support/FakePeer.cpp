#include "support/FakePeer.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTest>

FakePeer::FakePeer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakePeer::onNewConnection);
}

FakePeer::~FakePeer()
{
    if (m_socket)
        m_socket->disconnect(this);
}

bool FakePeer::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

bool FakePeer::listenOn(const QHostAddress &address, quint16 port)
{
    return address.isLoopback() && m_server.listen(address, port);
}

quint16 FakePeer::port() const
{
    return m_server.serverPort();
}

void FakePeer::stopListening()
{
    m_server.close();
}

void FakePeer::onNewConnection()
{
    while (QTcpSocket *next = m_server.nextPendingConnection()) {
        next->setParent(this);
        if (m_socket) {
            m_socket->disconnect(this);
            m_socket->abort();
            m_socket->deleteLater();
        }
        m_socket = next;
        ++m_nConnections;
        connect(next, &QTcpSocket::readyRead, this, &FakePeer::onReadyRead);
        connect(next, &QTcpSocket::disconnected, this, &FakePeer::clientDisconnected);
        emit clientConnected();
    }
}

void FakePeer::onReadyRead()
{
    if (!m_socket)
        return;
    const QByteArray bytes = m_socket->readAll();
    m_received.append(bytes);
    onBytes(bytes);
    emit bytesReceived(bytes);
}

void FakePeer::onBytes(const QByteArray &) {}

bool FakePeer::waitForConnection(int timeoutMs)
{
    return waitUntil([this] { return isConnected(); }, timeoutMs);
}

bool FakePeer::isConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool FakePeer::write(const QByteArray &bytes)
{
    if (!isConnected())
        return false;
    const bool ok = m_socket->write(bytes) == bytes.size();
    m_socket->flush();
    return ok;
}

void FakePeer::closeConnection()
{
    if (m_socket)
        m_socket->disconnectFromHost();
}

bool FakePeer::waitForDisconnected(int timeoutMs)
{
    return waitUntil([this] { return !isConnected(); }, timeoutMs);
}

void FakePeer::clearReceived()
{
    m_received.clear();
}

bool FakePeer::waitForBytes(int count, int timeoutMs)
{
    return waitUntil([this, count] { return m_received.size() >= count; }, timeoutMs);
}

bool FakePeer::waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(2);
    }
    return true;
}
