#ifndef TEACHERFILETHREAD_H
#define TEACHERFILETHREAD_H

#include <QAbstractSocket>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QThread>
#include <QTimer>

#include <memory>

class QSaveFile;
class QTcpSocket;

// Page-image channel to the teacher (port 56688): "sync@" requests out, a header and
// raw PNG bytes back. Never started as a thread; everything runs in the GUI thread.
// Once started, a request is written only into a connected socket: one made while the
// channel is down waits and brings the connection up, and a connection that fails or drops
// is made again after a growing pause, which starts over once a connection has carried a
// header or image bytes. A connection that comes back after one failed or dropped reports
// channelRestored: what was asked before is not coming, and whoever still wants it asks
// again. The channel follows the teacher: another address moves it, close() ends it.
class TeacherFileThread : public QThread
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 56688;
    // Requests kept while no connection can take them: the newest ones.
    static constexpr int MaxQueuedCommands = 16;
    // Pause before connecting again after a failed or dropped connection, doubled after
    // each failure up to the longest.
    static constexpr int RetryDelayMs = 1000;
    static constexpr int MaxRetryDelayMs = 10000;

    explicit TeacherFileThread(QObject *parent = nullptr);
    ~TeacherFileThread() override;

    void sendCommand(const QByteArray &command);
    void procFileData(const QByteArray &data);
    // The image the last header announced is not wanted: nothing asked for it, so no bytes
    // are owed and the next read is a header again.
    void skipImage();
    // Drops what the connection still owes (an answer, image bytes) with the connection
    // itself and the requests not yet written, and connects again: the next read is a header,
    // and channelRestored follows the new connection. False when the channel is not started.
    bool reconnect();
    // Ends the channel (logout, kick): no connection and no requests until connectToServer.
    void close();

    void setPort(quint16 port) { m_nPort = port; }
    quint16 port() const { return m_nPort; }
    bool isReceivingFile() const { return m_bRecvFile; }
    bool isStarted() const { return m_bStarted; }
    // The pause before the next attempt to connect, 0 when none is due.
    int retryPause() const { return m_retryTimer.isActive() ? m_retryTimer.interval() : 0; }
    int queuedCommands() const { return m_listCommand.size(); }

    QString m_strTeacherIp;

signals:
    void connectServerSignal();
    void replacepage(int page, int width, int height, bool withImage);
    void FileSyncComplete();
    // Every piece of image data taken: bytes written so far of the announced size.
    void fileDataReceived(qint64 received, qint64 total);
    // Up again after a connection that failed or dropped: the requests made before it are
    // dropped, and those still wanted are to be made again.
    void channelRestored();

public slots:
    void readFile();
    void connectToServer();
    void onConnected();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();

protected:
    void run() override;

private:
    void writeFile();
    void onStateChanged(QAbstractSocket::SocketState state);
    void retryConnect();
    void dropSocket();
    void dropRequests();
    void resetReceive();
    void finishFile();

    bool m_bRecvFile = false;
    qint64 m_nFileSize = 0;
    qint64 m_nFileCurrRece = 0;
    QTcpSocket *m_socket = nullptr;
    QList<QByteArray> m_listCommand;
    std::unique_ptr<QSaveFile> m_file;
    QString m_strFilePath;
    quint16 m_nPort = DefaultPort;
    QString m_strSocketIp; // where the socket connects to
    quint16 m_nSocketPort = 0;

    bool m_bStarted = false;        // connectToServer was called: the channel is wanted up
    bool m_bWriteOnConnect = false; // a request waits for the connection
    bool m_bDown = false;           // the last connection failed or dropped
    int m_nRetryDelay = RetryDelayMs;
    QTimer m_retryTimer;
};

#endif // TEACHERFILETHREAD_H
