#include "link/ClassServerConnection.h"

#include "link/BookName.h"
#include "link/DownloadAnswer.h"
#include "link/MonotonicClock.h"
#include "link/ServerAnswer.h"
#include "link/ServerSettings.h"
#include "link/Settings.h"
#include "link/TcpManager.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QTimer>

ClassServerConnection::ClassServerConnection(TcpManager &owner)
    : m_owner(owner), m_owed(MaxWaitingDownloads, DownloadWaitMs), m_clock(MonotonicClock::nowMs)
{
    m_waitTimer.setSingleShot(true);
    QObject::connect(&m_waitTimer, &QTimer::timeout, &m_owner, [this] { onDownloadWait(); });
    m_bookListTimer.setSingleShot(true);
    m_bookListTimer.setInterval(BookListWaitMs);
    QObject::connect(&m_bookListTimer, &QTimer::timeout, &m_owner,
                     [this] { onBookListWaitOver(); });
}

ClassServerConnection::~ClassServerConnection()
{
    // The socket closes while it is destroyed; its signals must not reach the owner then.
    m_socket.disconnect(&m_owner);
}

void ClassServerConnection::setClock(std::function<qint64()> clock)
{
    m_clock = clock ? std::move(clock) : std::function<qint64()>(MonotonicClock::nowMs);
}

void ClassServerConnection::connectToServer()
{
    qDebug() << "m_strIp=" << m_owner.m_strIp << " m_strPort=" << m_owner.m_strPort;
    // An address or a host name, as the settings give it.
    m_socket.connectToHost(m_owner.m_strIp.trimmed(),
                           ServerSettings::validPort(m_owner.m_strPort).toUShort(),
                           QIODevice::ReadWrite);
}

void ClassServerConnection::send(const char *word, const QString &argument)
{
    m_socket.write(ServerAnswer::encode(word, argument));
    m_socket.flush();
}

void ClassServerConnection::login(const QString &teacher, const QString &studentName,
                                  const QString &password)
{
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Md5).toHex());
    if (!m_owner.m_bServerConnected) {
        m_strTeacher = teacher;
        m_owner.m_strStudentName = studentName;
        m_strPassword = hash;
        m_bLoginPending = true;
        connectToServer();
        return;
    }
    sendLogin(teacher, studentName, hash);
}

void ClassServerConnection::sendLogin(const QString &teacher, const QString &studentName,
                                      const QString &hash)
{
    qDebug() << "start login " << teacher << studentName;
    send("login@", teacher + QLatin1Char(',') + studentName + QLatin1Char(',') + hash);
    m_owner.m_strStudentName = studentName;
}

void ClassServerConnection::onConnected()
{
    qDebug() << "onConnected to server";
    m_owner.m_bServerConnected = true;
    m_bRetry = false;
    m_nRetryCount = 2;
    if (m_bLoginPending) {
        m_bLoginPending = false;
        const QString hash = m_strPassword;
        m_strPassword.clear();
        sendLogin(m_strTeacher, m_owner.m_strStudentName, hash);
        return;
    }
    emit m_owner.connecttoServerResult(true);
}

void ClassServerConnection::onDisconnected()
{
    qDebug() << "server disconnected";
    m_owner.m_bServerConnected = false;
    m_owner.m_bLogin = false;
    // Every request under way or waiting ends here.
    int failed = m_listWaiting.size() + (m_bRequestOpen ? 1 : 0);
    if (m_owner.m_bDownloading || m_download.isOpen()) {
        qDebug() << "server connection lost during download" << m_owner.m_strDownloadFile;
        m_download.cancel();
        m_owner.m_bDownloading = false;
        ++failed;
    }
    m_bRequestOpen = false;
    m_strRequestedPath.clear();
    m_listWaiting.clear();
    m_owed.clear();
    m_waitTimer.stop();
    if (!m_baBookList.isEmpty())
        onBookListWaitOver();
    for (int i = 0; i < failed; ++i)
        emit m_owner.DownloadResult(false);
    emit m_owner.loginFail();
    emit m_owner.changeServerStatus(false);
}

void ClassServerConnection::onReadyRead()
{
    QByteArray data = m_socket.readAll();
    if (m_owner.m_bDownloading && m_download.isOpen()) {
        const qint64 used = writeBookBytes(data);
        if (used >= data.size())
            return;
        data.remove(0, int(used));
    }
    QList<QByteArray> answers = ServerAnswer::split(data);
    if (answers.isEmpty())
        return;
    if (!m_baBookList.isEmpty()) {
        m_bookListTimer.stop();
        QByteArray &first = answers.first();
        if (ServerAnswer::isContinuation(first) &&
            m_baBookList.size() + first.size() <= MaxBookListBytes) {
            first.prepend(m_baBookList);
            m_baBookList.clear();
        } else {
            onBookListWaitOver();
        }
    }
    // Only the last answer of a read may go on in the next one.
    for (int i = 0; i < answers.size(); ++i)
        handleAnswer(answers.at(i), i == answers.size() - 1);
}

