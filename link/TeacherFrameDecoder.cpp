#include "link/TeacherFrameDecoder.h"

#include <QList>

#include <cstring>

namespace {
bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Letters from `from` on, counting at most limit + 1 of them.
int lettersRun(const char *p, int from, int end, int limit)
{
    int i = from;
    while (i < end && i - from <= limit && isLetter(p[i]))
        ++i;
    return i - from;
}
} // namespace

QString TeacherFrameDecoder::argumentText(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
}

QStringList TeacherFrameDecoder::argumentFields(const QByteArray &bytes, char separator)
{
    QStringList fields;
    for (const QByteArray &field : bytes.split(separator))
        fields << argumentText(field);
    return fields;
}

const QList<QByteArray> &TeacherFrameDecoder::commandWords()
{
    static const QList<QByteArray> words{
        "query@",     "line@",    "moveimage@",  "clear@",  "browser@",     "chat@",
        "closechat@", "warning@", "lockscreen@", "vote@",   "share@",       "sharevote@",
        "kick@",      "sync@",    "preview@",    "rotate@", "information@", "heart@"};
    return words;
}

bool TeacherFrameDecoder::isCommandWord(const char *letters, int size)
{
    for (const QByteArray &word : commandWords()) {
        if (word.size() == size + 1 && memcmp(word.constData(), letters, size_t(size)) == 0)
            return true;
    }
    return false;
}

bool TeacherFrameDecoder::isCommandPrefix(const char *letters, int size)
{
    if (size <= 0)
        return false;
    for (const QByteArray &word : commandWords()) {
        if (word.size() > size && memcmp(word.constData(), letters, size_t(size)) == 0)
            return true;
    }
    return false;
}

void TeacherFrameDecoder::append(const QByteArray &data)
{
    if (data.isEmpty())
        return;
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_nTailEnd -= m_pos;
        m_pos = 0;
        m_nFrameStart = 0;
    }
    m_buffer.append(data);
}

void TeacherFrameDecoder::clear()
{
    m_buffer.clear();
    m_pos = 0;
    m_nFrameStart = 0;
    m_tail = Tail::None;
    m_nTailEnd = 0;
}

qint64 TeacherFrameDecoder::missing() const
{
    if (m_tail != Tail::None)
        return 0;
    const char *p = m_buffer.constData();
    const int end = m_buffer.size();
    int i = m_pos + lettersRun(p, m_pos, end, MaxWordLength);
    if (i == m_pos || i >= end || p[i] != '@')
        return 0;
    qint64 length = 0;
    const int digits = ++i;
    while (i < end && isDigit(p[i])) {
        length = length * 10 + (p[i] - '0');
        if (length > MaxLength)
            return 0;
        ++i;
    }
    if (i == digits || i >= end || p[i] != '_')
        return 0;
    return qMax<qint64>(0, length - (end - i - 1));
}

QByteArray TeacherFrameDecoder::lastFrame(int limit) const
{
    return m_buffer.mid(m_nFrameStart, qMin(limit, m_pos - m_nFrameStart));
}

bool TeacherFrameDecoder::holdsHeader() const
{
    return m_tail != Tail::None && m_buffer.size() == m_nTailEnd;
}

bool TeacherFrameDecoder::finish(Frame &frame)
{
    if (!holdsHeader())
        return false;
    m_tail = Tail::None;
    return decode(frame, m_nTailEnd, true) == Result::Frame;
}

TeacherFrameDecoder::Result TeacherFrameDecoder::next(Frame &frame)
{
    if (m_tail != Tail::None) {
        if (m_buffer.size() == m_nTailEnd)
            return Result::NeedMore;
        const bool joined = continuesTail();
        m_tail = Tail::None;
        if (!joined && decode(frame, m_nTailEnd, true) == Result::Frame)
            return Result::Frame;
    }
    return decode(frame, m_buffer.size(), false);
}

