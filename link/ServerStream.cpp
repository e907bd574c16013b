#include "link/ServerStream.h"

#include <QDebug>

#include <cstring>

namespace {
constexpr int kLongestWord = 10; // "teacherIP@"

bool isBase64(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

// A book list whose whole Base64 data[word, end) ends in the list's terminator "@end": its
// end is told by the text. Only the last two groups are decoded.
bool endsBookList(const char *data, int word, int end)
{
    if (word != 5 || memcmp(data, "book@", 5) != 0 || (end - word) % 4 != 0)
        return false;
    const int from = qMax(word, end - 8);
    return QByteArray::fromBase64(QByteArray::fromRawData(data + from, end - from))
        .endsWith("@end");
}
} // namespace

void ServerStream::append(const QByteArray &bytes)
{
    if (m_nHead > 0) {
        m_buffer.remove(0, m_nHead);
        m_nHead = 0;
    }
    if (m_buffer.isEmpty())
        m_buffer = bytes;
    else
        m_buffer.append(bytes);
}

bool ServerStream::next(ServerAnswer *answer)
{
    for (;;) {
        const char *data = m_buffer.constData() + m_nHead;
        const int size = m_buffer.size() - m_nHead;
        m_tail = Tail::None;
        if (size == 0)
            return false;
        const int word = ServerAnswer::wordLength(data, size);
        if (word < 0) {
            m_tail = Tail::Cut;
            return false;
        }
        if (word == 0) {
            dropNoise();
            continue;
        }
        int at = qMax(word, m_nScanned);
        while (at < size && isBase64(data[at]))
            ++at;
        m_nScanned = at;
        int end = at;
        if (at == size) {
            if (size > MaxAnswerBytes) {
                drop(size, "answer too long");
                continue;
            }
            // The Base64 may go on in the next read, unless a book list's terminator ends it.
            if (!endsBookList(data, word, at)) {
                m_tail = (at - word) % 4 == 0 ? Tail::Open : Tail::Cut;
                return false;
            }
        } else if (data[at] == '=') {
            const int padding = (4 - (at - word) % 4) % 4;
            while (end - at < padding && end < size && data[end] == '=')
                ++end;
            if (end - at < padding && end == size) {
                m_tail = Tail::Cut;
                return false;
            }
        } else if (data[at] == '@') {
            // The next answer's word is the end of this one's Base64.
            const int start = ServerAnswer::wordStart(data, at);
            if (start >= word)
                end = start;
        }
        if (end > MaxAnswerBytes) {
            drop(end, "answer too long");
            continue;
        }
        *answer = ServerAnswer::decode(data, word, end);
        m_nHead += end;
        m_nScanned = 0;
        return true;
    }
}

// The head begins with no answer word: everything up to the next one goes. A word cut short
// at the end is kept for the next read.
void ServerStream::dropNoise()
{
    const char *data = m_buffer.constData() + m_nHead;
    const int size = m_buffer.size() - m_nHead;
    for (const char *at = static_cast<const char *>(memchr(data + 1, '@', size_t(size - 1))); at;
         at = static_cast<const char *>(memchr(at + 1, '@', size_t(data + size - at - 1)))) {
        const int start = ServerAnswer::wordStart(data, int(at - data));
        if (start > 0) {
            drop(start, "no answer");
            return;
        }
    }
    for (int keep = qMax(1, size - kLongestWord + 1); keep < size; ++keep) {
        if (ServerAnswer::wordLength(data + keep, size - keep) < 0) {
            drop(keep, "no answer");
            return;
        }
    }
    drop(size, "no answer");
}

void ServerStream::drop(int count, const char *why)
{
    qDebug() << "class-server bytes dropped," << why << ":" << count;
    m_nHead += count;
    m_nScanned = 0;
}

bool ServerStream::finish(ServerAnswer *answer)
{
    if (next(answer))
        return true;
    const char *data = m_buffer.constData() + m_nHead;
    const int size = m_buffer.size() - m_nHead;
    const Tail tail = m_tail;
    m_tail = Tail::None;
    if (tail == Tail::Open) {
        *answer = ServerAnswer::decode(data, ServerAnswer::wordLength(data, size), size);
        m_nHead += size;
        m_nScanned = 0;
        return true;
    }
    if (tail == Tail::Cut)
        drop(size, "answer cut short");
    return false;
}

bool ServerStream::startsWithAnswer() const
{
    return ServerAnswer::wordLength(m_buffer.constData() + m_nHead, int(buffered())) != 0;
}

QByteArray ServerStream::take(qint64 max)
{
    const int count = int(qMin(max, buffered()));
    QByteArray bytes;
    if (m_nHead == 0 && count == m_buffer.size()) {
        bytes.swap(m_buffer);
    } else {
        bytes = m_buffer.mid(m_nHead, count);
        m_nHead += count;
    }
    m_nScanned = 0;
    m_tail = Tail::None;
    return bytes;
}

void ServerStream::clear()
{
    m_buffer.clear();
    m_nHead = 0;
    m_nScanned = 0;
    m_tail = Tail::None;
}
