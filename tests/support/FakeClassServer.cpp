#include "support/FakeClassServer.h"

#include <QSignalSpy>

namespace {
const char *const kRequestWords[] = {"teacherIP@", "teacher@", "login@", "book@", "download@"};
}

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

QByteArray FakeClassServer::book(int size, char fill)
{
    const QByteArray start = "%PDF-";
    const QByteArray end = "%%EOF";
    return start + QByteArray(qMax(0, size - start.size() - end.size()), fill) + end;
}

// Base64 holds no "@": each "@" ends a request word, whose argument runs up to the next word.
QStringList FakeClassServer::requests() const
{
    const QList<QByteArray> pieces = received().split('@');
    QStringList requests;
    QByteArray word = pieces.first();
    for (int i = 1; i < pieces.size(); ++i) {
        QByteArray argument = pieces.at(i);
        QByteArray next;
        if (i + 1 < pieces.size()) {
            for (const char *w : kRequestWords) {
                const QByteArray bare = QByteArray(w).chopped(1);
                if (argument.endsWith(bare)) {
                    next = bare;
                    argument.chop(bare.size());
                    break;
                }
            }
        }
        requests << QString::fromLatin1(word) + '@' +
                        QString::fromUtf8(QByteArray::fromBase64(argument));
        word = next;
    }
    return requests;
}

bool FakeClassServer::waitForRequests(int count, int timeoutMs)
{
    return waitUntil([this, count] { return requests().size() >= count; }, timeoutMs);
}

bool FakeClassServer::writeCut(const QByteArray &bytes, const QList<int> &cuts, QIODevice *client)
{
    int from = 0;
    for (const int cut : cuts + QList<int>{bytes.size()}) {
        QSignalSpy reads(client, &QIODevice::readyRead);
        if (!write(bytes.mid(from, cut - from)) || !reads.wait(kWaitMs))
            return false;
        from = cut;
    }
    return true;
}
