#include "link/ServerAnswer.h"

#include <array>
#include <cstring>
#include <iterator>

namespace {
struct Word
{
    const char *word;
    ServerAnswer::Kind kind;

    int length() const { return int(qstrlen(word)); }
};
const Word kWords[] = {{"teacher@", ServerAnswer::Teacher},
                       {"login@", ServerAnswer::Login},
                       {"book@", ServerAnswer::Book},
                       {"download@", ServerAnswer::Download},
                       {"teacherIP@", ServerAnswer::TeacherIp}};

// The text between the first and the second "@", Base64-decoded, up to the first NUL.
QString argumentOf(const QByteArray &data)
{
    const int first = data.indexOf('@');
    int second = data.indexOf('@', first + 1);
    if (second < 0)
        second = data.size();
    QByteArray bytes = QByteArray::fromBase64(data.mid(first + 1, second - first - 1));
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

// The word of kWords whose last letter before its "@" is c; -1 for none. No two words
// share that letter, so a read is cut with one comparison at most for each "@".
int wordEndingIn(char c)
{
    static const std::array<signed char, 256> table = [] {
        std::array<signed char, 256> t;
        t.fill(-1);
        for (int i = 0; i < int(std::size(kWords)); ++i)
            t[uchar(kWords[i].word[kWords[i].length() - 2])] = static_cast<signed char>(i);
        return t;
    }();
    return table[uchar(c)];
}

// Where the answer word that ends with the "@" at at starts; -1 when no word ends there.
int wordBefore(const char *data, int at)
{
    const int index = at > 0 ? wordEndingIn(data[at - 1]) : -1;
    if (index < 0)
        return -1;
    const Word &w = kWords[index];
    const int start = at + 1 - w.length();
    return start >= 0 && memcmp(data + start, w.word, size_t(w.length())) == 0 ? start : -1;
}
} // namespace

ServerAnswer ServerAnswer::parse(const QByteArray &data)
{
    ServerAnswer answer;
    if (data.size() > MaxSize)
        return answer;
    for (const Word &w : kWords) {
        if (data.startsWith(w.word)) {
            answer.kind = w.kind;
            answer.text = argumentOf(data);
            break;
        }
    }
    return answer;
}

QList<QByteArray> ServerAnswer::split(const QByteArray &data)
{
    // Larger than any answer: left whole, for parse to refuse.
    if (data.size() > MaxSize)
        return {data};
    QList<QByteArray> pieces;
    const char *bytes = data.constData();
    int start = 0;
    for (int at = 0; at < data.size() && pieces.size() < MaxAnswersPerRead - 1; ++at) {
        if (bytes[at] != '@')
            continue;
        const int word = wordBefore(bytes, at);
        if (word > start) {
            pieces.append(data.mid(start, word - start));
            start = word;
        }
    }
    if (start < data.size())
        pieces.append(data.mid(start));
    return pieces;
}

bool ServerAnswer::isContinuation(const QByteArray &data)
{
    if (data.isEmpty())
        return false;
    for (const char c : data) {
        const bool base64 = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '+' || c == '/' || c == '=';
        if (!base64)
            return false;
    }
    return true;
}

bool ServerAnswer::isWhole() const
{
    if (kind != Book)
        return true;
    const int first = text.indexOf(QLatin1Char('#'));
    if (first < 0)
        return false;
    return text.indexOf(QLatin1Char('#'), first + 1) > 0 || text.endsWith(QLatin1String("@end"));
}

QByteArray ServerAnswer::encode(const char *word, const QString &argument)
{
    return QByteArray(word) + argument.toUtf8().toBase64();
}
