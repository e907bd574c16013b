#include "pdf/OpenBookThread.h"

#include "pdf/XPDFRenderer.h"

#include <QDebug>

namespace {
// Stands in for a page that cannot be rendered: white, in the page's proportions.
QImage blankPage(const QSizeF &pageSize)
{
    QSize size(816, 1056);
    if (pageSize.width() >= 1.0 && pageSize.height() >= 1.0)
        size = pageSize.scaled(QSizeF(1056, 1056), Qt::KeepAspectRatio)
                   .toSize()
                   .expandedTo(QSize(1, 1));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
} // namespace

OpenBookThread::OpenBookThread(QObject *parent) : QThread(parent) {}

void OpenBookThread::run()
{
    const QString path = m_strPath;
    XPDFRenderer pdf(path);
    if (!pdf.isValid()) {
        qDebug() << "pdf not valid";
        postFail();
        return;
    }
    pdf.setAbortCheck([this] { return !m_bRun.load(); });
    const int count = pdf.pageCount();
    qDebug() << "pdf.isValid() pagecount=" << count;
    postClearPage();
    for (int page = 1; page <= count; ++page) {
        if (!m_bRun)
            break;
        QImage image = pdf.pageImage(page);
        qDebug() << "page" << page << "image" << image.size();
        if (!m_bRun)
            break; // the page may have been cut short
        if (image.isNull())
            image = blankPage(pdf.pageSizeF(page)); // keeps the page numbers in step
        const QSize size(qMax(1, 2 * image.width() / 3), qMax(1, 2 * image.height() / 3));
        postPage(image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    postComplete(path);
}

// The worker only queues calls on this object; they run, and emit, in its own thread.
void OpenBookThread::postClearPage()
{
    QMetaObject::invokeMethod(
        this, [this] { emit clearPageSignal(); }, Qt::QueuedConnection);
}

void OpenBookThread::postPage(const QImage &image)
{
    QMetaObject::invokeMethod(
        this, [this, image] { emit addPageSignal(QPixmap::fromImage(image)); },
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
