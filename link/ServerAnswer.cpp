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

// The word of kWords whose last letter before its "@" is c; -1 for none. No two words
// share that letter, so a stream is cut with one comparison at most for each "@".
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

const Word *wordOf(const char *data, int at)
{
    const int index = at > 0 ? wordEndingIn(data[at - 1]) : -1;
    return index < 0 ? nullptr : &kWords[index];
}
} // namespace

int ServerAnswer::wordLength(const char *data, int size)
{
    if (size <= 0)
        return 0;
    for (const Word &w : kWords) {
        const int length = w.length();
        const int common = qMin(size, length);
        if (memcmp(data, w.word, size_t(common)) != 0)
            continue;
        return common == length ? length : -1;
    }
    return 0;
}

int ServerAnswer::wordStart(const char *data, int at)
{
    const Word *w = wordOf(data, at);
    if (!w)
        return -1;
    const int start = at + 1 - w->length();
    return start >= 0 && memcmp(data + start, w->word, size_t(w->length())) == 0 ? start : -1;
}

ServerAnswer ServerAnswer::decode(const char *data, int wordLength, int size)
{
    ServerAnswer answer;
    const Word *w = wordOf(data, wordLength - 1);
    if (!w || w->length() != wordLength)
        return answer;
    answer.kind = w->kind;
    QByteArray bytes =
        QByteArray::fromBase64(QByteArray::fromRawData(data + wordLength, size - wordLength));
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    answer.text = QString::fromUtf8(bytes);
    return answer;
}

QByteArray ServerAnswer::encode(const char *word, const QString &argument)
{
    return QByteArray(word) + argument.toUtf8().toBase64();
}
