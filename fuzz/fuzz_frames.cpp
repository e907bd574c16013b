// Teacher data channel. Any bytes, fed whole and cut at points taken from the input, are
// decoded without a crash and within the limits. A stream of well-formed frames and
// unframed command words built from the input gives the same signals of TcpManager fed
// whole as cut at random points into separate reads.
#include "link/TcpManager.h"
#include "link/TeacherConnection.h"
#include "link/TeacherFrameDecoder.h"
#include "support/TeacherSignalLog.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// Reads the fuzz input a byte at a time; zeros once it runs out.
class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    QByteArray bytes(int count)
    {
        QByteArray out;
        while (count-- > 0 && !atEnd())
            out.append(char(byte()));
        return out;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// The input cut at up to three points it names itself.
QList<QByteArray> cut(const QByteArray &all, Input &in)
{
    QList<int> points;
    for (int i = 0; i < 3 && !all.isEmpty(); ++i)
        points << (int(in.byte()) << 8 | in.byte()) % (all.size() + 1);
    std::sort(points.begin(), points.end());
    QList<QByteArray> pieces;
    int from = 0;
    for (int point : points) {
        pieces << all.mid(from, point - from);
        from = point;
    }
    pieces << all.mid(from);
    return pieces;
}

void checkRawDecoding(const QList<QByteArray> &pieces)
{
    TeacherFrameDecoder decoder;
    TeacherFrameDecoder::Frame frame;
    for (const QByteArray &piece : pieces) {
        decoder.append(piece);
        for (;;) {
            const TeacherFrameDecoder::Result r = decoder.next(frame);
            if (r == TeacherFrameDecoder::Result::NeedMore)
                break;
            if (r == TeacherFrameDecoder::Result::Frame &&
                (frame.args.size() > TeacherFrameDecoder::MaxLength || !frame.word.endsWith('@')))
                abort();
        }
    }
    if (decoder.finish(frame) && !frame.word.endsWith('@'))
        abort();
}

// Words of frames the reader skips by their length; none ends with a command word.
const QList<QByteArray> kOtherWords{"status@", "battery@", "handsup@", "app@"};

// Frames and unframed words; an unframed word is followed only by a command word.
QByteArray wellFormedStream(Input &in)
{
    const QList<QByteArray> &words = TeacherFrameDecoder::commandWords();
    QByteArray stream;
    bool bareLast = false;
    while (!in.atEnd() && stream.size() < 4096) {
        const uint8_t kind = in.byte() % 8;
        const QByteArray word = kind == 7 && !bareLast
                                    ? kOtherWords.at(in.byte() % kOtherWords.size())
                                    : words.at(in.byte() % words.size());
        bareLast = kind == 6;
        if (bareLast) {
            stream += word;
            continue;
        }
        const QByteArray args = in.bytes(in.byte() % 24);
        stream += word + QByteArray::number(args.size()) + '_' + args;
    }
    return stream;
}

struct Reader
{
    TcpManager tcp;
    TeacherSignalLog signalLog{&tcp};

    QStringList read(const QList<QByteArray> &pieces)
    {
        TeacherConnection *teacher = tcp.teacherConnection();
        teacher->onConnected(); // a fresh connection: nothing held from the last run
        signalLog.log.clear();
        for (const QByteArray &piece : pieces)
            teacher->receive(piece);
        teacher->onHeaderWaitOver(); // no more reads came
        return signalLog.log;
    }
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Reader whole;
    static Reader pieces;

    const QByteArray all(reinterpret_cast<const char *>(data), int(size));
    Input raw(data, size);
    const QList<QByteArray> rawPieces = cut(all, raw);
    checkRawDecoding({all});
    checkRawDecoding(rawPieces);
    whole.read({all});
    pieces.read(rawPieces);

    Input in(data, size);
    const QByteArray stream = wellFormedStream(in);
    Input cuts(data + size / 2, size - size / 2);
    if (whole.read({stream}) != pieces.read(cut(stream, cuts)))
        abort();
    return 0;
}
