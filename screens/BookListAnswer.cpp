#include "screens/BookListAnswer.h"

#include <QDebug>

namespace {
const QLatin1String kEnd("@end");

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}
} // namespace

BookListAnswer BookListAnswer::parse(const QString &text)
{
    BookListAnswer answer;
    if (text.size() > MaxLength) {
        qDebug() << "BookListAnswer: answer too long" << text.size();
        return answer;
    }
    const QStringList parts = text.split(QLatin1Char('#'));
    if (parts.size() < 2) {
        qDebug() << "BookListAnswer: no book list" << text.left(256);
        return answer;
    }
    QStringList names = parts.at(1).split(QLatin1Char(','));
    if (names.size() > MaxBooks) {
        qDebug() << "BookListAnswer: too many books" << names.size();
        return answer;
    }
    names.last().remove(kEnd);
    for (const QString &name : qAsConst(names)) {
        if (name.isEmpty())
            continue;
        if (name.size() > MaxNameLength || hasControlCharacter(name)) {
            qDebug() << "BookListAnswer: name left out" << name.left(256);
            continue;
        }
        answer.names << name;
    }
    answer.folder = parts.at(0);
    answer.ok = true;
    return answer;
}
