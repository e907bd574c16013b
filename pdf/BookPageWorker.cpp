#include "pdf/BookPageWorker.h"

#include "pdf/BookPageQueue.h"
#include "pdf/PackedThumbnail.h"
#include "pdf/XPDFRenderer.h"

#include <QDebug>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

namespace {
// A bitmap at most this large is kept for the next page, which likely has the same size;
// a larger one is freed as soon as its page is made, so that only the pixel budget holds.
constexpr qint64 kKeptBitmapPixels = 1024 * 1024;
// A page this many times the thumbnail's size or more is made smaller coarsely first.
constexpr int kCoarseThumbnailFactor = 4;

// Size of a page that cannot be rendered when neither it nor the book's first page has one:
// US letter.
const QSize kLetterPage(544, 704);

QImage whitePage(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
} // namespace

BookPageWorker::BookPageWorker(BookPageQueue &queue, const QString &path,
                               const QSize &thumbnailSize, const PageWriter &writer,
                               int pageBudgetMs, const QSize &blankSize)
    : m_queue(queue), m_strPath(path), m_thumbnailSize(thumbnailSize), m_writer(writer),
      m_nPageBudgetMs(pageBudgetMs), m_blankSize(blankSize.isEmpty() ? kLetterPage : blankSize)
{
}

BookPage BookPageWorker::makePage(XPDFRenderer &pdf, int index, const QSize &size) const
{
    BookPage page;
    page.index = index;
    page.image = pdf.sharedPageImage(index + 1, size);
    if (page.image.isNull()) // keeps the page numbers in step
        page.image = whitePage(size.isEmpty() ? m_blankSize : size);
    page.size = page.image.size();
    qDebug() << "book page" << index + 1 << "image size" << page.size;
    if (m_thumbnailSize.isValid()) {
        page.thumbnail = thumbnail(page.image);
        page.packedThumbnail = PackedThumbnail::pack(page.thumbnail);
    }
    return page;
}

// Qt spreads the smooth scaling of a large image over its global thread pool, whose threads
// run beside the GUI thread at its priority: a large page is first brought near the
// thumbnail's size here, coarsely.
QImage BookPageWorker::thumbnail(const QImage &image) const
{
    const QSize near = m_thumbnailSize * kCoarseThumbnailFactor;
    QImage source = image;
    if (image.width() > near.width() && image.height() > near.height())
        source = image.scaled(near, Qt::KeepAspectRatio, Qt::FastTransformation);
    return source.scaled(m_thumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The workers keep every core busy; the GUI thread must still get its turn at once.
void BookPageWorker::yieldToInteractiveThreads()
{
#ifdef Q_OS_LINUX
    const sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);
#endif
}

void BookPageWorker::run()
{
    yieldToInteractiveThreads();
    XPDFRenderer pdf(m_strPath);
    pdf.setAbortCheck([this] { return m_queue.isAborted(); });
    pdf.setPageBudget(m_nPageBudgetMs);
    for (int index = m_queue.claim(); index >= 0; index = m_queue.claim()) {
        const QSize size = pdf.bookPageSize(index + 1);
        const qint64 pixels = size.isEmpty() ? 0 : qint64(size.width()) * size.height();
        if (!m_queue.reservePixels(index, pixels))
            return;
        const bool handedOver = makeAndPut(pdf, index, size);
        if (pixels > kKeptBitmapPixels)
            pdf.releaseBitmap();
        m_queue.releasePixels(pixels);
        if (!handedOver)
            return;
    }
}

bool BookPageWorker::makeAndPut(XPDFRenderer &pdf, int index, const QSize &size)
{
    BookPage page = makePage(pdf, index, size);
    if (m_queue.isAborted())
        return false; // the page may have been cut short
    if (m_writer) {
        // Page files go in only once the old ones are gone.
        if (!m_queue.waitOpen())
            return false;
        page.filePath = m_writer(index, page.image);
        if (!page.inFile())
            qDebug() << "BookPageWorker: page" << index << "kept in memory";
    }
    // The renderer draws the next page into the same pixels. The first page keeps its
    // image also when it is in a file: it is the page shown once the book is open.
    page.image = page.inFile() && index > 0 ? QImage() : page.image.copy();
    m_queue.put(page);
    return true;
}
