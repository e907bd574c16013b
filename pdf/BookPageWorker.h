#ifndef BOOKPAGEWORKER_H
#define BOOKPAGEWORKER_H

#include "pdf/BookPage.h"

#include <QSize>
#include <QString>
#include <QThread>

#include <functional>

class BookPageQueue;
class XPDFRenderer;

// One of the threads that make the pages of a book: with a Poppler document of its own it
// renders the pages it claims, makes their thumbnails and, with a page writer, writes them
// as page files. Page images are two thirds of the page at 96 dpi in whole pixels (US letter:
// 544 x 704), rendered straight at that size; larger pages come within PageImageLimit.
class BookPageWorker : public QThread
{
    Q_OBJECT
public:
    // Writes the page image of a 0-based page; the path written, or empty on failure.
    using PageWriter = std::function<QString(int index, const QImage &image)>;

    // blankSize: the size of a page that cannot be rendered, when it has none of its own.
    BookPageWorker(BookPageQueue &queue, const QString &path, const QSize &thumbnailSize,
                   const PageWriter &writer, int pageBudgetMs, const QSize &blankSize);

protected:
    void run() override;

private:
    // Linux: mildly disfavoured by the scheduler (SCHED_BATCH); elsewhere the low priority
    // the thread is started with does this.
    static void yieldToInteractiveThreads();
    // The page with its thumbnail; its image shares the renderer's bitmap, so it is valid only
    // until the next page renders. A page that cannot be rendered, or not within its time
    // budget, comes out white.
    BookPage makePage(XPDFRenderer &pdf, int index, const QSize &size) const;
    QImage thumbnail(const QImage &image) const;
    // Makes the page, writes its file and puts it in the queue; false when aborted.
    bool makeAndPut(XPDFRenderer &pdf, int index, const QSize &size);

    BookPageQueue &m_queue;
    const QString m_strPath;
    const QSize m_thumbnailSize;
    const PageWriter m_writer;
    const int m_nPageBudgetMs;
    const QSize m_blankSize;
};

#endif // BOOKPAGEWORKER_H