// No more of the book list came: it is handed on as it is.
void ClassServerConnection::onBookListWaitOver()
{
    m_bookListTimer.stop();
    const QByteArray held = m_baBookList;
    m_baBookList.clear();
    if (!held.isEmpty())
        handleAnswer(held, false);
}

void ClassServerConnection::handleAnswer(const QByteArray &data, bool mayWait)
{
    qDebug() << "rece = " << data.left(512);
    const ServerAnswer answer = ServerAnswer::parse(data);
    switch (answer.kind) {
    case ServerAnswer::Teacher:
        emit m_owner.updateTeacherList(answer.text.split(QLatin1Char(',')));
        break;
    case ServerAnswer::Login:
        if (answer.text == QLatin1String("success")) {
            m_owner.m_bLogin = true;
            emit m_owner.sendLoginResult(true);
            emit m_owner.changeServerStatus(true);
        } else {
            emit m_owner.sendLoginResult(false);
        }
        break;
    case ServerAnswer::Book:
        if (mayWait && !answer.isWhole() && data.size() < MaxBookListBytes) {
            m_baBookList = data;
            m_bookListTimer.start();
            break;
        }
        emit m_owner.querybookResult(answer.text);
        break;
    case ServerAnswer::Download:
        handleDownloadAnswer(answer.text);
        break;
    case ServerAnswer::TeacherIp:
        emit m_owner.queryTeacherIpResult(answer.text);
        break;
    case ServerAnswer::Unknown:
        break;
    }
}

// ---- book downloads: one request on the wire at a time ----

void ClassServerConnection::downloadBooks(const QString &path)
{
    qDebug() << "downloadBooks strpath=" << path;
    if (!m_owner.m_bServerConnected) {
        qDebug() << "downloadBooks: no server connection";
        failLater();
        return;
    }
    if (isBusy()) {
        if (m_listWaiting.size() >= MaxWaitingDownloads) {
            qDebug() << "downloadBooks: too many downloads waiting, refused" << path;
            failLater();
            return;
        }
        m_listWaiting.append(path);
        return;
    }
    sendRequest(path);
}

void ClassServerConnection::sendRequest(const QString &path)
{
    m_bRequestOpen = true;
    m_bRequestAnswered = false;
    m_strRequestedPath = path;
    touch();
    send("download@", path);
}

// The request or transfer under way shows life; the wait counts from here.
void ClassServerConnection::touch()
{
    m_nLastActivity = m_clock();
    if (!m_waitTimer.isActive())
        m_waitTimer.start(DownloadWaitMs);
}

void ClassServerConnection::onDownloadWait()
{
    if (!isBusy()) {
        m_waitTimer.stop();
        return;
    }
    const qint64 silence = m_clock() - m_nLastActivity;
    if (silence < DownloadWaitMs) {
        m_waitTimer.start(int(qMin<qint64>(DownloadWaitMs, DownloadWaitMs - silence)));
        return;
    }
    m_waitTimer.stop();
    if (m_download.isOpen()) {
        qDebug() << "book download silent for" << silence << "ms, ended"
                 << m_owner.m_strDownloadFile;
        m_download.cancel();
        m_owner.m_bDownloading = false;
        emit m_owner.DownloadResult(false);
        sendNextWaiting();
        return;
    }
    qDebug() << "download request unanswered for" << silence << "ms, ended" << m_strRequestedPath;
    const qint64 now = m_clock();
    m_owed.expire(now);
    if (m_bRequestAnswered)
        qDebug() << "its answer came and could not be taken: nothing more owed to it";
    else
        m_owed.add(m_strRequestedPath, now);
    endRequest(true);
}

void ClassServerConnection::readyDownloadBooks(const QString &path)
{
    qDebug() << "readyDownloadBooks strpath=" << path;
    m_owner.m_bDownloading = true;
    send("download@", QStringLiteral("ready#") + path);
}

// A failure the caller hears from the event loop, after its call has returned.
void ClassServerConnection::failLater()
{
    TcpManager *owner = &m_owner;
    QTimer::singleShot(0, owner, [owner] { emit owner->DownloadResult(false); });
}

void ClassServerConnection::endRequest(bool failed)
{
    m_bRequestOpen = false;
    m_bRequestAnswered = false;
    m_strRequestedPath.clear();
    if (failed)
        emit m_owner.DownloadResult(false);
    sendNextWaiting();
}

void ClassServerConnection::sendNextWaiting()
{
    if (isBusy())
        return;
    if (m_listWaiting.isEmpty() || !m_owner.m_bServerConnected) {
        m_waitTimer.stop();
        return;
    }
    sendRequest(m_listWaiting.takeFirst());
}

