// A teacher floods the chat: three "chat@" frames of 2 MB each, written at once with a heartbeat
// behind them, timed until the heartbeat's answer comes back; next to it, in the same run, a
// heartbeat alone. Then the GUI thread's time for one such message, laid out and painted, in a
// chat view that holds as many messages as it keeps. Once with a text of one long word, once
// with one word a line.
#include "app/MainWidget.h"
#include "common/BenchLesson.h"
#include "common/BenchProcess.h"
#include "screens/ChatWidget.h"

#include <QElapsedTimer>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <malloc.h>

namespace {
const int kMessages = 3;
const int kMessageBytes = 2 * 1024 * 1024;
const int kRounds = 5;
const int kWaitMs = 60000;
const double kFrameMs = 16.7;

// Median of the rounds, in milliseconds; negative when an answer did not come.
template <typename Work> double medianMs(Work work)
{
    std::vector<double> ms;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!work())
            return -1;
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    BenchProcess process(argc, argv);
    if (!process.isValid())
        return 1;
    BenchLesson lesson;
    if (!lesson.start()) {
        std::fprintf(stderr, "bench_chat_flood: the lesson did not start\n");
        return 1;
    }
    LoopbackPeer &teacher = lesson.teacher();
    const QByteArray answer = LoopbackPeer::framed("heart@student");
    const QByteArray heartbeat = LoopbackPeer::framed("heart@");
    const auto roundTrip = [&](const QByteArray &bytes) {
        return [&teacher, &answer, bytes] {
            teacher.clear();
            teacher.write(bytes);
            return teacher.waitFor(answer, kWaitMs);
        };
    };
    const double alone = medianMs(roundTrip(heartbeat));
    if (alone < 0) {
        std::fprintf(stderr, "bench_chat_flood: no heartbeat answer\n");
        return 1;
    }
    std::printf("reference, heartbeat alone: %.2f ms\n", alone);
    ChatWidget *chat = lesson.window()->chatWidget();
    // One long word, then the most lines a message may show: nothing but line breaks.
    for (const QByteArray &text :
         {QByteArray(kMessageBytes, 'w'), QByteArray(kMessageBytes, '\n')}) {
        const char *kind = text.startsWith('\n') ? "of line breaks" : "of one word";
        QByteArray flood;
        for (int i = 0; i < kMessages; ++i)
            flood += LoopbackPeer::frame("chat@", text);
        flood += heartbeat;
        const double flooded = medianMs(roundTrip(flood));
        if (flooded < 0) {
            std::fprintf(stderr, "bench_chat_flood: no heartbeat answer\n");
            return 1;
        }
        chat->setMyName(QStringLiteral("Me"));
        const size_t heapBefore = mallinfo2().uordblks;
        const QString message = QString::fromLatin1(text);
        for (int i = 0; i < ChatWidget::MaxMessages; ++i)
            chat->onChatting(message); // a full history
        const double heapMb = (double(mallinfo2().uordblks) - double(heapBefore)) / (1 << 20);
        const double shown = medianMs([chat, &message] {
            chat->onChatting(message);
            chat->historyView()->viewport()->repaint();
            return true;
        });
        std::printf("heartbeat answered after %d chat messages of %d bytes %s: median %.1f ms\n",
                    kMessages, kMessageBytes, kind, flooded);
        std::printf("  one such message in a full chat view (%d messages kept, %.1f MB), laid out "
                    "and painted: median %.2f ms on the GUI thread (goal: a frame or two, under "
                    "%.1f ms%s)\n",
                    int(chat->history().count(QStringLiteral("Teacher: "))), heapMb, shown,
                    2 * kFrameMs, shown < 2 * kFrameMs ? ", met" : ", MISSED");
    }
    return 0;
}
