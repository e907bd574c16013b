#ifndef BOOKLISTANSWER_H
#define BOOKLISTANSWER_H

#include <QString>
#include <QStringList>

// The class server's book list: "folder#name1,name2,...@end". Anything after a second "#"
// is ignored; every "@end" is taken out of the last name. Empty names are left out, and so
// is a name that is too long or holds a control character; the others stay. Without a "#",
// or past the size limits, the answer is refused.
class BookListAnswer
{
public:
    static constexpr int MaxLength = 1024 * 1024;
    static constexpr int MaxBooks = 10000;
    static constexpr int MaxNameLength = 255;

    static BookListAnswer parse(const QString &text);

    bool ok = false;
    QString folder;
    QStringList names;
};

#endif // BOOKLISTANSWER_H
