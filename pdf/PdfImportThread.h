#ifndef PDFIMPORTTHREAD_H
#define PDFIMPORTTHREAD_H

#include <QRunnable>
#include <QSizeF>
#include <QString>

class ImportAdpter;

// Renders every page of a PDF on a pool thread, reporting through the adapter's status flags.
class PdfImportThread : public QRunnable
{
public:
    static constexpr int kPageWidth = 1200;
    // Pages thinner than this (after any reduction) give no image.
    static constexpr int kMinPageSide = 10;

    PdfImportThread(ImportAdpter &adapter, const QString &text, const QString &pdfPath,
                    const QString &bookFolder);
    ~PdfImportThread() override;

    void run() override;

    // Image size for a page of this size, before it is truncated to whole pixels: kPageWidth
    // wide, or smaller where a tall page would pass PageImageLimit. Empty (0 x 0) skips a page
    // too flat or too narrow to show; invalid refuses a page of no width or no finite size.
    static QSizeF imageSize(const QSizeF &pageSize);

private:
    ImportAdpter &m_adapter;
    QString m_strText;
    QString m_strPdfPath;
    QString m_strBookFolder;
};

#endif // PDFIMPORTTHREAD_H
