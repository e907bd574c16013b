#ifndef THREADCLOCK_H
#define THREADCLOCK_H

#include <QtGlobal>

// Processor time of the calling thread: the work it has done, whatever else runs beside it.
class ThreadClock
{
public:
    // In ms; -1 when it cannot be read.
    static qint64 processorMs();
};

#endif // THREADCLOCK_H
