#ifndef CLASSSERVERCONNECTION_H
#define CLASSSERVERCONNECTION_H

#include "link/BookDownload.h"
#include "link/OwedAnswers.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class DownloadAnswer;
class TcpManager;

// The class-server connection of TcpManager: requests and answers, the login, and book
// downloads. Every download request ends in one outcome: downloadPdfComplete or
// DownloadResult(false), the latter also when neither an answer nor book bytes came for
// DownloadWaitMs; an answer that comes after that is its request's, never the next one's.
// Several answers in one read are each read; a book list cut over reads is joined before
// it is handed on. The flags and signals it changes are TcpManager's.
class ClassServerConnection
{
public:
    // Download requests waiting behind the one under way, at most.
    static constexpr int MaxWaitingDownloads = 16;
    static constexpr int DownloadWaitMs = 30000;
    // How long a book list without its end waits for the rest, and its largest size.
    static constexpr int BookListWaitMs = 3000;
    static constexpr int MaxBookListBytes = 2 * 1024 * 1024;

    explicit ClassServerConnection(TcpManager &owner);
    ~ClassServerConnection();

    QTcpSocket &socket() { return m_socket; }
    // Test seam: the monotonic clock (ms) of the download wait.
    void setClock(std::function<qint64()> clock);

    void connectToServer();
    void send(const char *word, const QString &argument);
    void login(const QString &teacher, const QString &studentName, const QString &password);
    void downloadBooks(const QString &path);
    void readyDownloadBooks(const QString &path);
    void retryDownload();

    void onConnected();
    void onDisconnected();
    void onReadyRead();
    // The download wait's timer: ends a request or transfer that has been silent too long.
    void onDownloadWait();

private:
    void sendLogin(const QString &teacher, const QString &studentName, const QString &hash);
    void handleAnswer(const QByteArray &data, bool mayWait);
    void onBookListWaitOver();
    void handleDownloadAnswer(const QString &text);
    void handleDownloadFailure(const DownloadAnswer &answer, const QString &text);
    qint64 writeBookBytes(const QByteArray &data);
    void sendRequest(const QString &path);
    void endRequest(bool failed);
    void sendNextWaiting();
    void failLater();
    bool isBusy() const { return m_bRequestOpen || m_download.isOpen(); }
    void touch();

    TcpManager &m_owner;
    QTcpSocket m_socket;
    QString m_strPassword; // MD5 of a login waiting for the server connection
    QString m_strTeacher;
    bool m_bLoginPending = false;
    bool m_bRetry = false;
    int m_nRetryCount = 2;

    bool m_bRequestOpen = false; // a download request waits for its answer
    // An answer came during its wait that it could not take (unreadable, or the same book
    // taken as an ended request's): when the wait ends, nothing more is owed to it.
    bool m_bRequestAnswered = false;
    QString m_strRequestedPath;
    QStringList m_listWaiting; // download requests made while another was under way
    OwedAnswers m_owed;        // answers that may still come for requests the wait ended
    BookDownload m_download;

    QTimer m_waitTimer;
    qint64 m_nLastActivity = 0; // of the request or transfer under way
    std::function<qint64()> m_clock;
    QByteArray m_baBookList; // a book list answer waiting for its rest
    QTimer m_bookListTimer;
};

#endif // CLASSSERVERCONNECTION_H
