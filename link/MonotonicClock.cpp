#include "link/MonotonicClock.h"

#include <QElapsedTimer>

qint64 MonotonicClock::nowMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}
