#include "link/ServerAnswer.h"

namespace {
struct Word
{
    const char *word;
    ServerAnswer::Kind kind;
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

// Where the answer word that ends with the "@" at at starts; -1 when no word ends there.
int wordBefore(const QByteArray &data, int at)
{
    for (const Word &w : kWords) {
        const int length = int(qstrlen(w.word));
        const int start = at + 1 - length;
        if (start >= 0 && qstrncmp(data.constData() + start, w.word, uint(length)) == 0)
            return start;
    }
    return -1;
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
    QList<QByteArray> pieces;
    int start = 0;
    for (int at = data.indexOf('@'); at >= 0 && pieces.size() < MaxAnswersPerRead - 1;
         at = data.indexOf('@', at + 1)) {
        const int word = wordBefore(data, at);
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
