// A teacher floods the chat: three "chat@" frames of 2 MB each, written at once with a heartbeat
// behind them, timed until the heartbeat's answer comes back; next to it, in the same run, a
// heartbeat alone. Then the GUI thread's time for one such message in a chat view that holds
// as many messages as it keeps.
#include "app/MainWidget.h"
#include "common/BenchLesson.h"
#include "common/BenchProcess.h"
#include "screens/ChatWidget.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

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
    QByteArray flood;
    const QByteArray text(kMessageBytes, 'w');
    for (int i = 0; i < kMessages; ++i)
        flood += LoopbackPeer::frame("chat@", text);
    flood += heartbeat;
    const auto roundTrip = [&](const QByteArray &bytes) {
        return [&teacher, &answer, bytes] {
            teacher.clear();
            teacher.write(bytes);
            return teacher.waitFor(answer, kWaitMs);
        };
    };
    const double alone = medianMs(roundTrip(heartbeat));
    const double flooded = medianMs(roundTrip(flood));
    if (alone < 0 || flooded < 0) {
        std::fprintf(stderr, "bench_chat_flood: no heartbeat answer\n");
        return 1;
    }
    ChatWidget *chat = lesson.window()->chatWidget();
    const QString message = QString::fromLatin1(text);
    for (int i = 0; i < ChatWidget::MaxMessages; ++i)
        chat->onChatting(message); // a full history
    const double shown = medianMs([chat, &message] {
        chat->onChatting(message);
        return true;
    });
    std::printf("heartbeat answered after %d chat messages of %d bytes: median %.1f ms "
                "(reference, heartbeat alone: %.2f ms)\n",
                kMessages, kMessageBytes, flooded, alone);
    std::printf("  one such message in the chat view: median %.2f ms on the GUI thread "
                "(goal: a frame or two, under %.1f ms%s)\n",
                shown, 2 * kFrameMs, shown < 2 * kFrameMs ? ", met" : ", MISSED");
    return 0;
}
