#include "pdf/PdfImportThread.h"

#include "pdf/ImportAdpter.h"
#include "pdf/PageImageLimit.h"
#include "pdf/XPDFRenderer.h"

#include <QDebug>
#include <QImage>
#include <QPainter>

#include <cmath>

PdfImportThread::PdfImportThread(ImportAdpter &adapter, const QString &text, const QString &pdfPath,
                                 const QString &bookFolder)
    : m_adapter(adapter), m_strText(text), m_strPdfPath(pdfPath), m_strBookFolder(bookFolder)
{
    ++m_adapter.m_nWorkers;
}

// Last touch of the adapter: its owner may free it from here on.
PdfImportThread::~PdfImportThread()
{
    --m_adapter.m_nWorkers;
}

QSizeF PdfImportThread::imageSize(const QSizeF &pageSize)
{
    const float width = float(pageSize.width());
    const float height = float(pageSize.height());
    if (!(width > 0.0f) || !(height >= 0.0f))
        return QSizeF();
    const float h = float(kPageWidth) * height / width;
    if (!std::isfinite(h))
        return QSizeF();
    if (h < float(kMinPageSide))
        return QSizeF(0, 0);
    const QSizeF size = QSizeF(kPageWidth, h) * PageImageLimit::reduction(QSizeF(kPageWidth, h));
    if (size.width() < kMinPageSide || size.height() < kMinPageSide)
        return QSizeF(0, 0);
    return size;
}

void PdfImportThread::run()
{
    XPDFRenderer pdf(m_strPdfPath);
    const int count = pdf.pageCount();
    if (!pdf.isValid() || count < 1) {
        qDebug() << "PdfImportThread: cannot open" << m_strPdfPath;
        m_adapter.m_bFailed = true;
        return;
    }
    m_adapter.setRunning(true);
    bool cancelled = false;
    for (int page = 1; page <= count; ++page) {
        if (m_adapter.m_bCancel) {
            cancelled = true;
            break;
        }
        const QSizeF size = pdf.pageSizeF(page);
        const QSizeF scaled = imageSize(size);
        if (scaled.isValid() && scaled.isEmpty())
            continue;
        QImage image;
        if (scaled.isValid())
            image = QImage(int(scaled.width()), int(scaled.height()), QImage::Format_ARGB32);
        if (image.isNull()) {
            qDebug() << "PdfImportThread: page" << page << "has an unusable size" << size;
            m_adapter.m_bFailed = true;
            m_adapter.clearRunning();
            return;
        }
        {
            const double w = scaled.width();
            const double h = scaled.height();
            QPainter painter(&image);
            painter.setBackground(QBrush(Qt::transparent));
            painter.eraseRect(image.rect());
            const double scale = qMin(h / size.height(), w / size.width());
            painter.scale(scale, scale);
            if (w > size.width())
                painter.translate((size.width() - w / scale) * -0.5, 0);
            if (h > size.height())
                painter.translate(0, (size.height() - h / scale) * -0.5);
            pdf.render(&painter, page);
        }
        m_adapter.m_nProgress = page * 90 / count;
    }
    m_adapter.m_bCancelled = cancelled;
    m_adapter.clearRunning();
    m_adapter.m_nProgress = 100;
    m_adapter.clearRunning();
}
