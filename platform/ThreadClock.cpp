#include "platform/ThreadClock.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <time.h>
#endif

qint64 ThreadClock::processorMs()
{
#ifdef Q_OS_WIN
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user))
        return -1;
    const auto ticks = [](const FILETIME &t) {
        return qint64(t.dwHighDateTime) << 32 | qint64(t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000; // 100 ns ticks
#else
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0)
        return -1;
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
#endif
}
