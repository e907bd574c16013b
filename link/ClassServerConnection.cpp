#include "link/ClassServerConnection.h"

#include "link/BookName.h"
#include "link/DownloadAnswer.h"
#include "link/MonotonicClock.h"
#include "link/ServerSettings.h"
#include "link/Settings.h"
#include "link/TcpManager.h"

#include <QCryptographicHash>
#include <QDebug>

ClassServerConnection::ClassServerConnection(TcpManager &owner)
    : m_owner(owner), m_owed(2 * MaxWaitingRequests + 2, OwedLifetimeMs),
      m_clock(MonotonicClock::nowMs)
{
    m_waitTimer.setSingleShot(true);
    QObject::connect(&m_waitTimer, &QTimer::timeout, &m_owner, [this] { onDownloadWait(); });
    m_settleTimer.setSingleShot(true);
    QObject::connect(&m_settleTimer, &QTimer::timeout, &m_owner, [this] { onSettled(); });
    m_turnTimer.setSingleShot(true);
    m_turnTimer.setInterval(0);
    QObject::connect(&m_turnTimer, &QTimer::timeout, &m_owner, [this] { readAnswers(); });
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

void ClassServerConnection::write(const QByteArray &bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

void ClassServerConnection::send(const char *word, const QString &argument)
{
    const QByteArray bytes = ServerAnswer::encode(word, argument);
    if (m_state == Download::Idle && m_listWaiting.isEmpty()) {
        write(bytes);
        return;
    }
    for (const Request &waiting : m_listWaiting) {
        if (!waiting.download && waiting.bytes == bytes)
            return; // asked already
    }
    if (m_listWaiting.size() >= MaxWaitingRequests) {
        qDebug() << "request dropped, too many waiting for the download:" << word;
        return;
    }
    Request request;
    request.bytes = bytes;
    m_listWaiting.append(request);
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
    m_stream.clear();
    m_owed.clear();
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
    // No more of the last answer is coming.
    ServerAnswer last;
    if (m_stream.finish(&last) && last.kind != ServerAnswer::Download)
        handleAnswer(last);
    m_owner.m_bServerConnected = false;
    m_owner.m_bLogin = false;
    // Every download under way or waiting ends here.
    int failed = m_state == Download::Idle ? 0 : 1;
    for (const Request &waiting : m_listWaiting)
        failed += waiting.download ? 1 : 0;
    if (m_state == Download::Receiving)
        qDebug() << "server connection lost during download" << m_owner.m_strDownloadFile;
    m_book.cancel();
    endDownload();
    m_listWaiting.clear();
    m_owed.clear();
    m_stream.clear();
    m_settleTimer.stop();
    m_turnTimer.stop();
    for (int i = 0; i < failed; ++i)
        emit m_owner.DownloadResult(false);
    emit m_owner.loginFail();
    emit m_owner.changeServerStatus(false);
}

void ClassServerConnection::onReadyRead()
{
    m_stream.append(m_socket.readAll());
    readAnswers();
}

// Answers and book bytes, in the order they came.
void ClassServerConnection::readAnswers()
{
    m_turnTimer.stop();
    m_settleTimer.stop();
    for (int handled = 0; handled < AnswersPerTurn;) {
        m_owed.expire(m_clock());
        if (readBookBytes())
            continue;
        ServerAnswer answer;
        if (!m_stream.next(&answer)) {
            if (m_stream.tail() != ServerStream::Tail::None)
                m_settleTimer.start(m_stream.tail() == ServerStream::Tail::Open ? SettleMs
                                                                                : CutWaitMs);
            return;
        }
        handleAnswer(answer);
        ++handled;
    }
    m_turnTimer.start();
}

// Takes book bytes when the server owes some and the stream holds them; false when the
// stream holds nothing or begins with an answer. Before a book's first byte, and while the
// rest of a given-up book is owed, whatever begins with an answer word is an answer.
bool ClassServerConnection::readBookBytes()
{
    const OwedAnswers::Entry *owed = m_owed.firstBytes();
    if (!owed || m_stream.buffered() == 0)
        return false;
    const bool inBook = m_owed.bytesFirst() && owed->wanted && owed->taken > 0;
    if (!inBook && m_stream.startsWithAnswer()) {
        if (!m_owed.bytesFirst() || owed->wanted)
            return false;
        qDebug() << "rest of a given-up book not coming, no longer awaited" << owed->path;
        m_owed.dropFirst();
        return true;
    }
    // The book has begun: the answers owed before it are not coming.
    m_owed.dropBeforeBytes();
    owed = m_owed.firstBytes();
    const bool wanted = owed->wanted;
    const QString path = owed->path;
    const QByteArray bytes = m_stream.take(owed->missing);
    m_owed.takeBytes(bytes.size());
    if (wanted)
        writeBookBytes(bytes);
    else
        qDebug() << "bytes of a given-up book dropped:" << bytes.size() << path;
    return true;
}

// The last answer read has had time to go on: what came meanwhile is read first.
void ClassServerConnection::onSettled()
{
    if (m_socket.state() == QAbstractSocket::ConnectedState && m_socket.waitForReadyRead(0))
        return; // read by onReadyRead
    ServerAnswer answer;
    if (m_stream.finish(&answer))
        handleAnswer(answer);
    readAnswers();
}

void ClassServerConnection::handleAnswer(const ServerAnswer &answer)
{
    qDebug() << "rece = " << answer.kind << answer.text.left(256);
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

// ---- book downloads ----

void ClassServerConnection::downloadBooks(const QString &path)
{
    qDebug() << "downloadBooks strpath=" << path;
    if (!m_owner.m_bServerConnected) {
        qDebug() << "downloadBooks: no server connection";
        failLater();
        return;
    }
    if (m_state == Download::Idle && m_listWaiting.isEmpty()) {
        ask(path);
        return;
    }
    if (m_listWaiting.size() >= MaxWaitingRequests) {
        qDebug() << "downloadBooks: too many requests waiting, refused" << path;
        failLater();
        return;
    }
    Request request;
    request.download = true;
    request.path = path;
    m_listWaiting.append(request);
}

void ClassServerConnection::ask(const QString &path)
{
    m_state = Download::Asked;
    m_strAskedPath = path;
    m_owed.addAnswer(path);
    touch();
    write(ServerAnswer::encode("download@", path));
}

void ClassServerConnection::readyDownloadBooks(const QString &path)
{
    qDebug() << "readyDownloadBooks strpath=" << path;
    m_owner.m_bDownloading = true;
    write(ServerAnswer::encode("download@", QStringLiteral("ready#") + path));
}

// The download under way shows life; its wait counts from here.
void ClassServerConnection::touch()
{
    m_nLastActivity = m_clock();
    if (!m_waitTimer.isActive())
        m_waitTimer.start(DownloadWaitMs);
}

void ClassServerConnection::onDownloadWait()
{
    if (m_state == Download::Idle) {
        m_waitTimer.stop();
        return;
    }
    const qint64 silence = m_clock() - m_nLastActivity;
    if (silence < DownloadWaitMs) {
        m_waitTimer.start(int(qMin<qint64>(DownloadWaitMs, DownloadWaitMs - silence)));
        return;
    }
    if (m_state == Download::Receiving) {
        qDebug() << "book download silent for" << silence << "ms, given up"
                 << m_owner.m_strDownloadFile;
        m_book.cancel();
    } else {
        qDebug() << "download request unanswered for" << silence << "ms, given up"
                 << m_strAskedPath;
    }
    m_owed.giveUpWanted(m_clock());
    failDownload();
}

void ClassServerConnection::handleDownloadAnswer(const QString &text)
{
    const DownloadAnswer answer = DownloadAnswer::parse(text);
    if (answer.kind == DownloadAnswer::Ignored) {
        qDebug() << "download answer not readable, ignored" << text.left(256);
        return;
    }
    const bool failure =
        answer.kind == DownloadAnswer::Failed || answer.kind == DownloadAnswer::Refused;
    OwedAnswers::Entry owed;
    if (!m_owed.takeAnswer(answer.path, failure, &owed)) {
        qDebug() << "download answer without a request" << text.left(256);
        if (answer.kind == DownloadAnswer::Failed)
            emit m_owner.DownloadResult(false); // told all the same
        return;
    }
    if (m_state != Download::Idle)
        touch();
    // A given-up request's answer naming the book asked now serves this request too; this
    // request's own answer, when it comes, is then dropped.
    const bool sameBook =
        m_state == Download::Asked && !answer.path.isEmpty() && answer.path == m_strAskedPath;
    if (!owed.wanted && !sameBook) {
        qDebug() << "late download answer of a given-up request dropped" << text.left(256);
        return;
    }
    if (!owed.wanted) {
        qDebug() << "late download answer taken for the same book asked again" << answer.path;
        m_owed.giveUpWanted(m_clock());
    }
    if (failure) {
        qDebug() << "download failed on the server" << m_strAskedPath << text.left(256);
        failDownload();
        return;
    }
    takeOffer(answer);
}

void ClassServerConnection::takeOffer(const DownloadAnswer &answer)
{
    const QString local =
        answer.kind == DownloadAnswer::Offer
            ? BookName::localPath(Settings::instance()->localBookDir(), answer.path)
            : QString();
    if (answer.kind == DownloadAnswer::BadSize)
        qDebug() << "download answer with a bad size" << answer.path;
    else if (local.isEmpty())
        qDebug() << "download name refused" << answer.path;
    if (local.isEmpty()) {
        failDownload();
        return;
    }
    m_owner.m_strDownloadFile = local;
    if (!m_book.open(local, answer.size)) {
        qDebug() << "m_downloadFile open failed, strpath = " << answer.path;
        failDownload();
        return;
    }
    if (!m_bRetry)
        m_nRetryCount = 2;
    m_owner.m_strDownloadPath = answer.path;
    m_state = Download::Receiving;
    m_owed.addBytes(answer.path, answer.size);
    touch();
    readyDownloadBooks(answer.path);
}

void ClassServerConnection::writeBookBytes(const QByteArray &data)
{
    touch();
    const BookDownload::Step step = m_book.write(data);
    const int total = int(m_book.total());
    const int received = int(m_book.received());
    qDebug() << "downloading m_nFileCurrRece=" << received << "total=" << total;
    switch (step) {
    case BookDownload::Partial:
        emit m_owner.downloadPdfProgress(total, received);
        return;
    case BookDownload::Complete:
        qDebug() << "downloading finish";
        endDownload();
        emit m_owner.downloadPdfComplete(m_owner.m_strDownloadFile);
        emit m_owner.downloadPdfProgress(total, received);
        break;
    case BookDownload::NotABook:
        // The old copy stays; the book is fetched again while retries are left.
        endDownload();
        retryDownload();
        break;
    case BookDownload::Failed:
        qDebug() << "book download failed" << m_owner.m_strDownloadFile;
        endDownload();
        emit m_owner.DownloadResult(false);
        break;
    }
    sendWaiting();
}

void ClassServerConnection::endDownload()
{
    m_state = Download::Idle;
    m_owner.m_bDownloading = false;
    m_strAskedPath.clear();
    m_waitTimer.stop();
}

void ClassServerConnection::failDownload()
{
    endDownload();
    emit m_owner.DownloadResult(false);
    sendWaiting();
}

// The requests made while a download was under way, in the order made, up to the next
// download.
void ClassServerConnection::sendWaiting()
{
    while (m_state == Download::Idle && !m_listWaiting.isEmpty() && m_owner.m_bServerConnected) {
        const Request request = m_listWaiting.takeFirst();
        if (request.download)
            ask(request.path);
        else
            write(request.bytes);
    }
}

// A failure the caller hears from the event loop, after its call has returned.
void ClassServerConnection::failLater()
{
    TcpManager *owner = &m_owner;
    QTimer::singleShot(0, owner, [owner] { emit owner->DownloadResult(false); });
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
