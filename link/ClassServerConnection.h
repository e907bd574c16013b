#ifndef CLASSSERVERCONNECTION_H
#define CLASSSERVERCONNECTION_H

#include "link/BookDownload.h"
#include "link/OwedAnswers.h"
#include "link/ServerStream.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class DownloadAnswer;
class TcpManager;

// The class-server connection of TcpManager: requests and answers, the login, and book
// downloads. The flags and signals it changes are TcpManager's.
//
// Answers are read as a stream (ServerStream). A book download is in one of three states:
// idle; asked (its request written, its answer awaited); receiving (the offer taken, the
// ready request written, the book bytes awaited). One download is under way at a time;
// every other request made meanwhile waits, in the order made, until it is idle again, so
// no answer can come between an offer and its book. The server answers in order: OwedAnswers
// keeps what it still owes, so an answer to a request the wait gave up is never taken for a
// later one, unless both asked for the same book. Before the first book byte, whatever
// begins with an answer word is an answer. Each download ends in one outcome:
// downloadPdfComplete, DownloadResult(false), or, for bytes that are no PDF file, a retry.
class ClassServerConnection
{
public:
    enum class Download
    {
        Idle,
        Asked,
        Receiving
    };

    // Requests waiting behind the download under way, at most.
    static constexpr int MaxWaitingRequests = 16;
    // A download silent this long is given up.
    static constexpr int DownloadWaitMs = 30000;
    // How long what a given-up download is owed is still awaited.
    static constexpr int OwedLifetimeMs = 2 * DownloadWaitMs;
    // How long the last answer read waits for more when its end cannot be told, and when it
    // is certainly cut short.
    static constexpr int SettleMs = 250;
    static constexpr int CutWaitMs = 3000;
    // Answers handled in one turn of the event loop; the others in the next turns.
    static constexpr int AnswersPerTurn = 256;

    explicit ClassServerConnection(TcpManager &owner);
    ~ClassServerConnection();

    QTcpSocket &socket() { return m_socket; }
    // Test seam: the monotonic clock (ms) of the download wait.
    void setClock(std::function<qint64()> clock);
    // Bytes read from the server and not handled yet (an answer waiting for its end).
    qint64 heldBytes() const { return m_stream.buffered(); }

    void connectToServer();
    // A request that is no download; it waits while a download is under way.
    void send(const char *word, const QString &argument);
    void login(const QString &teacher, const QString &studentName, const QString &password);
    void downloadBooks(const QString &path);
    void readyDownloadBooks(const QString &path);
    void retryDownload();

    void onConnected();
    void onDisconnected();
    void onReadyRead();
    // The download wait's timer: ends a download that has been silent too long.
    void onDownloadWait();

private:
    struct Request
    {
        bool download = false;
        QString path;     // of a download
        QByteArray bytes; // of any other request
    };

    void sendLogin(const QString &teacher, const QString &studentName, const QString &hash);
    void write(const QByteArray &bytes);
    void readAnswers();
    bool readBookBytes();
    void onSettled();
    void handleAnswer(const ServerAnswer &answer);
    void handleDownloadAnswer(const QString &text);
    void takeOffer(const DownloadAnswer &answer);
    void writeBookBytes(const QByteArray &data);
    void ask(const QString &path);
    void endDownload();
    void failDownload();
    void sendWaiting();
    void failLater();
    void touch();

    TcpManager &m_owner;
    QTcpSocket m_socket;
    QString m_strPassword; // MD5 of a login waiting for the server connection
    QString m_strTeacher;
    bool m_bLoginPending = false;
    bool m_bRetry = false;
    int m_nRetryCount = 2;

    Download m_state = Download::Idle;
    QString m_strAskedPath;       // of the download under way
    QList<Request> m_listWaiting; // requests made while a download was under way
    OwedAnswers m_owed;
    BookDownload m_book;
    ServerStream m_stream;

    QTimer m_waitTimer;
    qint64 m_nLastActivity = 0; // of the download under way
    std::function<qint64()> m_clock;
    QTimer m_settleTimer; // the last answer read waits for its end
    QTimer m_turnTimer;   // more answers are read in the next turn
};

#endif // CLASSSERVERCONNECTION_H
