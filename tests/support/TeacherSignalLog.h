#ifndef TEACHERSIGNALLOG_H
#define TEACHERSIGNALLOG_H

#include "link/TcpManager.h"

#include <QObject>
#include <QStringList>

// Every teacher-side signal of a TcpManager as one line "name:argument", in order.
// Header only: the frame fuzzer uses it too.
class TeacherSignalLog : public QObject
{
public:
    explicit TeacherSignalLog(TcpManager *tcp)
    {
        auto text = [this](const char *name) {
            return [this, name](const QString &s) { log << QString::fromLatin1(name) + ':' + s; };
        };
        auto list = [this](const char *name) {
            return [this, name](const QStringList &s) {
                log << QString::fromLatin1(name) + ':' + s.join('|');
            };
        };
        auto bare = [this](const char *name) {
            return [this, name] { log << QString::fromLatin1(name); };
        };
        connect(tcp, &TcpManager::queryTeacherStatusResult, this, text("status"));
        connect(tcp, &TcpManager::queryTeacherbookResult, this, list("book"));
        connect(tcp, &TcpManager::queryTeacherENoteResult, this, list("enote"));
        connect(tcp, &TcpManager::receAddPage, this, list("addPage"));
        connect(tcp, &TcpManager::lineData, this, text("line"));
        connect(tcp, &TcpManager::moveImage, this, text("moveImage"));
        connect(tcp, &TcpManager::receClearPage, this, text("clear"));
        connect(tcp, &TcpManager::browserCommand, this, text("browser"));
        connect(tcp, &TcpManager::receChat, this, text("chat"));
        connect(tcp, &TcpManager::receCloseChat, this, bare("closeChat"));
        connect(tcp, &TcpManager::receWarnning, this, text("warning"));
        connect(tcp, &TcpManager::receLock, this, text("lock"));
        connect(tcp, &TcpManager::receVote, this, text("vote"));
        connect(tcp, &TcpManager::receshareVoteCmd, this, text("shareVote"));
        connect(tcp, &TcpManager::lineSyncEnd, this, text("syncEnd"));
        connect(tcp, &TcpManager::getPreview, this, bare("preview"));
        connect(tcp, &TcpManager::receRotateCmd, this, text("rotate"));
        connect(tcp, &TcpManager::receShareMode, this,
                [this](int mode) { log << QStringLiteral("share:%1").arg(mode); });
        connect(tcp, &TcpManager::sendTeacherConnectedRet, this,
                [this](bool ok) { log << QStringLiteral("accepted:%1").arg(ok); });
        connect(tcp, &TcpManager::teacherReconnect, this, bare("reconnect"));
        connect(tcp, &TcpManager::teacherKick, this, bare("kick"));
    }

    QStringList log;
};

#endif // TEACHERSIGNALLOG_H
