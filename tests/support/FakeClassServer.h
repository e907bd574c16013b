#ifndef FAKECLASSSERVER_H
#define FAKECLASSSERVER_H

#include "support/FakePeer.h"

#include <QString>

// The class server on 127.0.0.1: "word@" + Base64 of the UTF-8 argument, unframed.
class FakeClassServer : public FakePeer
{
    Q_OBJECT
public:
    explicit FakeClassServer(QObject *parent = nullptr);

    static QByteArray command(const QByteArray &word, const QString &argument);
    bool sendCommand(const QByteArray &word, const QString &argument);
    // The argument of a request, decoded from Base64.
    static QString argumentOf(const QByteArray &request);
};

#endif // FAKECLASSSERVER_H
