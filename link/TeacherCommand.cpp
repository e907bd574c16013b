#include "link/TeacherCommand.h"

#include "link/BookName.h"

#include <QDebug>

namespace {
const QChar kHash = QLatin1Char('#');

// Splits at the first count - 1 separators; the last part keeps the rest.
QStringList splitFirst(const QString &text, QChar separator, int count)
{
    QStringList parts;
    int start = 0;
    while (parts.size() < count - 1) {
        const int at = text.indexOf(separator, start);
        if (at < 0)
            break;
        parts << text.mid(start, at - start);
        start = at + 1;
    }
    parts << text.mid(start);
    return parts;
}
} // namespace

int TeacherCommand::readNumber(const QString &text, int max)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value <= max ? value : -1;
}

TeacherCommand::Target TeacherCommand::readTarget(const QString &word)
{
    if (word == QLatin1String("ebook"))
        return EBook;
    if (word == QLatin1String("enote"))
        return ENote;
    return NoTarget;
}

bool TeacherCommand::parseLine(const QString &argument, PageMessage &out)
{
    const QStringList parts = splitFirst(argument, QLatin1Char('&'), 3);
    if (parts.size() != 3) {
        qDebug() << "line@ dropped: not three parts";
        return false;
    }
    out.target = readTarget(parts.at(0));
    out.page = readNumber(parts.at(1), MaxRow);
    out.itemText = parts.at(2);
    if (out.target == NoTarget || out.page < 0) {
        qDebug() << "line@ dropped: target or page" << parts.at(0) << parts.at(1);
        return false;
    }
    return true;
}

bool TeacherCommand::parseMove(const QString &argument, MoveItem &out)
{
    const QStringList fields = argument.split(kHash);
    if (fields.size() != 4) {
        qDebug() << "moveimage@ dropped: not four fields";
        return false;
    }
    out.target = readTarget(fields.at(0));
    out.page = readNumber(fields.at(1), MaxRow);
    out.itemId = fields.at(2);
    out.pos = fields.at(3);
    if (out.target == NoTarget || out.page < 0) {
        qDebug() << "moveimage@ dropped: target or page" << fields.at(0) << fields.at(1);
        return false;
    }
    return true;
}

bool TeacherCommand::parsePageRef(const QString &argument, PageRef &out)
{
    const QStringList fields = argument.split(kHash);
    if (fields.size() != 2) {
        qDebug() << "page command dropped: not two fields" << argument.left(64);
        return false;
    }
    out.target = readTarget(fields.at(0));
    out.page = readNumber(fields.at(1), MaxRow);
    if (out.target == NoTarget || out.page < 0) {
        qDebug() << "page command dropped: target or page" << argument.left(64);
        return false;
    }
    return true;
}

bool TeacherCommand::parseShareVote(const QString &argument, ShareVote &out)
{
    out.fields = argument.split(kHash);
    out.target = out.fields.isEmpty() ? NoTarget : readTarget(out.fields.first());
    if (out.fields.size() != 8 || out.target == NoTarget) {
        qDebug() << "sharevote@ dropped" << argument.left(64);
        return false;
    }
    return true;
}

TeacherCommand::LockAction TeacherCommand::parseLock(const QString &argument, QString &text)
{
    const QStringList parts = splitFirst(argument, kHash, 2);
    if (parts.size() == 2 && parts.at(0) == QLatin1String("1")) {
        text = parts.at(1);
        return Lock;
    }
    if (argument == QLatin1String("0"))
        return Unlock;
    qDebug() << "lockscreen@ changes nothing:" << argument.left(64);
    return LockNone;
}

bool TeacherCommand::parseBrowser(const QString &argument, QString &address)
{
    const QStringList parts = splitFirst(argument, kHash, 2);
    if (parts.size() != 2 || parts.at(1).trimmed().isEmpty()) {
        qDebug() << "browser@ dropped: no address";
        return false;
    }
    address = parts.at(1).trimmed();
    if (!address.startsWith(QLatin1String("http://")) &&
        !address.startsWith(QLatin1String("https://")))
        address.prepend(QLatin1String("http://"));
    return true;
}

bool TeacherCommand::parseAddPage(const QStringList &fields, AddPage &out)
{
    if (fields.size() != 4) {
        qDebug() << "add page dropped: not four fields";
        return false;
    }
    const QStringList size = fields.at(2).split(QLatin1Char(','));
    if (size.size() != 2) {
        qDebug() << "add page dropped: size" << fields.at(2).left(64);
        return false;
    }
    out.width = readNumber(size.at(0), MaxPageSide);
    out.height = readNumber(size.at(1), MaxPageSide);
    out.withImage = fields.at(3) == QLatin1String("1");
    if (out.width < 1 || out.height < 1) {
        qDebug() << "add page dropped: size" << fields.at(2).left(64);
        return false;
    }
    return true;
}

bool TeacherCommand::parseBookAnswer(const QStringList &fields, Answer &out)
{
    out = Answer();
    if (fields.size() != 3)
        return false;
    if (fields.at(1) == QLatin1String("bookpath")) {
        const QString path = fields.at(2);
        const QString name = BookName::fileName(path);
        if (!path.endsWith(QLatin1String(".pdf")) || name.isEmpty()) {
            qDebug() << "bookpath dropped:" << path.left(256);
            return false;
        }
        out.kind = BookPath;
        out.path = path;
        out.fileName = name;
        return true;
    }
    if (fields.at(1) == QLatin1String("pageindex")) {
        out.number = readNumber(fields.at(2), MaxRow);
        if (out.number < 0) {
            qDebug() << "ebook pageindex dropped:" << fields.at(2).left(64);
            return false;
        }
        out.kind = PageIndex;
        return true;
    }
    return false;
}

bool TeacherCommand::parseENoteAnswer(const QStringList &fields, Answer &out)
{
    out = Answer();
    if (fields.size() != 3)
        return false;
    const bool count = fields.at(1) == QLatin1String("pagecount");
    if (!count && fields.at(1) != QLatin1String("pageindex"))
        return false;
    out.number = readNumber(fields.at(2), count ? MaxPageCount : MaxRow);
    if (out.number < 0) {
        qDebug() << "enote" << fields.at(1) << "dropped:" << fields.at(2).left(64);
        return false;
    }
    out.kind = count ? PageCount : PageIndex;
    return true;
}
