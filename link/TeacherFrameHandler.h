#ifndef TEACHERFRAMEHANDLER_H
#define TEACHERFRAMEHANDLER_H

#include <QByteArray>
#include <QString>

class TcpManager;
class TeacherConnection;

// What each command of the teacher does: one signal of TcpManager, or one of the few
// answers the reader gives itself ("heart@", "share@", "information@").
class TeacherFrameHandler
{
public:
    static void handle(TcpManager &tcp, TeacherConnection &link, const QByteArray &word,
                       const QByteArray &args);

private:
    static void query(TcpManager &tcp, const QByteArray &args);
    static void share(TcpManager &tcp, const QString &argument);
    static void information(TcpManager &tcp, TeacherConnection &link);
};

#endif // TEACHERFRAMEHANDLER_H
