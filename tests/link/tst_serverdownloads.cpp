#include "link/ClassServerConnection.h"
#include "link/ServerStream.h"
#include "link/Settings.h"
#include "support/ClassServerLink.h"

#include <QtTest>

namespace {
using Server = ClassServerLink;

QByteArray command(const QByteArray &word, const QString &argument)
{
    return FakeClassServer::command(word, argument);
}

QByteArray offer(const QString &path, const QByteArray &book)
{
    return command("download@", path + '#' + QString::number(book.size()));
}

QStringList completed(const QString &name, int size)
{
    return {"complete:" + Server::bookDir() + name, QStringLiteral("progress:%1/%1").arg(size)};
}
} // namespace

// Book downloads from a class server that answers late, cut, merged and out of turn.
class TestServerDownloads : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void streamCutAnywhere();
    void lateServerAnswersInOrder();
    void cutOffer();
    void answerBetweenOfferAndBook();
    void seventyAnswersInOneWrite();
    void damagedDownloadKeepsTheBook();
};

void TestServerDownloads::init()
{
    Server::emptyBookDir();
}

// However reads cut the stream, the same answers come out of it: padded and unpadded Base64,
// a NUL in an argument, noise and an unknown word between answers.
void TestServerDownloads::streamCutAnywhere()
{
    const QByteArray stream = "xx" + command("teacher@", "A,,B") + command("teacher@", "T1,T22") +
                              command("login@", "success") +
                              "nonsense@eA==" + command("book@", "math#a.pdf,b.pdf@end") +
                              "teacherIP@" + QByteArray("1.2.3.4\0zz", 10).toBase64() +
                              command("download@", "e.pdf#1000") + "\n";
    const QStringList expected = {"1:A,,B",    "1:T1,T22",    "2:success", "3:math#a.pdf,b.pdf@end",
                                  "5:1.2.3.4", "4:e.pdf#1000"};
    const auto texts = [](ServerStream &stream, bool finish) {
        QStringList out;
        ServerAnswer answer;
        while (finish ? stream.finish(&answer) : stream.next(&answer))
            out << QStringLiteral("%1:%2").arg(answer.kind).arg(answer.text);
        return out;
    };
    for (int cut = 0; cut <= stream.size(); ++cut) {
        ServerStream reader;
        reader.append(stream.left(cut));
        QStringList answers = texts(reader, false);
        reader.append(stream.mid(cut));
        answers += texts(reader, false) + texts(reader, true);
        QCOMPARE(answers, expected);
        QCOMPARE(reader.buffered(), 0);
    }

    // An answer past the size limit is dropped whole; the next one is read.
    ServerStream reader;
    reader.append("teacher@" + QByteArray(ServerStream::MaxAnswerBytes, 'Q'));
    reader.append(command("login@", "success"));
    QCOMPARE(texts(reader, true), QStringList{"2:success"});
}