// Whether the read after a held tail carries the rest of its header.
bool TeacherFrameDecoder::continuesTail() const
{
    const char *p = m_buffer.constData();
    const int r = m_nTailEnd;
    const int n = m_buffer.size();
    if (m_tail == Tail::Word || m_tail == Tail::Digits)
        return isDigit(p[r]) || p[r] == '_';

    // Letters: joined while together they still spell a command word, or when the read
    // starts with the "@" that ends the word.
    int start = m_pos;
    if (m_tail == Tail::NextLetters)
        start = m_buffer.indexOf('@', m_pos) + 1;
    const int run = lettersRun(p, r, n, MaxWordLength);
    if (run == 0)
        return p[r] == '@';
    const int total = r - start + run;
    if (r + run < n && p[r + run] == '@')
        return isCommandWord(p + start, total);
    return isCommandPrefix(p + start, total);
}

TeacherFrameDecoder::Result TeacherFrameDecoder::hold(Tail tail)
{
    m_tail = tail;
    m_nTailEnd = m_buffer.size();
    return Result::NeedMore;
}

void TeacherFrameDecoder::take(Frame &frame, int wordEnd, int argStart, int argEnd, int next)
{
    const char *p = m_buffer.constData();
    frame.word = QByteArray(p + m_pos, wordEnd - m_pos);
    frame.args = QByteArray(p + argStart, argEnd - argStart);
    m_nFrameStart = m_pos;
    m_pos = next;
}

// No usable length: up to the next "_" of the data the length counts as 0; without any
// "_" the rest of the data is the argument of a command sent unframed.
TeacherFrameDecoder::Result TeacherFrameDecoder::unframed(Frame &frame, int wordEnd, int end)
{
    const char *p = m_buffer.constData();
    const void *underscore = memchr(p + wordEnd, '_', size_t(end - wordEnd));
    if (underscore) {
        const int u = int(static_cast<const char *>(underscore) - p);
        take(frame, wordEnd, wordEnd, wordEnd, u + 1);
    } else {
        take(frame, wordEnd, wordEnd, end, end);
    }
    return Result::Frame;
}

// Decodes one frame from m_pos within the data up to end; final means no byte will
// be added to that data.
TeacherFrameDecoder::Result TeacherFrameDecoder::decode(Frame &frame, int end, bool final)
{
    const char *p = m_buffer.constData();
    const int s = m_pos;
    if (s >= end)
        return Result::NeedMore;

    const int letters = lettersRun(p, s, end, MaxWordLength);
    if (letters > MaxWordLength || (s + letters < end && (letters == 0 || p[s + letters] != '@'))) {
        m_pos = end;
        return Result::Undecodable;
    }
    if (s + letters == end) {
        if (!final)
            return hold(Tail::Letters);
        m_pos = end;
        return Result::Undecodable;
    }
    const int wordEnd = s + letters + 1;
    if (wordEnd == end) {
        if (!final)
            return hold(Tail::Word);
        take(frame, wordEnd, wordEnd, wordEnd, end);
        return Result::Frame;
    }

    const char c = p[wordEnd];
    if (isDigit(c)) {
        int j = wordEnd;
        qint64 length = 0;
        while (j < end && isDigit(p[j])) {
            length = length * 10 + (p[j] - '0');
            ++j;
            if (length > MaxLength || j - wordEnd > MaxDigits) {
                clear();
                return Result::TooLong;
            }
        }
        if (j == end)
            return final ? unframed(frame, wordEnd, end) : hold(Tail::Digits);
        if (p[j] != '_')
            return unframed(frame, wordEnd, end);
        const int argStart = j + 1;
        if (end - argStart < length)
            return Result::NeedMore;
        const int argEnd = argStart + int(length);
        take(frame, wordEnd, argStart, argEnd, argEnd);
        return Result::Frame;
    }
    if (c == '_') {
        take(frame, wordEnd, wordEnd, wordEnd, wordEnd + 1);
        return Result::Frame;
    }
    if (isLetter(c)) {
        // A command word right after another: the first was sent unframed.
        const int run = lettersRun(p, wordEnd, end, MaxWordLength);
        if (run <= MaxWordLength) {
            if (wordEnd + run == end && !final && isCommandPrefix(p + wordEnd, run))
                return hold(Tail::NextLetters);
            if (wordEnd + run < end && p[wordEnd + run] == '@') {
                take(frame, wordEnd, wordEnd, wordEnd, wordEnd);
                return Result::Frame;
            }
        }
    }
    return unframed(frame, wordEnd, end);
}
