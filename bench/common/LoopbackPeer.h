#ifndef LOOPBACKPEER_H
#define LOOPBACKPEER_H

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// The far end of a loopback connection for the benchmarks: listens on 127.0.0.1, takes the
// latest connection, keeps what it reads and writes raw bytes back.
class LoopbackPeer
{
public:
    LoopbackPeer();

    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    bool waitForConnection(int timeoutMs = 5000);
    bool write(const QByteArray &bytes);
    // "word@" + byte length + "_" + args, the teacher's frame.
    static QByteArray frame(const QByteArray &word, const QByteArray &args);
    // The frame of a message given as "word@args".
    static QByteArray framed(const QByteArray &message);

    const QByteArray &received() const { return m_received; }
    void clear() { m_received.clear(); }
    // Runs the event loop until the bytes read contain the text, at most timeoutMs.
    bool waitFor(const QByteArray &text, int timeoutMs = 5000);

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    QByteArray m_received;
};

#endif // LOOPBACKPEER_H