// Every answer comes after the wait has given its request up. What a given-up request is
// owed is dropped when it comes, and never taken for another book; an answer naming the book
// asked again serves the new request. A good local copy stays until a whole book has come.
void TestServerDownloads::lateServerAnswersInOrder()
{
    Server s;
    s.useClock();
    const int wait = ClassServerConnection::DownloadWaitMs;
    const QString a = QStringLiteral("books/a.pdf");
    const QByteArray good = FakeClassServer::book(300, 'g');
    const QByteArray fresh = FakeClassServer::book(400, 'n');
    QVERIFY(Server::writeBook("a.pdf", good));

    // The student asks again after each failure.
    s.tcp.downloadBooks(a);
    QVERIFY(s.asked({"download@" + a}));
    s.pass(wait);
    s.tcp.downloadBooks(a);
    QVERIFY(s.asked({"download@" + a}));
    QVERIFY(s.answer(offer(a, fresh))); // the first request's answer serves the second
    QVERIFY(s.asked({"download@ready#" + a}));
    s.clock += wait / 2;
    QVERIFY(s.answer(offer(a, fresh))); // the second request's own answer: dropped
    s.pass(wait);                       // the book does not come in time
    QCOMPARE(s.log, (QStringList{"result:0", "result:0"}));
    s.tcp.downloadBooks(a);
    QVERIFY(s.asked({"download@" + a}));
    // The given-up book, then the third request's answer, in one write.
    QVERIFY(s.answer(fresh + offer(a, fresh)));
    QCOMPARE(Server::readBook("a.pdf"), good);
    QVERIFY(s.asked({"download@ready#" + a}));
    QVERIFY(s.answer(fresh));
    QCOMPARE(s.log, QStringList({"result:0", "result:0"}) + completed("a.pdf", fresh.size()));
    QCOMPARE(Server::readBook("a.pdf"), fresh);

    // Books asked behind given-up ones: a late offer or failure of another book is dropped.
    s.log.clear();
    for (const char *path : {"books/b.pdf", "books/c.pdf", "books/d.pdf", "books/e.pdf"})
        s.tcp.downloadBooks(QString::fromLatin1(path));
    for (const char *path : {"books/b.pdf", "books/c.pdf", "books/d.pdf"}) {
        QVERIFY(s.asked({"download@" + QString::fromLatin1(path)}));
        s.pass(wait);
    }
    QVERIFY(s.asked({"download@books/e.pdf"}));
    QVERIFY(s.answer(offer("books/b.pdf", "bbb") + command("download@", "failed#books/c.pdf")));
    QVERIFY(s.answer(offer("books/e.pdf", fresh)));
    QVERIFY(s.asked({"download@ready#books/e.pdf"}));
    QVERIFY(s.answer(fresh));
    QCOMPARE(s.log,
             QStringList({"result:0", "result:0", "result:0"}) + completed("e.pdf", fresh.size()));

    // A failure naming no book is the oldest owed request's; the open one takes its own offer.
    s.log.clear();
    s.tcp.downloadBooks(QStringLiteral("books/f.pdf"));
    QVERIFY(s.asked({"download@books/f.pdf"}));
    s.pass(wait);
    s.tcp.downloadBooks(QStringLiteral("books/g.pdf"));
    QVERIFY(s.asked({"download@books/g.pdf"}));
    QVERIFY(s.answer(command("download@", "failed#no such book")));
    QVERIFY(s.answer(offer("books/g.pdf", fresh)));
    QVERIFY(s.asked({"download@ready#books/g.pdf"}));
    QVERIFY(s.answer(fresh));
    QCOMPARE(s.log, QStringList{"result:0"} + completed("g.pdf", fresh.size()));

    // Past its lifetime, or once the connection drops, nothing is owed to a given-up request.
    s.log.clear();
    s.tcp.downloadBooks(QStringLiteral("books/h.pdf"));
    QVERIFY(s.asked({"download@books/h.pdf"}));
    s.pass(wait);
    s.clock += ClassServerConnection::OwedLifetimeMs + 1;
    s.tcp.downloadBooks(QStringLiteral("books/i.pdf"));
    QVERIFY(s.asked({"download@books/i.pdf"}));
    QVERIFY(s.answer(command("download@", "failed")));
    QCOMPARE(s.log, (QStringList{"result:0", "result:0"}));
    s.tcp.downloadBooks(QStringLiteral("books/j.pdf"));
    QVERIFY(s.asked({"download@books/j.pdf"}));
    s.pass(wait);
    s.server.closeConnection();
    QVERIFY(FakePeer::waitUntil([&] { return !s.tcp.m_bServerConnected; }));
    s.tcp.connectToServer();
    QVERIFY(
        FakePeer::waitUntil([&] { return s.tcp.m_bServerConnected && s.server.isConnected(); }));
    s.log.clear();
    QVERIFY(s.download(QStringLiteral("books/j.pdf"), fresh));
    QCOMPARE(s.log, completed("j.pdf", fresh.size()));
    QCOMPARE(Server::bookFiles(), (QStringList{"a.pdf", "e.pdf", "g.pdf", "j.pdf"}));
}

