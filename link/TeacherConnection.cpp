#include "link/TeacherConnection.h"

#include "link/MonotonicClock.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherFrameHandler.h"

#include <QDebug>

namespace {
constexpr qint64 kReadBuffer = 4 * 1024 * 1024;
constexpr int kLogBytes = 256; // of each piece of teacher data written to the log
} // namespace

TeacherConnection::TeacherConnection(TcpManager &owner)
    : m_owner(owner), m_clock(MonotonicClock::nowMs)
{
    m_socket.setReadBufferSize(kReadBuffer);
    m_headerTimer.setSingleShot(true);
    m_headerTimer.setInterval(HeaderWaitMs);
}

TeacherConnection::~TeacherConnection()
{
    // The socket closes while it is destroyed; its signals must not reach the owner then.
    m_socket.disconnect(&m_owner);
}

void TeacherConnection::setClock(std::function<qint64()> clock)
{
    m_clock = clock ? std::move(clock) : std::function<qint64()>(MonotonicClock::nowMs);
}

void TeacherConnection::setENoteClearPages(std::function<void()> clearPages)
{
    m_clearENotePages = std::move(clearPages);
}

qint64 TeacherConnection::now() const
{
    return m_clock();
}

void TeacherConnection::connectTo(const QString &address)
{
    m_socket.connectToHost(address, m_nPort, QIODevice::ReadWrite);
}

void TeacherConnection::logout()
{
    // Only a live connection can end in a kick; one still being made is dropped silently,
    // or it would come up and its drop would start a reconnect.
    m_owner.m_bKick = m_socket.state() == QAbstractSocket::ConnectedState;
    if (m_owner.m_bKick)
        m_socket.close();
    else
        m_socket.abort();
}

void TeacherConnection::onConnected()
{
    qDebug() << "teacher data socket connected";
    m_decoder.clear();
    m_headerTimer.stop();
    m_owner.m_bKick = false;
    m_nLastReceiveTime = now();
    m_owner.sendStudentId();
}

void TeacherConnection::onDisconnected()
{
    m_owner.m_bTeacherConnected = false;
    m_bENotePageCountAsked = false;
    m_heartBeatTimer.stop();
    m_headerTimer.stop();
    m_decoder.clear();
    qDebug() << "teacher socket disconnected";
    if (Settings::instance()->m_bReconnecting)
        return;
    m_owner.m_bShare = false;
    if (!m_owner.m_bKick) {
        emit m_owner.teacherReconnect();
        return;
    }
    m_owner.m_bKick = false;
    qDebug() << "emit teacher kick";
    emit m_owner.teacherKick();
}

void TeacherConnection::onHeartBeat()
{
    const qint64 silence = now() - m_nLastReceiveTime;
    if (silence <= HeartBeatInterval)
        return;
    if (silence <= 3 * HeartBeatInterval) {
        send(QStringLiteral("heart@"));
        return;
    }
    m_heartBeatTimer.stop();
    // abort, not close: a silent teacher may never take the bytes still queued for it.
    m_socket.abort();
}

void TeacherConnection::onReadyRead()
{
    receive(m_socket.readAll());
}

void TeacherConnection::receive(const QByteArray &bytes)
{
    m_nLastReceiveTime = now();
    m_headerTimer.stop();
    const qint64 missing = m_decoder.missing();
    m_decoder.append(bytes);
    if (missing > 0) {
        // The read continues a frame; it is not looked at for a command word.
        const qint64 surplus = bytes.size() - missing;
        qDebug() << "wait len " << surplus << missing << bytes.size();
        if (surplus < 0)
            return;
        TeacherFrameDecoder::Frame frame;
        if (m_decoder.next(frame) == TeacherFrameDecoder::Result::Frame) {
            if (surplus > 0)
                qWarning() << "len > 0 " << m_decoder.lastFrame(kLogBytes);
            qDebug() << "rece teacher data :" << m_decoder.lastFrame(kLogBytes);
            TeacherFrameHandler::handle(m_owner, *this, frame.word, frame.args);
        }
    }
    decode();
}

// Hands out every complete frame in arrival order; a loop, not recursion. Each piece of
// data is logged: the rest of the read, and a frame cut off the front of more data.
void TeacherConnection::decode()
{
    TeacherFrameDecoder::Frame frame;
    for (;;) {
        if (m_decoder.buffered() > 0 && !m_decoder.holdsHeader())
            qDebug() << "rece teacher data :" << m_decoder.peek(kLogBytes);
        switch (m_decoder.next(frame)) {
        case TeacherFrameDecoder::Result::Frame:
            if (m_decoder.buffered() > 0)
                qDebug() << "rece teacher data :" << m_decoder.lastFrame(kLogBytes);
            TeacherFrameHandler::handle(m_owner, *this, frame.word, frame.args);
            break;
        case TeacherFrameDecoder::Result::NeedMore:
            if (m_decoder.holdsHeader())
                m_headerTimer.start();
            return;
        case TeacherFrameDecoder::Result::Undecodable:
            qDebug() << "teacher data not a command, dropped to the end of the read";
            break;
        case TeacherFrameDecoder::Result::TooLong:
            qDebug() << "teacher frame longer than" << TeacherFrameDecoder::MaxLength
                     << "bytes, connection aborted";
            m_socket.abort();
            return;
        }
    }
}

// No read came to finish the header: the read before ended there.
void TeacherConnection::onHeaderWaitOver()
{
    TeacherFrameDecoder::Frame frame;
    if (m_decoder.finish(frame))
        TeacherFrameHandler::handle(m_owner, *this, frame.word, frame.args);
}

void TeacherConnection::send(const QString &message)
{
    m_socket.writeFramed(message.toUtf8());
    // Flushing a socket that is still connecting would abort it.
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.flush();
}

void TeacherConnection::accepted()
{
    m_nLastReceiveTime = now();
    m_heartBeatTimer.start(HeartBeatInterval);
}

void TeacherConnection::clearENotePages()
{
    if (m_clearENotePages)
        m_clearENotePages();
}

bool TeacherConnection::firstPageCountQuery()
{
    if (m_bENotePageCountAsked)
        return false;
    m_bENotePageCountAsked = true;
    return true;
}
