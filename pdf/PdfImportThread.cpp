#include "pdf/PdfImportThread.h"

#include "pdf/ImportAdpter.h"
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

int PdfImportThread::pageHeight(const QSizeF &pageSize)
{
    const float width = float(pageSize.width());
    const float height = float(pageSize.height());
    if (!(width > 0.0f) || !(height >= 0.0f))
        return -1;
    const float h = float(kPageWidth) * height / width;
    if (!std::isfinite(h) || h >= float(kMaxPageHeight) + 1.0f)
        return -1;
    if (h < 10.0f)
        return 0;
    return int(h);
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
        const int height = pageHeight(size);
        if (height == 0)
            continue;
        QImage image;
        if (height > 0)
            image = QImage(kPageWidth, height, QImage::Format_ARGB32);
        if (image.isNull()) {
            qDebug() << "PdfImportThread: page" << page << "has an unusable size" << size;
            m_adapter.m_bFailed = true;
            m_adapter.clearRunning();
            return;
        }
        {
            QPainter painter(&image);
            painter.setBackground(QBrush(Qt::transparent));
            painter.eraseRect(0, 0, kPageWidth, height);
            const float h = float(kPageWidth) * float(size.height()) / float(size.width());
            const double scale = qMin(h / size.height(), kPageWidth / size.width());
            painter.scale(scale, scale);
            if (kPageWidth > size.width())
                painter.translate((size.width() - kPageWidth / scale) * -0.5, 0);
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
