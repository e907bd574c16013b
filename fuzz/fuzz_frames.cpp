// Teacher frame decoder: any byte stream, fed whole and split at an offset taken from the
// input, decodes without a crash and to the same frames.
#include "link/TeacherFrameDecoder.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {
using Frames = QList<QPair<QByteArray, QByteArray>>;

Frames decode(const QList<QByteArray> &pieces, bool *broken)
{
    TeacherFrameDecoder decoder;
    Frames frames;
    for (const QByteArray &piece : pieces) {
        decoder.append(piece);
        TeacherFrameDecoder::Frame f;
        for (;;) {
            const TeacherFrameDecoder::Result r = decoder.next(f);
            if (r == TeacherFrameDecoder::Result::Frame) {
                if (f.args.size() > TeacherFrameDecoder::MaxLength || !f.word.endsWith('@'))
                    abort();
                frames << qMakePair(f.word, f.args);
                continue;
            }
            if (r != TeacherFrameDecoder::Result::NeedMore)
                *broken = true;
            break;
        }
    }
    return frames;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray all(reinterpret_cast<const char *>(data) + 1, static_cast<int>(size - 1));
    const int cut = all.isEmpty() ? 0 : data[0] % (all.size() + 1);
    bool brokenWhole = false;
    bool brokenSplit = false;
    const Frames whole = decode({all}, &brokenWhole);
    const Frames split = decode({all.left(cut), all.mid(cut)}, &brokenSplit);
    // A stream of length-framed frames decodes the same however it is cut. (Unframed
    // commands have no length, so where they end depends on what one read holds.)
    QByteArray reframed;
    for (const auto &frame : whole)
        reframed += frame.first + QByteArray::number(frame.second.size()) + '_' + frame.second;
    if (!brokenWhole && reframed == all && split != whole)
        abort();
    return 0;
}
