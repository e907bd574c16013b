#ifndef SERVERANSWER_H
#define SERVERANSWER_H

#include <QByteArray>
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

    // Reads one answer; anything else (unknown word, oversized) gives Unknown.
    static ServerAnswer parse(const QByteArray &data);
    // "word@" + Base64 of the UTF-8 argument.
    static QByteArray encode(const char *word, const QString &argument);

    Kind kind = Unknown;
    QString text;
};

#endif // SERVERANSWER_H
