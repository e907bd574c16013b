#ifndef OPENBOOKTHREAD_H
#define OPENBOOKTHREAD_H

#include "pdf/BookPage.h"
#include "pdf/BookPageQueue.h"
#include "pdf/BookPageWorker.h"
#include "pdf/XPDFRenderer.h"

#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

// Opens one book and hands its pages over one by one, in page order. The pages are made by
// worker threads, each with a Poppler document of its own; this thread passes them on.
// Every run ends with exactly one of openComplete or openFail. The signals are emitted from
// the thread that owns this object (the GUI thread), which does no more than take what is
// ready: at most a few pages wait for it at any time.
class OpenBookThread : public QThread
{
    Q_OBJECT
public:
    using PageWriter = BookPageWorker::PageWriter;
    // Pages of a book at most: a guard far past the longest real books.
    static constexpr int kMaxPages = 10000;
    // Bytes a page takes in a file at the least: a book claiming more pages than its file can
    // hold ends at its last page that loads.
    static constexpr int kMinPageBytes = 16;

    explicit OpenBookThread(QObject *parent = nullptr);
    // Stops the run and waits for it.
    ~OpenBookThread() override;

    // No more pages are handed over; openComplete follows.
    void stop();

    // With a writer, the workers write every page as a page file and the pages come as
    // addBookPageSignal; without one they come as addPageSignal. Set before start().
    void setPageWriter(const PageWriter &writer) { m_writer = writer; }
    // Size the thumbnails of addBookPageSignal are fitted into; none when invalid.
    void setThumbnailSize(const QSize &size) { m_thumbnailSize = size; }
    // Page files of the book shown before: those this run does not write again are deleted
    // at its end, off the GUI thread. Set before start().
    void setStaleFiles(const QStringList &paths) { m_listStaleFiles = paths; }
    // Worker threads; 0 (the default) uses every core but one.
    void setWorkerCount(int count) { m_nWorkers = count; }
    // Processor time one page may take to render; a page past it is handed over blank.
    void setPageBudget(int ms) { m_nPageBudgetMs = ms; }
    int workerCount(int pageCount) const;

    std::atomic<bool> m_bRun{true};
    QString m_strPath;

signals:
    void clearPageSignal();
    void addPageSignal(QPixmap pixmap);
    void openComplete(QString path);
    void openFail();
    void addBookPageSignal(BookPage page);

protected:
    void run() override;

private:
    // Pages the book is opened with.
    int bookLength(const XPDFRenderer &pdf, qint64 fileBytes) const;
    void postClearPage();
    void postPage(const BookPage &page);
    void postComplete(const QString &path);
    void postFail();
    static void discard(const BookPage &page);
    void removeStaleFiles(const QSet<QString> &written);

    BookPageQueue m_queue;
    PageWriter m_writer;
    QSize m_thumbnailSize;
    int m_nWorkers = 0;
    int m_nPageBudgetMs = XPDFRenderer::kDefaultPageBudgetMs;
    QStringList m_listStaleFiles;
};

#endif // OPENBOOKTHREAD_H
