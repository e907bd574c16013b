#include "link/StudentTcpSocket.h"
#include "link/TeacherFrameDecoder.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {
using Frames = QList<QPair<QByteArray, QByteArray>>;

QByteArray frame(const QByteArray &word, const QByteArray &args)
{
    return word + QByteArray::number(args.size()) + '_' + args;
}

// Feeds the pieces as reads one after another and collects every frame; at the end no
// read follows, so a held header is finished.
Frames decodeAll(const QList<QByteArray> &pieces, TeacherFrameDecoder::Result *last = nullptr)
{
    TeacherFrameDecoder decoder;
    Frames frames;
    TeacherFrameDecoder::Result result = TeacherFrameDecoder::Result::NeedMore;
    TeacherFrameDecoder::Frame f;
    for (const QByteArray &piece : pieces) {
        decoder.append(piece);
        while ((result = decoder.next(f)) != TeacherFrameDecoder::Result::NeedMore) {
            if (result == TeacherFrameDecoder::Result::Frame)
                frames << qMakePair(f.word, f.args);
        }
    }
    if (last)
        *last = result;
    if (decoder.finish(f))
        frames << qMakePair(f.word, f.args);
    return frames;
}

// The first result for one read, finishing a held header as a wait would.
TeacherFrameDecoder::Result decodeOne(TeacherFrameDecoder &decoder, const QByteArray &read,
                                      TeacherFrameDecoder::Frame &f)
{
    decoder.append(read);
    const TeacherFrameDecoder::Result result = decoder.next(f);
    if (result == TeacherFrameDecoder::Result::NeedMore && decoder.finish(f))
        return TeacherFrameDecoder::Result::Frame;
    return result;
}

// Frames as the reader acts on them: a word that is no command is skipped by its length,
// whatever part of its letters a read carried.
Frames commands(Frames frames)
{
    for (auto &frame : frames) {
        if (!TeacherFrameDecoder::commandWords().contains(frame.first))
            frame.first = "?@";
    }
    return frames;
}

QByteArray sampleStream()
{
    return frame("chat@", QStringLiteral("héllo_@#&wörld").toUtf8()) +
           frame("line@", "ebook&1&3#0,0,0,255#2#1,2;3,4") + frame("query@", "status#ebook") +
           frame("heart@", "") + frame("unknownword@", "x_y@1_") + frame("sync@", "enote#end") +
           frame("vote@", QStringLiteral("答案#1&2").toUtf8());
}
} // namespace

class TestTeacherFrames : public QObject
{
    Q_OBJECT
private slots:
    void writeFramedForms_data();
    void writeFramedForms();
    void twoFramesInOneRead();
    void splitAtEveryOffset();
    void splitHeaderWaits();
    void malformedLengths_data();
    void malformedLengths();
    void undecodableBufferDropped();
    void lengthCap();
    void manyFramesFlatStack();
    void readBoundaries_data();
    void readBoundaries();
};

void TestTeacherFrames::writeFramedForms_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("heart reply") << QByteArray("heart@student") << QByteArray("heart@7_student");
    QTest::newRow("empty args") << QByteArray("handsup@") << QByteArray("handsup@0_");
    QTest::newRow("no at") << QByteArray("plain text") << QByteArray("plain text");
    QTest::newRow("second at is data") << QByteArray("chat@a@b") << QByteArray("chat@3_a@b");
    QTest::newRow("utf8 byte length")
        << QStringLiteral("chat@é#&@").toUtf8() << QStringLiteral("chat@5_é#&@").toUtf8();
}

void TestTeacherFrames::writeFramedForms()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, wire);
    QCOMPARE(StudentTcpSocket::frame(message), wire);
}

void TestTeacherFrames::twoFramesInOneRead()
{
    const Frames frames = decodeAll({QByteArray("chat@2_hivote@1_1")});
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames.at(0), qMakePair(QByteArray("chat@"), QByteArray("hi")));
    QCOMPARE(frames.at(1), qMakePair(QByteArray("vote@"), QByteArray("1")));
}

