#ifndef TST_BROWSER_SUPPORT_H
#define TST_BROWSER_SUPPORT_H

#include <QHostAddress>
#include <QMap>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

// A web server on 127.0.0.1: answers GET requests with the page registered for the path (query
// included), 404 otherwise, and keeps the requested paths in order.
class LocalWebServer : public QObject
{
public:
    LocalWebServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &LocalWebServer::onConnection);
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QString base() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    void setPage(const QString &path, const QByteArray &html) { m_pages.insert(path, html); }
    QStringList requests() const { return m_requests; }

private:
    void onConnection()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRead(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void onRead(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        if (pending.size() > 65536) {
            socket->abort();
            return;
        }
        const int end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> request = pending.left(pending.indexOf("\r\n")).split(' ');
        m_pending.remove(socket);
        const QString path = request.size() == 3 ? QString::fromLatin1(request.at(1)) : QString();
        m_requests << path;
        const bool found = m_pages.contains(path);
        const QByteArray body = found ? m_pages.value(path) : QByteArray("<h1>Not found</h1>");
        socket->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                      QByteArray("Content-Type: text/html; charset=utf-8\r\nContent-Length: ") +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QString, QByteArray> m_pages;
    QMap<QTcpSocket *, QByteArray> m_pending;
    QStringList m_requests;
};

#endif // TST_BROWSER_SUPPORT_H
