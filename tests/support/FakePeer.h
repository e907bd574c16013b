#ifndef FAKEPEER_H
#define FAKEPEER_H

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A peer on 127.0.0.1 for tests: accepts connections (the latest one is the current),
// keeps every byte it reads and writes raw bytes back.
class FakePeer : public QObject
{
    Q_OBJECT
public:
    // How long a wait lasts at most unless told otherwise: long enough for a loaded machine.
    static constexpr int kWaitMs = 10000;

    explicit FakePeer(QObject *parent = nullptr);
    ~FakePeer() override;

    bool listen(quint16 port = 0);
    // Listens on another loopback address (127.x.y.z), to tell peers apart by address.
    bool listenOn(const QHostAddress &address, quint16 port = 0);
    quint16 port() const;
    void stopListening();

    bool waitForConnection(int timeoutMs = kWaitMs);
    bool isConnected() const;
    QTcpSocket *socket() const { return m_socket; }
    int connectionCount() const { return m_nConnections; }

    // Writes and flushes raw bytes on the current connection.
    bool write(const QByteArray &bytes);
    // Closes the current connection (the client sees a drop).
    void closeConnection();
    bool waitForDisconnected(int timeoutMs = kWaitMs);

    QByteArray received() const { return m_received; }
    void clearReceived();
    bool waitForBytes(int count, int timeoutMs = kWaitMs);

    // Runs the event loop until the condition holds or the time is up.
    static bool waitUntil(const std::function<bool()> &condition, int timeoutMs = kWaitMs);

signals:
    void clientConnected();
    void clientDisconnected();
    void bytesReceived(QByteArray bytes);

protected:
    virtual void onBytes(const QByteArray &bytes);

private:
    void onNewConnection();
    void onReadyRead();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    QByteArray m_received;
    int m_nConnections = 0;
};

#endif // FAKEPEER_H
