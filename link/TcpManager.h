#ifndef TCPMANAGER_H
#define TCPMANAGER_H

#include "link/StudentTcpSocket.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpSocket>

#include <functional>
#include <memory>

class ClassServerConnection;
class TeacherConnection;
class TeacherFileThread;

// The protocol client: class-server connection (ClassServerConnection), teacher data connection
// on 59988 (TeacherConnection) and the page-image channel on 56688 (TeacherFileThread). Every
// incoming command becomes one signal of this object.
class TcpManager : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 TeacherDataPort = 59988;
    static constexpr int HeartBeatInterval = 10000;

    // Process-wide instance, made on first use and never freed.
    static TcpManager *instance();

    // Tests build their own; the program uses instance().
    explicit TcpManager(QObject *parent = nullptr);
    ~TcpManager() override;

    // Test seams: teacher ports, the monotonic clock (ms) of the heartbeat.
    void setTeacherPorts(quint16 dataPort, quint16 imagePort);
    void setHeartbeatClock(std::function<qint64()> clock);
    // Run when the teacher accepts the student, before the status query (the e-note screen
    // clears its pages there).
    void setENoteClearPages(std::function<void()> clearPages);

    void initIpandPort();
    void connectToServer();
    void disconnectFromServer();
    void logout();
    void connectToTeacher(const QString &teacherIp);
    TeacherFileThread *teacherFileThread();

    // Class-server requests.
    void queryTeacherList();
    void queryTeacherIp();
    void queryBook();
    void downloadBooks(const QString &strpath);
    void readyDownloadBooks(const QString &strpath);
    void login(const QString &teacher, const QString &studentName, const QString &password);

    // Teacher requests and reports.
    void sendStudentId();
    void queryTeacherStatus();
    void queryBookPath();
    void queryBookPageIndex();
    void queryENotePageCount();
    void queryENotePageIndex();
    void queryBrowserUrl();
    void sendStatus(const QString &status);
    void sendBattery(const QString &battery);
    void sendHandsUp();
    void sendApp(const QString &app);
    void sendVote(const QString &vote);
    void sendChat(const QString &chat);
    void sendLockScreen(const QString &lock);
    void sendShareMode(const QString &mode);
    void syncEBook(int page);
    void syncENote(int page);
    void queryENotePage(int page);
    void readyENoteSync(int page);
    void sendTeacherData(const QString &message);
    void sendShareData(const QString &message, bool force);

    StudentTcpSocket *teacherSocket();
    bool isHeartBeatActive() const;
    QTcpSocket *serverSocket();
    // The teacher side, for tests and the frame fuzzer; the server side, for tests.
    TeacherConnection *teacherConnection() { return m_teacher.get(); }
    ClassServerConnection *serverConnection() { return m_server.get(); }

    QString m_strStudentName;
    QString m_strIp;
    QString m_strPort;
    QString m_strDownloadFile;
    QString m_strTeacherIp;
    QString m_strDownloadPath;

    bool m_bLogin = false;
    bool m_bServerConnected = false;
    bool m_bTeacherConnected = false;
    bool m_bDownloading = false;
    bool m_bShare = false;
    bool m_bKick = false;

signals:
    void loginFail();
    void sendLoginResult(bool ok);
    void sendTeacherConnectedRet(bool ok);
    void connecttoServerResult(bool ok);
    void updateTeacherList(QStringList teachers);
    void querybookResult(QString books);
    void DownloadResult(bool ok);
    void downloadPdfComplete(QString path);
    void downloadPdfProgress(int total, int received);
    void queryTeacherIpResult(QString ip);
    void queryTeacherStatusResult(QString status);
    void queryTeacherbookResult(QStringList fields);
    void queryTeacherENoteResult(QStringList fields);
    void lineSyncEnd(QString target);
    void lineData(QString data);
    void moveImage(QString data);
    void browserCommand(QString data);
    void receChat(QString chat);
    void receCloseChat();
    void receWarnning(QString warning);
    void receLock(QString lock);
    void receVote(QString vote);
    void receshareVoteCmd(QString vote);
    void receAddPage(QStringList fields);
    void receClearPage(QString page);
    void receShareMode(int mode);
    void receRotateCmd(QString rotate);
    void getPreview();
    void teacherReconnect();
    void changeServerStatus(bool connected);
    void teacherKick();

public slots:
    void onConnected();
    void onDisconnected();
    void onTcpDataSlot();
    void onTeacherDataConnected();
    void onTeacherDataDisConnected();
    void onTeacherData();
    void onHeartBeatTimer();
    void retryDownLoad();

private slots:
    void onHeaderWaitOver();
    void closeImageChannel();

private:
    std::unique_ptr<ClassServerConnection> m_server;
    std::unique_ptr<TeacherConnection> m_teacher;
    TeacherFileThread *m_fileThread = nullptr;
    quint16 m_nImagePort;
};

#endif // TCPMANAGER_H
