#include "pdf/BookPageQueue.h"

void BookPageQueue::start(int pageCount, int capacity, bool gated, qint64 pixelBudget)
{
    QMutexLocker lock(&m_mutex);
    m_made.clear();
    m_handedOn.clear();
    m_nPageCount = qMax(0, pageCount);
    m_nCapacity = qMax(1, capacity);
    m_nNextClaim = 0;
    m_nTaken = 0;
    m_nConsumed = 0;
    m_bAborted = false;
    m_bOpen = !gated;
    m_nPixelBudget = pixelBudget;
    m_nPixelsHeld = 0;
    m_listWaiting.clear();
}

void BookPageQueue::abort()
{
    QMutexLocker lock(&m_mutex);
    m_bAborted = true;
    m_changed.wakeAll();
}

int BookPageQueue::claim()
{
    QMutexLocker lock(&m_mutex);
    while (!m_bAborted && m_nNextClaim < m_nPageCount && m_nNextClaim >= m_nConsumed + m_nCapacity)
        m_changed.wait(&m_mutex);
    if (m_bAborted || m_nNextClaim >= m_nPageCount)
        return -1;
    return m_nNextClaim++;
}

void BookPageQueue::put(const BookPage &page)
{
    QMutexLocker lock(&m_mutex);
    m_made.insert(page.index, page);
    m_changed.wakeAll();
}

bool BookPageQueue::reservePixels(int index, qint64 pixels)
{
    QMutexLocker lock(&m_mutex);
    m_listWaiting.append(index);
    const auto mayGo = [&] {
        int lowest = index;
        for (int waiting : qAsConst(m_listWaiting))
            lowest = qMin(lowest, waiting);
        return lowest == index && (m_nPixelsHeld == 0 || m_nPixelsHeld + pixels <= m_nPixelBudget);
    };
    while (!m_bAborted && !mayGo())
        m_changed.wait(&m_mutex);
    m_listWaiting.removeOne(index);
    m_changed.wakeAll();
    if (m_bAborted)
        return false;
    m_nPixelsHeld += pixels;
    return true;
}

void BookPageQueue::releasePixels(qint64 pixels)
{
    QMutexLocker lock(&m_mutex);
    m_nPixelsHeld -= pixels;
    m_changed.wakeAll();
}

bool BookPageQueue::waitOpen()
{
    QMutexLocker lock(&m_mutex);
    while (!m_bAborted && !m_bOpen)
        m_changed.wait(&m_mutex);
    return !m_bAborted;
}

void BookPageQueue::open()
{
    QMutexLocker lock(&m_mutex);
    m_bOpen = true;
    m_changed.wakeAll();
}

bool BookPageQueue::take(int index, int maxPosted, BookPage *page)
{
    QMutexLocker lock(&m_mutex);
    while (!m_bAborted && (!m_made.contains(index) || m_nTaken - m_nConsumed >= maxPosted))
        m_changed.wait(&m_mutex);
    if (m_bAborted)
        return false;
    *page = m_made.take(index);
    m_handedOn.insert(index, *page);
    ++m_nTaken;
    return true;
}

void BookPageQueue::consumed(int index)
{
    QMutexLocker lock(&m_mutex);
    m_handedOn.remove(index);
    ++m_nConsumed;
    m_changed.wakeAll();
}

QList<BookPage> BookPageQueue::takeLeftovers()
{
    QMutexLocker lock(&m_mutex);
    const QList<BookPage> pages = m_made.values();
    m_made.clear();
    return pages;
}

QList<BookPage> BookPageQueue::takeUnconsumed()
{
    QMutexLocker lock(&m_mutex);
    const QList<BookPage> pages = m_handedOn.values();
    m_handedOn.clear();
    return pages;
}
