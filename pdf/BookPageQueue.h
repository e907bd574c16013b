#ifndef BOOKPAGEQUEUE_H
#define BOOKPAGEQUEUE_H

#include "pdf/BookPage.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QWaitCondition>

#include <atomic>

// The bounded hand-over between the workers that make the pages of a book and the thread
// that passes them on in page order. Workers claim page indexes no further than `capacity`
// ahead of the pages consumed, so memory stays flat however long the book is, and the page
// images they hold at once share one pixel budget, so it stays flat however large the pages
// are. Every wait ends when the queue is aborted.
class BookPageQueue
{
public:
    // A new book of pageCount pages. gated: page files may be written only after open().
    void start(int pageCount, int capacity, bool gated, qint64 pixelBudget);
    void abort();
    // Lock-free: renderers ask it often while a page renders.
    bool isAborted() const { return m_bAborted.load(); }

    // Next page index to make; -1 when none is left or the queue was aborted.
    int claim();
    // A worker hands over a made page.
    void put(const BookPage &page);
    // Blocks until the pixels of a claimed page fit in the budget beside those of the pages
    // being made, lower indexes first; a page larger than the budget waits until it is alone.
    // False when aborted.
    bool reservePixels(int index, qint64 pixels);
    void releasePixels(qint64 pixels);
    // Blocks until page files may be written; false when aborted.
    bool waitOpen();
    void open();

    // Blocks until the page of that index is made and fewer than maxPosted pages are
    // handed on but not yet consumed; false when aborted.
    bool take(int index, int maxPosted, BookPage *page);
    // The page of that index, handed on, was consumed (or dropped) by the receiver.
    void consumed(int index);
    // Made pages that were never taken, removed from the queue.
    QList<BookPage> takeLeftovers();
    // Pages handed on that the receiver never consumed, removed from the queue.
    QList<BookPage> takeUnconsumed();

private:
    QMutex m_mutex;
    QWaitCondition m_changed;
    QMap<int, BookPage> m_made;
    QMap<int, BookPage> m_handedOn;
    int m_nPageCount = 0;
    int m_nCapacity = 1;
    int m_nNextClaim = 0;
    int m_nTaken = 0;
    int m_nConsumed = 0;
    std::atomic<bool> m_bAborted{false};
    bool m_bOpen = true;
    qint64 m_nPixelBudget = 0;
    qint64 m_nPixelsHeld = 0;
    QList<int> m_listWaiting; // indexes waiting for pixels, in the order they came
};

#endif // BOOKPAGEQUEUE_H
