#include "common/LoopbackPeer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>

LoopbackPeer::LoopbackPeer()
{
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
        while (QTcpSocket *next = m_server.nextPendingConnection()) {
            if (m_socket)
                m_socket->abort();
            m_socket = next;
            next->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            QObject::connect(next, &QTcpSocket::readyRead,
                             [this, next] { m_received += next->readAll(); });
        }
    });
}

bool LoopbackPeer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

bool LoopbackPeer::waitForConnection(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

bool LoopbackPeer::write(const QByteArray &bytes)
{
    if (!m_socket)
        return false;
    const bool ok = m_socket->write(bytes) == bytes.size();
    m_socket->flush();
    return ok;
}

QByteArray LoopbackPeer::frame(const QByteArray &word, const QByteArray &args)
{
    return word + QByteArray::number(args.size()) + '_' + args;
}

QByteArray LoopbackPeer::framed(const QByteArray &message)
{
    const int at = message.indexOf('@') + 1;
    return frame(message.left(at), message.mid(at));
}

bool LoopbackPeer::waitFor(const QByteArray &text, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_received.contains(text)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}
