#ifndef TEACHERCONNECTION_H
#define TEACHERCONNECTION_H

#include "link/StudentTcpSocket.h"
#include "link/TcpManager.h"
#include "link/TeacherFrameDecoder.h"

#include <QByteArray>
#include <QString>
#include <QTimer>

#include <functional>

// The teacher data connection of TcpManager (port 59988): its socket, the frame reader,
// the heartbeat and what a dropped connection means. Each frame goes to TeacherFrameHandler;
// the flags and signals it changes are TcpManager's.
class TeacherConnection
{
public:
    static constexpr quint16 DefaultPort = TcpManager::TeacherDataPort;
    static constexpr int HeartBeatInterval = TcpManager::HeartBeatInterval;
    // How long a read that ends inside a header waits for the read that completes it.
    static constexpr int HeaderWaitMs = 150;

    explicit TeacherConnection(TcpManager &owner);
    ~TeacherConnection();

    StudentTcpSocket &socket() { return m_socket; }
    QTimer &heartBeatTimer() { return m_heartBeatTimer; }
    QTimer &headerTimer() { return m_headerTimer; }

    void setPort(quint16 port) { m_nPort = port; }
    void setClock(std::function<qint64()> clock);
    void setENoteClearPages(std::function<void()> clearPages);

    void connectTo(const QString &address);
    // Ends the connection; with kick set a live connection reports its drop as a kick.
    void logout();

    void onConnected();
    void onDisconnected();
    void onReadyRead();
    void onHeartBeat();
    void onHeaderWaitOver();

    // One read of the teacher's bytes (what the socket's readyRead delivers).
    void receive(const QByteArray &bytes);
    void send(const QString &message);

    // The teacher accepted the student: the heartbeat starts.
    void accepted();
    // Runs the e-note screen's page clearing, when one is installed.
    void clearENotePages();
    // True the first time on a connection: the e-note page count is asked once.
    bool firstPageCountQuery();

private:
    void decode();
    qint64 now() const;

    TcpManager &m_owner;
    StudentTcpSocket m_socket;
    TeacherFrameDecoder m_decoder;
    QTimer m_heartBeatTimer;
    QTimer m_headerTimer;
    qint64 m_nLastReceiveTime = 0;
    bool m_bENotePageCountAsked = false;
    quint16 m_nPort = DefaultPort;
    std::function<qint64()> m_clock;
    std::function<void()> m_clearENotePages;
};

#endif // TEACHERCONNECTION_H
