#include "support/FakeClassServer.h"

FakeClassServer::FakeClassServer(QObject *parent) : FakePeer(parent) {}

QByteArray FakeClassServer::command(const QByteArray &word, const QString &argument)
{
    QByteArray bytes = word;
    if (!bytes.endsWith('@'))
        bytes.append('@');
    return bytes + argument.toUtf8().toBase64();
}

bool FakeClassServer::sendCommand(const QByteArray &word, const QString &argument)
{
    return write(command(word, argument));
}

QString FakeClassServer::argumentOf(const QByteArray &request)
{
    return QString::fromUtf8(QByteArray::fromBase64(request.mid(request.indexOf('@') + 1)));
}
