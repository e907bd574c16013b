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
