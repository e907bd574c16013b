#include "link/StudentTcpSocket.h"

StudentTcpSocket::StudentTcpSocket(QObject *parent) : QTcpSocket(parent) {}

StudentTcpSocket::~StudentTcpSocket() = default;

QByteArray StudentTcpSocket::frame(const QByteArray &message)
{
    const int at = message.indexOf('@');
    if (at < 0)
        return message;
    const int length = message.size() - at - 1;
    QByteArray framed;
    framed.reserve(message.size() + 12);
    framed.append(message.constData(), at + 1);
    framed.append(QByteArray::number(length));
    framed.append('_');
    framed.append(message.constData() + at + 1, length);
    return framed;
}

int StudentTcpSocket::writeFramed(const QByteArray &message)
{
    return static_cast<int>(write(frame(message)));
}
