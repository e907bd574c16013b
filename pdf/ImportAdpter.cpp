#include "pdf/ImportAdpter.h"

#include <QThread>

ImportAdpter::~ImportAdpter()
{
    m_bCancel = true;
    while (m_nWorkers.load() > 0)
        QThread::msleep(1);
}
