#include "link/DownloadAnswer.h"

DownloadAnswer DownloadAnswer::parse(const QString &text)
{
    DownloadAnswer answer;
    const int hash = text.lastIndexOf(QLatin1Char('#'));
    if (hash < 0) {
        if (text == QLatin1String("failed"))
            answer.kind = Refused;
        return answer;
    }
    const QString first = text.section(QLatin1Char('#'), 0, 0);
    if (first == QLatin1String("failed")) {
        answer.kind = Failed;
        answer.path = text.section(QLatin1Char('#'), 1); // the book, when the server names it
        return answer;
    }
    answer.path = text.left(hash);
    const QStringRef size = text.midRef(hash + 1);
    answer.kind = BadSize;
    if (size.isEmpty() || size.size() > 10)
        return answer;
    for (const QChar c : size) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return answer;
    }
    const qint64 value = size.toLongLong();
    if (value <= 0 || value > MaxSize)
        return answer;
    answer.size = value;
    answer.kind = Offer;
    return answer;
}
