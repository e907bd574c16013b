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

    // Length of the answer word, with its "@", that data begins with: 0 when it begins with
    // none, -1 when data is the start of one cut short.
    static int wordLength(const char *data, int size);
    // Where the answer word ending with the "@" at position at starts; -1 when none ends there.
    static int wordStart(const char *data, int at);
    // The answer data[0, size) that begins with an answer word of wordLength bytes: the
    // argument is its Base64 decoded, up to the first NUL, read as UTF-8.
    static ServerAnswer decode(const char *data, int wordLength, int size);
    // "word@" + Base64 of the UTF-8 argument.
    static QByteArray encode(const char *word, const QString &argument);

    Kind kind = Unknown;
    QString text;
};

#endif // SERVERANSWER_H