void TestTeacherFrames::splitAtEveryOffset()
{
    const QByteArray stream = sampleStream();
    const Frames whole = decodeAll({stream});
    QCOMPARE(whole.size(), 7);
    QCOMPARE(whole.at(0).second, QStringLiteral("héllo_@#&wörld").toUtf8());
    QCOMPARE(whole.at(4).first, QByteArray("unknownword@"));
    QCOMPARE(whole.at(4).second, QByteArray("x_y@1_"));
    for (int i = 1; i < stream.size(); ++i) {
        for (int j = i; j < stream.size(); j += 7) {
            TeacherFrameDecoder::Result last;
            const Frames split =
                decodeAll({stream.left(i), stream.mid(i, j - i), stream.mid(j)}, &last);
            QVERIFY2(commands(split) == commands(whole),
                     qPrintable(QStringLiteral("split at %1/%2").arg(i).arg(j)));
            QCOMPARE(last, TeacherFrameDecoder::Result::NeedMore);
        }
    }
    // Byte by byte.
    QList<QByteArray> bytes;
    for (char c : stream)
        bytes << QByteArray(1, c);
    QCOMPARE(commands(decodeAll(bytes)), commands(whole));
}

void TestTeacherFrames::splitHeaderWaits()
{
    TeacherFrameDecoder decoder;
    TeacherFrameDecoder::Frame f;
    for (const QByteArray &piece : {QByteArray("ch"), QByteArray("at@"), QByteArray("1"),
                                    QByteArray("1"), QByteArray("_hello")}) {
        decoder.append(piece);
        QCOMPARE(decoder.next(f), TeacherFrameDecoder::Result::NeedMore);
    }
    decoder.append("world!");
    QCOMPARE(decoder.next(f), TeacherFrameDecoder::Result::Frame);
    QCOMPARE(f.args, QByteArray("helloworld!"));
    QCOMPARE(decoder.buffered(), 0);
}

void TestTeacherFrames::malformedLengths_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("args");
    QTest::addColumn<qint64>("left");
    // A length that is not a number counts as 0; the bytes after "_" come next.
    QTest::newRow("letters") << QByteArray("chat@x_vote@1_1") << QByteArray() << qint64(8);
    QTest::newRow("sign") << QByteArray("chat@-2_hi") << QByteArray() << qint64(2);
    QTest::newRow("digits then text") << QByteArray("chat@2x_hi") << QByteArray() << qint64(2);
    QTest::newRow("no digits") << QByteArray("heart@_") << QByteArray() << qint64(0);
    QTest::newRow("unframed") << QByteArray("heart@abc") << QByteArray("abc") << qint64(0);
}

void TestTeacherFrames::malformedLengths()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, args);
    QFETCH(qint64, left);
    TeacherFrameDecoder decoder;
    TeacherFrameDecoder::Frame f;
    QCOMPARE(decodeOne(decoder, input, f), TeacherFrameDecoder::Result::Frame);
    QCOMPARE(f.args, args);
    QCOMPARE(decoder.buffered(), left);
}

void TestTeacherFrames::undecodableBufferDropped()
{
    for (const QByteArray &bad :
         {QByteArray("@3_abc"), QByteArray("12chat@1_a"), QByteArray("ch at@1_a"),
          QByteArray(40, 'a') + "@0_", QByteArray("\xff\xfe@1_x")}) {
        TeacherFrameDecoder decoder;
        decoder.append(bad + frame("chat@", "hi"));
        TeacherFrameDecoder::Frame f;
        QCOMPARE(decoder.next(f), TeacherFrameDecoder::Result::Undecodable);
        QCOMPARE(decoder.buffered(), 0);
        decoder.append(frame("chat@", "ok"));
        QCOMPARE(decoder.next(f), TeacherFrameDecoder::Result::Frame);
        QCOMPARE(f.args, QByteArray("ok"));
    }
}

void TestTeacherFrames::lengthCap()
{
    TeacherFrameDecoder::Frame f;
    TeacherFrameDecoder atCap;
    atCap.append("line@67108864_abc");
    QCOMPARE(atCap.next(f), TeacherFrameDecoder::Result::NeedMore);

    TeacherFrameDecoder overCap;
    overCap.append("line@67108865");
    QCOMPARE(overCap.next(f), TeacherFrameDecoder::Result::TooLong);
    QCOMPARE(overCap.buffered(), 0);

    // Only the value counts, however many zeros lead it.
    TeacherFrameDecoder zeros;
    zeros.append("line@00000000000");
    QCOMPARE(zeros.next(f), TeacherFrameDecoder::Result::NeedMore);
    zeros.append("00000000002_hi");
    QCOMPARE(zeros.next(f), TeacherFrameDecoder::Result::Frame);
    QCOMPARE(f.args, QByteArray("hi"));
    TeacherFrameDecoder padded;
    padded.append("chat@" + QByteArray(TeacherFrameDecoder::MaxDigits, '0') + "_");
    QCOMPARE(padded.next(f), TeacherFrameDecoder::Result::Frame);
    QCOMPARE(f.args, QByteArray());
    TeacherFrameDecoder endless;
    endless.append("chat@" + QByteArray(TeacherFrameDecoder::MaxDigits + 1, '0'));
    QCOMPARE(endless.next(f), TeacherFrameDecoder::Result::TooLong);

    TeacherFrameDecoder huge;
    huge.append("line@99999999999999999999999_");
    QCOMPARE(huge.next(f), TeacherFrameDecoder::Result::TooLong);
}

