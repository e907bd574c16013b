#ifndef BOOKNAME_H
#define BOOKNAME_H

#include <QString>

// Local file name of a book sent by the server.
class BookName
{
public:
    // The text after the last "/" or "\"; empty when it is empty, ".", "..", or holds ":"
    // or a control character.
    static QString fileName(const QString &serverPath);
    // folder + fileName, or empty when the name is refused or the path leaves the folder.
    static QString localPath(const QString &folder, const QString &serverPath);
};

#endif // BOOKNAME_H
