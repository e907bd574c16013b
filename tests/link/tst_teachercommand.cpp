#include "link/TeacherCommand.h"

#include <QtTest>

using TC = TeacherCommand;

class TestTeacherCommand : public QObject
{
    Q_OBJECT
private slots:
    void pageMessages()
    {
        TC::PageMessage m;
        QVERIFY(TC::parseLine("enote&3&0#1#2#3", m));
        QCOMPARE(m.target, TC::ENote);
        QCOMPARE(m.page, 3);
        QCOMPARE(m.itemText, QString("0#1#2#3"));
        // A typed "&" is stored as "&amp;": the item text arrives whole.
        QVERIFY(TC::parseLine("ebook&0&2#id#geo#<p>a &amp; b</p>", m));
        QCOMPARE(m.itemText, QString("2#id#geo#<p>a &amp; b</p>"));
        // A garbled row is never read as page 0; an unknown target is dropped.
        for (const char *bad : {"ebook&&x", "ebook&x&x", "ebook&-1&x", "ebook& 1&x", "ebook&1",
                                "other&1&x", "ebook&1234567890&x", "ebook&+1&x", ""})
            QVERIFY2(!TC::parseLine(QString::fromUtf8(bad), m), bad);
    }

    void moveClearRotateAndShareVote()
    {
        TC::MoveItem move;
        QVERIFY(TC::parseMove("enote#2#{id}#10,20", move));
        QCOMPARE(move.page, 2);
        QCOMPARE(move.itemId, QString("{id}"));
        QCOMPARE(move.pos, QString("10,20"));
        QVERIFY(!TC::parseMove("enote#2#{id}", move));
        QVERIFY(!TC::parseMove("enote#a#{id}#1,2", move));

        TC::PageRef ref;
        QVERIFY(TC::parsePageRef("ebook#7", ref));
        QCOMPARE(ref.target, TC::EBook);
        QCOMPARE(ref.page, 7);
        for (const char *bad : {"ebook#", "ebook#x", "ebook#1#2", "page#1", "ebook"})
            QVERIFY2(!TC::parsePageRef(QString::fromUtf8(bad), ref), bad);

        TC::ShareVote vote;
        QVERIFY(TC::parseShareVote("enote#1#2#3#4#5#6#7", vote));
        QCOMPARE(vote.fields.size(), 8);
        QVERIFY(!TC::parseShareVote("enote#1#2#3#4#5#6", vote));
        QVERIFY(!TC::parseShareVote("x#1#2#3#4#5#6#7", vote));
    }

    void lockAndBrowser()
    {
        QString text;
        QCOMPARE(TC::parseLock("1#Eyes on me #1", text), TC::Lock);
        QCOMPARE(text, QString("Eyes on me #1"));
        QCOMPARE(TC::parseLock("1#", text), TC::Lock);
        QCOMPARE(TC::parseLock("0", text), TC::Unlock);
        QCOMPARE(TC::parseLock("1", text), TC::LockNone);
        QCOMPARE(TC::parseLock("0#x", text), TC::LockNone);
        QCOMPARE(TC::parseLock("", text), TC::LockNone);

        QString address;
        QVERIFY(TC::parseBrowser("url#example.org/a#frag", address));
        QCOMPARE(address, QString("http://example.org/a#frag"));
        QVERIFY(TC::parseBrowser("url#https://example.org", address));
        QCOMPARE(address, QString("https://example.org"));
        QVERIFY(!TC::parseBrowser("url", address));
        QVERIFY(!TC::parseBrowser("url#  ", address));
    }

    void teacherAnswers()
    {
        TC::AddPage page;
        QVERIFY(TC::parseAddPage({"enote", "add", "1280,800", "1"}, page));
        QCOMPARE(page.width, 1280);
        QCOMPARE(page.height, 800);
        QVERIFY(page.withImage);
        QVERIFY(TC::parseAddPage({"enote", "add", "16384,1", "0"}, page));
        QVERIFY(!page.withImage);
        for (const char *size : {"0,800", "16385,800", "-1,800", "a,800", "1280", "1,2,3"})
            QVERIFY2(!TC::parseAddPage({"enote", "add", size, "0"}, page), size);

        TC::Answer answer;
        QVERIFY(TC::parseBookAnswer({"ebook", "bookpath", "/srv/books/Math.pdf"}, answer));
        QCOMPARE(answer.kind, TC::BookPath);
        QCOMPARE(answer.fileName, QString("Math.pdf"));
        for (const char *path :
             {"/srv/books/Math.PDF", "/srv/..", "a/b:c.pdf", "/x/.pdf\t.pdf", "dir/"})
            QVERIFY2(!TC::parseBookAnswer({"ebook", "bookpath", path}, answer), path);
        QVERIFY(TC::parseBookAnswer({"ebook", "pageindex", "12"}, answer));
        QCOMPARE(answer.number, 12);
        QVERIFY(!TC::parseBookAnswer({"ebook", "pageindex", "x"}, answer));
        QVERIFY(!TC::parseBookAnswer({"ebook", "other", "1"}, answer));

        QVERIFY(TC::parseENoteAnswer({"enote", "pagecount", "0"}, answer));
        QCOMPARE(answer.kind, TC::PageCount);
        QCOMPARE(answer.number, 0);
        QVERIFY(TC::parseENoteAnswer({"enote", "pagecount", "1000"}, answer));
        QVERIFY(!TC::parseENoteAnswer({"enote", "pagecount", "1001"}, answer));
        QVERIFY(!TC::parseENoteAnswer({"enote", "pagecount", "-2"}, answer));
        QVERIFY(!TC::parseENoteAnswer({"enote", "pagecount", ""}, answer));
        QVERIFY(TC::parseENoteAnswer({"enote", "pageindex", "4"}, answer));
        QCOMPARE(answer.kind, TC::PageIndex);
    }
};

QTEST_MAIN(TestTeacherCommand)
#include "tst_teachercommand.moc"
