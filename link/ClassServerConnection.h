#ifndef CLASSSERVERCONNECTION_H
#define CLASSSERVERCONNECTION_H

#include "link/BookDownload.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTcpSocket>

class TcpManager;

// The class-server connection of TcpManager: requests and answers, the login, and book
// downloads. Every download request ends in one outcome: downloadPdfComplete or
// DownloadResult(false). The flags and signals it changes are TcpManager's.
class ClassServerConnection
{
public:
    // Download requests waiting behind the one under way, at most.
    static constexpr int MaxWaitingDownloads = 16;

    explicit ClassServerConnection(TcpManager &owner);
    ~ClassServerConnection();

    QTcpSocket &socket() { return m_socket; }

    void connectToServer();
    void send(const char *word, const QString &argument);
    void login(const QString &teacher, const QString &studentName, const QString &password);
    void downloadBooks(const QString &path);
    void readyDownloadBooks(const QString &path);
    void retryDownload();

    void onConnected();
    void onDisconnected();
    void onReadyRead();

private:
    void sendLogin(const QString &teacher, const QString &studentName, const QString &hash);
    void handleAnswer(const QByteArray &data);
    void handleDownloadAnswer(const QString &text);
    qint64 writeBookBytes(const QByteArray &data);
    void sendRequest(const QString &path);
    void endRequest(bool failed);
    void sendNextWaiting();
    void failLater();

    TcpManager &m_owner;
    QTcpSocket m_socket;
    QString m_strPassword; // MD5 of a login waiting for the server connection
    QString m_strTeacher;
    bool m_bLoginPending = false;
    bool m_bRetry = false;
    int m_nRetryCount = 2;

    bool m_bRequestOpen = false; // a download request waits for its answer
    QString m_strRequestedPath;
    QStringList m_listWaiting; // download requests made while another was under way
    BookDownload m_download;
};

#endif // CLASSSERVERCONNECTION_H
