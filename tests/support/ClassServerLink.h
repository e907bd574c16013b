#ifndef CLASSSERVERLINK_H
#define CLASSSERVERLINK_H

#include "link/ClassServerConnection.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "support/FakeClassServer.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// A TcpManager joined to a FakeClassServer on 127.0.0.1. Its class-server signals are logged
// one per line: "teachers:<count>:<a|b>", "books:<text>", "ip:<text>", "login:<ok>",
// "status:<on>", "connected:1", "loginFail", "result:0", "complete:<path>",
// "progress:<received>/<total>". Header only: the link library comes with the test.
class ClassServerLink
{
public:
    explicit ClassServerLink(bool connectNow = true);

    // Writes bytes and waits until the client has read them and handled every answer in them.
    bool answer(const QByteArray &bytes);
    // The same, the bytes cut at these offsets, each piece in a read of its own.
    bool answerCut(const QByteArray &bytes, const QList<int> &cuts);
    bool logIn();
    // True when the requests the server got since the last call are these, in this order.
    bool asked(const QStringList &requests);
    // Asks for a book and serves it whole: request, offer, ready, bytes.
    bool download(const QString &path, const QByteArray &book);
    bool waitForLog(int lines);

    // The download wait reads the test's clock; pass lets that much silent time go by.
    void useClock();
    void pass(qint64 ms);

    // The local book folder, the files in it (hidden ones too), one of them read ("<missing>"
    // when it cannot be) or written, and the folder emptied.
    static QString bookDir();
    static QStringList bookFiles();
    static QByteArray readBook(const QString &name);
    static bool writeBook(const QString &name, const QByteArray &bytes);
    static void emptyBookDir();

    FakeClassServer server;
    TcpManager tcp;
    QStringList log;
    qint64 clock = 1000;
};

inline ClassServerLink::ClassServerLink(bool connectNow)
{
    server.listen();
    tcp.m_strIp = QStringLiteral("127.0.0.1");
    tcp.m_strPort = QString::number(server.port());
    auto flag = [this](const char *name) {
        return [this, name](bool on) { log << QStringLiteral("%1:%2").arg(name).arg(on); };
    };
    auto text = [this](const char *name) {
        return [this, name](const QString &s) { log << QString::fromLatin1(name) + ':' + s; };
    };
    QObject::connect(&tcp, &TcpManager::sendLoginResult, &tcp, flag("login"));
    QObject::connect(&tcp, &TcpManager::changeServerStatus, &tcp, flag("status"));
    QObject::connect(&tcp, &TcpManager::connecttoServerResult, &tcp, flag("connected"));
    QObject::connect(&tcp, &TcpManager::DownloadResult, &tcp, flag("result"));
    QObject::connect(&tcp, &TcpManager::loginFail, &tcp, [this] { log << "loginFail"; });
    QObject::connect(&tcp, &TcpManager::updateTeacherList, &tcp, [this](const QStringList &l) {
        log << QStringLiteral("teachers:%1:%2").arg(l.size()).arg(l.join('|'));
    });
    QObject::connect(&tcp, &TcpManager::querybookResult, &tcp, text("books"));
    QObject::connect(&tcp, &TcpManager::queryTeacherIpResult, &tcp, text("ip"));
    QObject::connect(&tcp, &TcpManager::downloadPdfComplete, &tcp, text("complete"));
    QObject::connect(&tcp, &TcpManager::downloadPdfProgress, &tcp, [this](int total, int got) {
        log << QStringLiteral("progress:%1/%2").arg(got).arg(total);
    });
    if (connectNow) {
        tcp.connectToServer();
        FakePeer::waitUntil([this] { return tcp.m_bServerConnected && server.isConnected(); });
        log.clear();
    }
}

inline bool ClassServerLink::answer(const QByteArray &bytes)
{
    return answerCut(bytes, {});
}

inline bool ClassServerLink::answerCut(const QByteArray &bytes, const QList<int> &cuts)
{
    return server.writeCut(bytes, cuts, tcp.serverSocket()) &&
           FakePeer::waitUntil([this] { return tcp.serverConnection()->heldBytes() == 0; });
}

inline bool ClassServerLink::logIn()
{
    server.clearReceived();
    tcp.login(QStringLiteral("T1"), QStringLiteral("Anna"), QStringLiteral("pw"));
    const bool ok = server.waitForBytes(1) &&
                    answer(FakeClassServer::command("login@", QStringLiteral("success")));
    server.clearReceived();
    log.clear();
    return ok && tcp.m_bLogin;
}

inline bool ClassServerLink::asked(const QStringList &requests)
{
    server.waitForRequests(requests.size());
    const bool same = server.requests() == requests;
    if (!same)
        qWarning() << "asked" << server.requests() << "expected" << requests;
    server.clearReceived();
    return same;
}

inline bool ClassServerLink::download(const QString &path, const QByteArray &book)
{
    tcp.downloadBooks(path);
    return asked({"download@" + path}) &&
           answer(
               FakeClassServer::command("download@", path + '#' + QString::number(book.size()))) &&
           asked({"download@ready#" + path}) && answer(book);
}

inline bool ClassServerLink::waitForLog(int lines)
{
    return FakePeer::waitUntil([this, lines] { return log.size() >= lines; });
}

inline void ClassServerLink::useClock()
{
    tcp.serverConnection()->setClock([this] { return clock; });
}

inline void ClassServerLink::pass(qint64 ms)
{
    clock += ms;
    tcp.serverConnection()->onDownloadWait();
}

inline QString ClassServerLink::bookDir()
{
    return Settings::instance()->localBookDir();
}

inline QStringList ClassServerLink::bookFiles()
{
    return QDir(bookDir()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

inline QByteArray ClassServerLink::readBook(const QString &name)
{
    QFile f(bookDir() + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool ClassServerLink::writeBook(const QString &name, const QByteArray &bytes)
{
    QFile f(bookDir() + name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline void ClassServerLink::emptyBookDir()
{
    for (const QString &name : bookFiles())
        QFile::remove(bookDir() + name);
}

#endif // CLASSSERVERLINK_H
