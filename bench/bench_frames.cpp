// Decoding 100,000 "line@" stroke frames from one buffer, next to one indexOf pass.
#include "link/TeacherFrameDecoder.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kFrames = 100000;
constexpr int kRounds = 5;

QByteArray strokeFrames()
{
    const QByteArray args = "ebook&3&3#255,0,0,255#3#10.5,20.25;11,21.5;12.75,22;14,23.5;15.5,25;"
                            "17,26.75;18.5,28;20,29.5";
    const QByteArray one = "line@" + QByteArray::number(args.size()) + '_' + args;
    QByteArray all;
    all.reserve(one.size() * kFrames);
    for (int i = 0; i < kFrames; ++i)
        all += one;
    return all;
}

// Best of several rounds, in milliseconds.
template <typename Fn> double bestMs(Fn fn)
{
    double best = 1e12;
    for (int r = 0; r < kRounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        fn();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}
} // namespace

int main()
{
    const QByteArray stream = strokeFrames();
    int decoded = 0;
    const double decodeMs = bestMs([&] {
        TeacherFrameDecoder decoder;
        decoder.append(stream);
        TeacherFrameDecoder::Frame frame;
        decoded = 0;
        while (decoder.next(frame) == TeacherFrameDecoder::Result::Frame)
            ++decoded;
    });
    int found = 0;
    const double scanMs = bestMs([&] {
        found = 0;
        for (int at = stream.indexOf("line@"); at >= 0; at = stream.indexOf("line@", at + 5))
            ++found;
    });
    if (decoded != kFrames || found != kFrames) {
        std::fprintf(stderr, "bench_frames: decoded %d, found %d\n", decoded, found);
        return 1;
    }
    std::printf("decode 100000 line@ frames: %.2f ms (reference: %.2f ms)\n", decodeMs, scanMs);
    return 0;
}
