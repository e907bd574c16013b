#ifndef DOWNLOADANSWER_H
#define DOWNLOADANSWER_H

#include <QString>

// The argument of the server's "download@" answer: "failed#...", "failed" alone, or
// "<server path>#<size>". The path of a failure is the text after "failed#", which may
// name the book that failed.
class DownloadAnswer
{
public:
    enum Kind
    {
        Ignored,
        Failed,
        Refused, // "failed" alone: ends the request under way, if any
        Offer,
        BadSize
    };

    static constexpr qint64 MaxSize = 0x7fffffff; // progress is reported as int

    static DownloadAnswer parse(const QString &text);

    Kind kind = Ignored;
    QString path;
    qint64 size = 0;
};

#endif // DOWNLOADANSWER_H
