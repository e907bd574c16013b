#include "support/FakeTeacher.h"

FakeTeacher::FakeTeacher(QObject *parent) : FakePeer(parent) {}

QByteArray FakeTeacher::frame(const QByteArray &word, const QByteArray &args)
{
    QByteArray bytes = word;
    if (!bytes.endsWith('@'))
        bytes.append('@');
    return bytes + QByteArray::number(args.size()) + '_' + args;
}

bool FakeTeacher::sendFrame(const QByteArray &word, const QByteArray &args)
{
    return write(frame(word, args));
}

QList<QByteArray> FakeTeacher::frameTexts() const
{
    QList<QByteArray> texts;
    for (const Frame &f : m_frames)
        texts << f.first + f.second;
    return texts;
}

void FakeTeacher::clearFrames()
{
    m_frames.clear();
    m_pending.clear();
    clearReceived();
}

bool FakeTeacher::removeFrame(const QByteArray &text)
{
    for (int i = 0; i < m_frames.size(); ++i) {
        if (m_frames.at(i).first + m_frames.at(i).second == text) {
            m_frames.removeAt(i);
            return true;
        }
    }
    return false;
}

bool FakeTeacher::waitForFrames(int count, int timeoutMs)
{
    return waitUntil([this, count] { return m_frames.size() >= count; }, timeoutMs);
}

// Frames as the student writes them; bytes that do not fit the form are kept as they are.
void FakeTeacher::onBytes(const QByteArray &bytes)
{
    m_pending.append(bytes);
    for (;;) {
        const int at = m_pending.indexOf('@');
        const int underscore = m_pending.indexOf('_', at + 1);
        if (at < 0 || underscore < 0)
            return;
        bool ok = false;
        const int length = m_pending.mid(at + 1, underscore - at - 1).toInt(&ok);
        if (!ok || length < 0)
            return;
        if (m_pending.size() - underscore - 1 < length)
            return;
        const Frame f(m_pending.left(at + 1), m_pending.mid(underscore + 1, length));
        m_pending.remove(0, underscore + 1 + length);
        m_frames << f;
        emit frameReceived(f.first, f.second);
    }
}
