#include "link/TeacherFrameDecoder.h"

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

void TeacherFrameDecoder::append(const QByteArray &data)
{
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    m_buffer.append(data);
}

void TeacherFrameDecoder::clear()
{
    m_buffer.clear();
    m_pos = 0;
}

TeacherFrameDecoder::Result TeacherFrameDecoder::next(Frame &frame)
{
    const char *p = m_buffer.constData() + m_pos;
    const int n = m_buffer.size() - m_pos;
    if (n <= 0)
        return Result::NeedMore;

    int i = 0;
    while (i < n && isLetter(p[i])) {
        if (++i > MaxWordLength) {
            clear();
            return Result::Undecodable;
        }
    }
    if (i == n)
        return Result::NeedMore;
    if (i == 0 || p[i] != '@') {
        clear();
        return Result::Undecodable;
    }
    const int wordEnd = i + 1;

    int j = wordEnd;
    qint64 length = 0;
    while (j < n && isDigit(p[j])) {
        length = length * 10 + (p[j] - '0');
        ++j;
        if (length > MaxLength || j - wordEnd > MaxDigits) {
            clear();
            return Result::TooLong;
        }
    }
    if (j == n)
        return Result::NeedMore;

    if (p[j] == '_' && j > wordEnd) {
        const int argStart = j + 1;
        if (n - argStart < length)
            return Result::NeedMore;
        frame.word = QByteArray(p, wordEnd);
        frame.args = QByteArray(p + argStart, static_cast<int>(length));
        m_pos += argStart + static_cast<int>(length);
        return Result::Frame;
    }

    // No numeric length: up to the next "_" the length counts as 0; without any "_"
    // the rest is the argument of an unframed message.
    frame.word = QByteArray(p, wordEnd);
    const char *underscore =
        static_cast<const char *>(memchr(p + wordEnd, '_', static_cast<size_t>(n - wordEnd)));
    if (!underscore) {
        frame.args = QByteArray(p + wordEnd, n - wordEnd);
        m_pos += n;
    } else {
        frame.args.clear();
        m_pos += static_cast<int>(underscore - p) + 1;
    }
    return Result::Frame;
}

bool TeacherFrameDecoder::holdsBareWord(const QByteArray &word) const
{
    return m_buffer.size() - m_pos == word.size() &&
           memcmp(m_buffer.constData() + m_pos, word.constData(),
                  static_cast<size_t>(word.size())) == 0;
}

bool TeacherFrameDecoder::takeBareWord(const QByteArray &word, Frame &frame)
{
    if (!holdsBareWord(word))
        return false;
    frame.word = word;
    frame.args.clear();
    clear();
    return true;
}