void ClassServerConnection::handleDownloadAnswer(const QString &text)
{
    const DownloadAnswer answer = DownloadAnswer::parse(text);
    m_owed.expire(m_clock());
    if (answer.kind == DownloadAnswer::Ignored) {
        qDebug() << "download answer not readable, ignored" << text.left(256);
        if (m_bRequestOpen)
            m_bRequestAnswered = true;
        return;
    }
    if (answer.kind == DownloadAnswer::Failed || answer.kind == DownloadAnswer::Refused) {
        handleDownloadFailure(answer, text);
        return;
    }
    // An offer of a book still owed is that ended request's, even when the same book is
    // asked for again: this request's own answer, if it comes, comes after it.
    if (m_owed.takeAnswerOf(answer.path)) {
        qDebug() << "late download answer of an ended request dropped" << text.left(256);
        if (m_bRequestOpen && answer.path == m_strRequestedPath)
            m_bRequestAnswered = true;
        return;
    }
    if (!m_bRequestOpen) {
        qDebug() << "download answer without a request ignored" << text.left(256);
        return;
    }
    if (answer.path != m_strRequestedPath) {
        qDebug() << "download answer for another book ignored" << text.left(256) << "asked"
                 << m_strRequestedPath;
        return;
    }
    // The server has come to this request: nothing asked before it is still answered.
    m_owed.clear();
    const QString local =
        answer.kind == DownloadAnswer::Offer
            ? BookName::localPath(Settings::instance()->localBookDir(), answer.path)
            : QString();
    if (answer.kind == DownloadAnswer::Offer && local.isEmpty())
        qDebug() << "download name refused" << answer.path;
    else if (answer.kind == DownloadAnswer::BadSize)
        qDebug() << "download answer with a bad size" << text.left(256);
    if (local.isEmpty()) {
        endRequest(true);
        return;
    }
    m_owner.m_strDownloadFile = local;
    if (!m_download.open(local, answer.size)) {
        qDebug() << "m_downloadFile open failed, strpath = " << answer.path;
        endRequest(true);
        return;
    }
    m_bRequestOpen = false;
    m_strRequestedPath.clear();
    touch();
    if (!m_bRetry)
        m_nRetryCount = 2;
    m_owner.m_strDownloadPath = answer.path;
    readyDownloadBooks(answer.path);
}

// A failure names its book only when the server puts it after "failed#". One naming the
// open request, or naming no owed book while a request is open, is the open request's: its
// failure is told at once. One naming an owed book is that ended request's.
void ClassServerConnection::handleDownloadFailure(const DownloadAnswer &answer, const QString &text)
{
    const bool named = m_bRequestOpen && answer.path == m_strRequestedPath;
    if (named)
        m_owed.clear();
    const bool late =
        !named && (m_owed.takeAnswerOf(answer.path) || (!m_bRequestOpen && m_owed.takeOldest()));
    if (late) {
        qDebug() << "late download failure of an ended request dropped" << text.left(256);
        return;
    }
    qDebug() << "download failed on the server" << m_strRequestedPath << text.left(256);
    if (m_bRequestOpen)
        endRequest(true);
    else if (answer.kind == DownloadAnswer::Failed)
        emit m_owner.DownloadResult(false);
}

// Writes at most the announced remainder; returns the bytes taken from data.
qint64 ClassServerConnection::writeBookBytes(const QByteArray &data)
{
    qint64 used = 0;
    touch();
    const BookDownload::Step step = m_download.write(data, &used);
    const int total = int(m_download.total());
    const int received = int(m_download.received());
    qDebug() << "downloading m_nFileCurrRece=" << received << "total=" << total;
    if (step == BookDownload::Partial) {
        emit m_owner.downloadPdfProgress(total, received);
        return used;
    }
    m_owner.m_bDownloading = false;
    if (step == BookDownload::Failed) {
        qDebug() << "book download failed" << m_owner.m_strDownloadFile;
        emit m_owner.DownloadResult(false);
    } else {
        qDebug() << "downloading finish";
        emit m_owner.downloadPdfComplete(m_owner.m_strDownloadFile);
        emit m_owner.downloadPdfProgress(total, received);
    }
    sendNextWaiting();
    return used;
}

void ClassServerConnection::retryDownload()
{
    qDebug() << "retryDownLoad " << m_owner.m_strDownloadPath << m_nRetryCount;
    m_bRetry = true;
    --m_nRetryCount;
    if (m_owner.m_strDownloadPath.isEmpty())
        return;
    if (m_nRetryCount >= 0)
        downloadBooks(m_owner.m_strDownloadPath);
    else
        emit m_owner.DownloadResult(false);
}