// An offer cut inside its word, after "#100" and inside its padding is read whole.
void TestServerDownloads::cutOffer()
{
    Server s;
    s.tcp.downloadBooks(QStringLiteral("e.pdf"));
    QVERIFY(s.asked({"download@e.pdf"}));
    const QByteArray pdf = FakeClassServer::book(1000);
    QVERIFY(s.answerCut(offer("e.pdf", pdf), {5, 21, 24}));
    QVERIFY(s.asked({"download@ready#e.pdf"}));
    QVERIFY(s.answer(pdf.left(100)));
    QCOMPARE(s.log, QStringList{"progress:100/1000"});
    QVERIFY(s.answer(pdf.mid(100)));
    QCOMPARE(s.log, QStringList{"progress:100/1000"} + completed("e.pdf", 1000));
    QCOMPARE(Server::readBook("e.pdf"), pdf);
}

// A teacher-list query made while a book is under way waits until the book is in; a list the
// server sends anyway before the book is read as a list, not as book bytes.
void TestServerDownloads::answerBetweenOfferAndBook()
{
    Server s;
    const QByteArray pdf = FakeClassServer::book(400);
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    s.tcp.queryTeacherList(); // as the reconnect timer does
    QVERIFY(s.asked({"download@books/a.pdf"}));
    QVERIFY(s.answer(offer("books/a.pdf", pdf)));
    QVERIFY(s.asked({"download@ready#books/a.pdf"}));
    QVERIFY(s.answer(command("teacher@", "T1,T22") + pdf));
    QCOMPARE(s.log, QStringList{"teachers:2:T1|T22"} + completed("a.pdf", pdf.size()));
    QCOMPARE(Server::readBook("a.pdf"), pdf);
    QVERIFY(s.asked({"teacher@query"}));
}

// A server catching up: every answer of one write is read, however many; a book list cut
// inside its word goes on in the next read.
void TestServerDownloads::seventyAnswersInOneWrite()
{
    Server s;
    s.tcp.downloadBooks(QStringLiteral("books/a.pdf"));
    QVERIFY(s.asked({"download@books/a.pdf"}));
    const QByteArray pdf = FakeClassServer::book(12);
    QByteArray many;
    QStringList expected;
    for (int i = 0; i < 69; ++i) {
        many += command("teacher@", QStringLiteral("T%1,x").arg(i));
        expected << QStringLiteral("teachers:2:T%1|x").arg(i);
    }
    QVERIFY(s.answer(many + offer("books/a.pdf", pdf)));
    QCOMPARE(s.log, expected);
    QVERIFY(s.asked({"download@ready#books/a.pdf"}));
    QVERIFY(s.answerCut(pdf + command("book@", "math#a.pdf,b.pdf@end"), {pdf.size() + 2}));
    QCOMPARE(s.log,
             expected + completed("a.pdf", pdf.size()) + QStringList{"books:math#a.pdf,b.pdf@end"});
}

// Bytes that are no whole PDF file never replace the book: it is fetched again while retries
// are left, then the download fails; nothing but the good copy is left in the folder.
void TestServerDownloads::damagedDownloadKeepsTheBook()
{
    Server s;
    const QString a = QStringLiteral("books/a.pdf");
    const QByteArray good = FakeClassServer::book(300, 'g');
    QVERIFY(Server::writeBook("a.pdf", good));
    const QByteArray damaged[] = {
        "<html>not found</html>" + QByteArray(2000, ' '),
        "%PDF-1.4 cut short" + QByteArray(2000, 'x'),
        "%PDF-1.4 %%EOF" + QByteArray(2000, 'x'),
    };
    s.tcp.downloadBooks(a);
    for (const QByteArray &bytes : damaged) {
        QVERIFY(s.asked({"download@" + a}));
        QVERIFY(s.answer(offer(a, bytes)));
        QVERIFY(s.asked({"download@ready#" + a}));
        QVERIFY(s.answer(bytes));
        QCOMPARE(Server::readBook("a.pdf"), good);
    }
    QCOMPARE(s.log, QStringList{"result:0"});
    QCOMPARE(Server::bookFiles(), QStringList{"a.pdf"});
}

QTEST_GUILESS_MAIN(TestServerDownloads)
#include "tst_serverdownloads.moc"
