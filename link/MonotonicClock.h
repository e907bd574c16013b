#ifndef MONOTONICCLOCK_H
#define MONOTONICCLOCK_H

#include <QtGlobal>

// Milliseconds of a clock that never goes back, counted from its first use.
class MonotonicClock
{
public:
    static qint64 nowMs();
};

#endif // MONOTONICCLOCK_H
