#ifndef FAKECLASSSERVER_H
#define FAKECLASSSERVER_H

#include "support/FakePeer.h"

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// The class server on 127.0.0.1: "word@" + Base64 of the UTF-8 argument, unframed. A test
// scripts its answers byte for byte: whole, cut into pieces that arrive in reads of their own,
// several merged in one write, interleaved, or held back and written late.
class FakeClassServer : public FakePeer
{
    Q_OBJECT
public:
    explicit FakeClassServer(QObject *parent = nullptr);

    static QByteArray command(const QByteArray &word, const QString &argument);
    bool sendCommand(const QByteArray &word, const QString &argument);
    // The argument of a request, decoded from Base64.
    static QString argumentOf(const QByteArray &request);
    // Bytes that look like a PDF book of that size (at least 10): "%PDF-", filler, "%%EOF".
    static QByteArray book(int size, char fill = 'b');

    // The requests read since the last clearReceived(), each as its word and its decoded
    // argument: "download@books/a.pdf", "teacher@query".
    QStringList requests() const;
    bool waitForRequests(int count, int timeoutMs = kWaitMs);
    // Writes bytes cut at the offsets given; each piece is written once the client's socket
    // has read the one before, so that each comes in a read of its own.
    bool writeCut(const QByteArray &bytes, const QList<int> &cuts, QIODevice *client);
};

#endif // FAKECLASSSERVER_H