void TestTeacherFrames::manyFramesFlatStack()
{
    QByteArray stream;
    const QByteArray one = frame("line@", "ebook&0&3#0,0,0,255#2#1,2;3,4;5,6");
    for (int i = 0; i < 100000; ++i)
        stream += one;
    QElapsedTimer timer;
    timer.start();
    const Frames frames = decodeAll({stream});
    QCOMPARE(frames.size(), 100000);
    QCOMPARE(frames.last().second, QByteArray("ebook&0&3#0,0,0,255#2#1,2;3,4;5,6"));
    QVERIFY2(timer.elapsed() < 5000, "decoding must be linear");
}

void TestTeacherFrames::readBoundaries_data()
{
    using Reads = QList<QByteArray>;
    QTest::addColumn<Reads>("reads");
    QTest::addColumn<Frames>("expected");
    QTest::addColumn<bool>("splittable"); // the same frames when any read is cut in two
    auto f = [](const QByteArray &word, const QByteArray &args) { return qMakePair(word, args); };
    const Frames heartChatVote{f("heart@", ""), f("chat@", "hi"), f("vote@", "1")};
    QTest::newRow("bare word, then frames")
        << Reads{"heart@", "chat@2_hi", "vote@1_1"} << heartChatVote << true;
    QTest::newRow("bare word glued to frames")
        << Reads{"heart@chat@2_hivote@1_1"} << heartChatVote << true;
    QTest::newRow("bad length, next read")
        << Reads{"chat@x_hi", "vote@1_1"} << Frames{f("chat@", ""), f("vote@", "1")} << false;
    QTest::newRow("bad length, same read")
        << Reads{"chat@x_hivote@1_1"} << Frames{f("chat@", ""), f("hivote@", "1")} << false;
    QTest::newRow("word start left over")
        << Reads{"chat@x_sha", "vote@1_1"} << Frames{f("chat@", ""), f("vote@", "1")} << false;
    QTest::newRow("bare close chat") << Reads{"closechat@"} << Frames{f("closechat@", "")} << true;
    QTest::newRow("bare information")
        << Reads{"information@"} << Frames{f("information@", "")} << true;
    QTest::newRow("two bare words") << Reads{"closechat@information@"}
                                    << Frames{f("closechat@", ""), f("information@", "")} << true;
    QTest::newRow("leading zeros")
        << Reads{"chat@00000000002_hi"} << Frames{f("chat@", "hi")} << true;
    QTest::newRow("header over two reads")
        << Reads{"share@", "1_1"} << Frames{f("share@", "1")} << true;
    QTest::newRow("unframed argument")
        << Reads{"vote@1", "chat@2_hi"} << Frames{f("vote@", "1"), f("chat@", "hi")} << true;
    QTest::newRow("letters then a frame")
        << Reads{"xyz", "chat@2_hi"} << Frames{f("chat@", "hi")} << false;
    QTest::newRow("no word then a frame")
        << Reads{"12", "chat@2_hi"} << Frames{f("chat@", "hi")} << false;
    QTest::newRow("bare word with text")
        << Reads{"heart@hi", "vote@1_1"} << Frames{f("heart@", "hi"), f("vote@", "1")} << false;
    QTest::newRow("word cut before a word")
        << Reads{"close", "chat@0_", "share", "vote@3_abc"}
        << Frames{f("closechat@", ""), f("sharevote@", "abc")} << true;
}

void TestTeacherFrames::readBoundaries()
{
    using Reads = QList<QByteArray>;
    QFETCH(Reads, reads);
    QFETCH(Frames, expected);
    QFETCH(bool, splittable);
    QCOMPARE(decodeAll(reads), expected);
    if (!splittable)
        return;
    for (int r = 0; r < reads.size(); ++r) {
        for (int i = 1; i < reads.at(r).size(); ++i) {
            Reads cut = reads;
            cut[r] = reads.at(r).left(i);
            cut.insert(r + 1, reads.at(r).mid(i));
            QVERIFY2(decodeAll(cut) == expected,
                     qPrintable(QStringLiteral("read %1 cut at %2").arg(r).arg(i)));
        }
    }
}

QTEST_GUILESS_MAIN(TestTeacherFrames)
#include "tst_teacherframes.moc"
