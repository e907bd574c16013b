#include "pdf/OpenBookThread.h"

#include "pdf/PageImageLimit.h"
#include "pdf/XPDFRenderer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QWaitCondition>

#include <memory>
#include <vector>

namespace {
// Pages handed to the GUI thread and not yet taken by it.
constexpr int kMaxPosted = 2;
// Pages made ahead of the GUI thread, per worker.
constexpr int kAheadPerWorker = 2;
constexpr int kMaxWorkers = 8;
// Page pixels all workers hold at once: two of the largest pages, far more than a book of
// ordinary pages ever holds (seven letter pages are 2.7 million pixels).
constexpr qint64 kPoolPixels = 2 * PageImageLimit::kMaxPixels;
// Longest wait at exit for the runs still ending.
constexpr int kExitWaitMs = 3000;

// Runs under way in the process.
QMutex sRunsMutex;
QWaitCondition sRunEnded;
int sRuns = 0;

// A run that its screen stopped but did not wait for (it went away) may still be ending:
// it ends before the process's statics, Poppler's among them, go.
void waitForRunsAtExit()
{
    QMutexLocker lock(&sRunsMutex);
    const QDeadlineTimer deadline(kExitWaitMs);
    while (sRuns > 0 && sRunEnded.wait(&sRunsMutex, deadline)) {
    }
    if (sRuns > 0)
        qDebug() << "OpenBookThread:" << sRuns << "runs still under way at exit";
}

struct RunCount
{
    RunCount()
    {
        QMutexLocker lock(&sRunsMutex);
        ++sRuns;
    }
    ~RunCount()
    {
        QMutexLocker lock(&sRunsMutex);
        --sRuns;
        sRunEnded.wakeAll();
    }
};
} // namespace

OpenBookThread::OpenBookThread(QObject *parent) : QThread(parent)
{
    qRegisterMetaType<BookPage>("BookPage");
    static const bool atExit = (qAddPostRoutine(&waitForRunsAtExit), true);
    Q_UNUSED(atExit)
}

OpenBookThread::~OpenBookThread()
{
    stop();
    wait();
    // Pages still on their way to this object never arrive.
    for (const BookPage &page : m_queue.takeUnconsumed())
        discard(page);
}

void OpenBookThread::stop()
{
    m_bRun = false;
    m_queue.abort();
}

int OpenBookThread::workerCount(int pageCount) const
{
    const int wanted = m_nWorkers > 0 ? m_nWorkers : QThread::idealThreadCount() - 1;
    return qBound(1, qMin(wanted, kMaxWorkers), qMax(1, pageCount));
}

void OpenBookThread::run()
{
    const RunCount counted;
    const QString path = m_strPath;
    int count = 0;
    QSize blankSize;
    {
        XPDFRenderer pdf(path);
        if (!pdf.isValid()) {
            qDebug() << "pdf not valid";
            removeStaleFiles({});
            postFail();
            return;
        }
        qDebug() << "pdf.isValid() pagecount=" << pdf.pageCount();
        count = bookLength(pdf, QFileInfo(path).size());
        blankSize = pdf.bookPageSize(1);
    }

    const int workers = workerCount(count);
    m_queue.start(count, workers * kAheadPerWorker + kMaxPosted, bool(m_writer), kPoolPixels);
    if (!m_bRun)
        m_queue.abort();
    postClearPage();

    std::vector<std::unique_ptr<BookPageWorker>> pool;
    for (int i = 0; i < workers && count > 0; ++i) {
        pool.push_back(std::make_unique<BookPageWorker>(m_queue, path, m_thumbnailSize, m_writer,
                                                        m_nPageBudgetMs, blankSize));
        pool.back()->start(QThread::LowPriority);
    }
    QSet<QString> written;
    for (int index = 0; index < count; ++index) {
        BookPage page;
        if (!m_queue.take(index, kMaxPosted, &page))
            break;
        written.insert(page.filePath);
        postPage(page);
    }
    for (const auto &worker : pool)
        worker->wait();
    // Page files made after a stop are never handed over.
    for (const BookPage &page : m_queue.takeLeftovers())
        discard(page);
    removeStaleFiles(written);
    postComplete(path);
}

// Every page the page tree claims, at most kMaxPages: a page that does not load is handed
// over white, so the page numbers stay the teacher's. A page tree may claim far more pages
// than it holds: a claim the file is too small to hold ends at the last page that loads.
int OpenBookThread::bookLength(const XPDFRenderer &pdf, qint64 fileBytes) const
{
    const int claimed = pdf.pageCount();
    if (claimed > kMaxPages)
        qDebug() << "OpenBookThread: only the first" << kMaxPages << "pages are opened";
    const int count = qMin(claimed, kMaxPages);
    if (claimed <= fileBytes / kMinPageBytes)
        return count;
    int last = 0;
    for (int page = 1; page <= count && m_bRun; ++page) {
        if (pdf.pageLoads(page))
            last = page;
    }
    qDebug() << "OpenBookThread:" << fileBytes << "bytes cannot hold" << claimed
             << "pages; the book ends at page" << last;
    return last;
}

void OpenBookThread::removeStaleFiles(const QSet<QString> &written)
{
    for (const QString &path : qAsConst(m_listStaleFiles)) {
        if (!written.contains(path))
            QFile::remove(path);
    }
    m_listStaleFiles.clear();
}

void OpenBookThread::discard(const BookPage &page)
{
    if (page.inFile())
        QFile::remove(page.filePath);
}

// The run only queues calls on this object; they run, and emit, in its own thread.
void OpenBookThread::postClearPage()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit clearPageSignal();
            m_queue.open();
        },
        Qt::QueuedConnection);
}

void OpenBookThread::postPage(const BookPage &page)
{
    QMetaObject::invokeMethod(
        this,
        [this, page] {
            if (!m_bRun)
                discard(page);
            else if (m_writer)
                emit addBookPageSignal(page);
            else
                emit addPageSignal(QPixmap::fromImage(page.image));
            m_queue.consumed(page.index);
        },
        Qt::QueuedConnection);
}

void OpenBookThread::postComplete(const QString &path)
{
    QMetaObject::invokeMethod(
        this, [this, path] { emit openComplete(path); }, Qt::QueuedConnection);
}

void OpenBookThread::postFail()
{
    QMetaObject::invokeMethod(
        this, [this] { emit openFail(); }, Qt::QueuedConnection);
}
