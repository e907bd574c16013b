#ifndef SERVERANSWER_H
#define SERVERANSWER_H

#include <QByteArray>
#include <QList>
#include <QString>

// One class-server message: a command word, "@" and the Base64 form of its argument.
class ServerAnswer
{
public:
    enum Kind
    {
        Unknown,
        Teacher,
        Login,
        Book,
        Download,
        TeacherIp
    };

    static constexpr int MaxSize = 16 * 1024 * 1024;
    // Answers taken from one read at most; the last piece holds whatever is left.
    static constexpr int MaxAnswersPerRead = 64;

    // Reads one answer; anything else (unknown word, oversized) gives Unknown.
    static ServerAnswer parse(const QByteArray &data);
    // Cuts a read before each answer word, as a server that catches up sends several answers
    // at once. Bytes before the first word come first, as they are: the rest of an answer cut
    // by the read before, or noise.
    static QList<QByteArray> split(const QByteArray &data);
    // A read of Base64 characters only: the rest of an answer cut by the read before.
    static bool isContinuation(const QByteArray &data);
    // "word@" + Base64 of the UTF-8 argument.
    static QByteArray encode(const char *word, const QString &argument);

    // False for a book list that lacks its end ("@end" after the names, or a second "#"):
    // more of it is on its way.
    bool isWhole() const;

    Kind kind = Unknown;
    QString text;
};

#endif // SERVERANSWER_H
