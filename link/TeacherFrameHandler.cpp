#include "link/TeacherFrameHandler.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherConnection.h"
#include "link/TeacherFrameDecoder.h"

#include <QDebug>

namespace {
// Commands whose whole argument text goes to one signal.
struct TextCommand
{
    const char *word;
    void (TcpManager::*signal)(QString);
};
const TextCommand kTextCommands[] = {
    {"line@", &TcpManager::lineData},       {"moveimage@", &TcpManager::moveImage},
    {"clear@", &TcpManager::receClearPage}, {"browser@", &TcpManager::browserCommand},
    {"chat@", &TcpManager::receChat},       {"warning@", &TcpManager::receWarnning},
    {"lockscreen@", &TcpManager::receLock}, {"sharevote@", &TcpManager::receshareVoteCmd},
    {"rotate@", &TcpManager::receRotateCmd}};

QString text(const QByteArray &args)
{
    return TeacherFrameDecoder::argumentText(args);
}
} // namespace

void TeacherFrameHandler::handle(TcpManager &tcp, TeacherConnection &link, const QByteArray &word,
                                 const QByteArray &args)
{
    for (const TextCommand &command : kTextCommands) {
        if (word == command.word) {
            emit(tcp.*command.signal)(text(args));
            return;
        }
    }
    if (word == "query@") {
        query(tcp, args);
    } else if (word == "closechat@") {
        emit tcp.receCloseChat();
    } else if (word == "vote@") {
        qDebug() << "receVote " << args;
        emit tcp.receVote(text(args));
    } else if (word == "share@") {
        share(tcp, text(args));
    } else if (word == "kick@") {
        if (text(args) == QLatin1String("1"))
            tcp.m_bKick = true;
    } else if (word == "sync@") {
        const QString argument = text(args);
        if (argument.endsWith(QLatin1String("#end")))
            emit tcp.lineSyncEnd(argument.section(QLatin1Char('#'), 0, 0));
    } else if (word == "preview@") {
        if (text(args) == QLatin1String("query"))
            emit tcp.getPreview();
    } else if (word == "information@") {
        information(tcp, link);
    } else if (word == "heart@") {
        if (text(args).isEmpty())
            link.send(QStringLiteral("heart@student"));
    } else {
        qDebug() << "unknown teacher command skipped" << word.left(64);
    }
}

void TeacherFrameHandler::query(TcpManager &tcp, const QByteArray &args)
{
    const QStringList fields = TeacherFrameDecoder::argumentFields(args, '#');
    if (fields.size() < 2)
        return;
    const QString &kind = fields.at(0);
    if (kind == QLatin1String("status"))
        emit tcp.queryTeacherStatusResult(fields.at(1));
    else if (fields.size() == 3 && kind == QLatin1String("ebook"))
        emit tcp.queryTeacherbookResult(fields);
    else if (fields.size() == 3 && kind == QLatin1String("enote"))
        emit tcp.queryTeacherENoteResult(fields);
    else if (fields.size() == 4 && kind == QLatin1String("enote"))
        emit tcp.receAddPage(fields);
}

void TeacherFrameHandler::share(TcpManager &tcp, const QString &argument)
{
    const bool on = argument == QLatin1String("1") || argument == QLatin1String("2");
    tcp.sendShareMode(on ? QStringLiteral("1") : QStringLiteral("0"));
    tcp.m_bShare = on;
    emit tcp.receShareMode(argument.toInt());
}

// The teacher accepted the student: the screens hear it first, then the flag is set and
// the heartbeat starts.
void TeacherFrameHandler::information(TcpManager &tcp, TeacherConnection &link)
{
    emit tcp.sendTeacherConnectedRet(true);
    tcp.m_bTeacherConnected = true;
    link.accepted();
    link.clearENotePages();
    tcp.queryTeacherStatus();
    Settings::instance()->m_bReconnecting = false;
}
