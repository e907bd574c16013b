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
    // Tallest page image, so that one page stays within about 40 megapixels.
    static constexpr int kMaxPageHeight = 33333;

    PdfImportThread(ImportAdpter &adapter, const QString &text, const QString &pdfPath,
                    const QString &bookFolder);
    ~PdfImportThread() override;

    void run() override;

    // Image height for a page of this size at kPageWidth: 0 skips a page too flat to
    // show, -1 refuses a page of no width or absurd height.
    static int pageHeight(const QSizeF &pageSize);

private:
    ImportAdpter &m_adapter;
    QString m_strText;
    QString m_strPdfPath;
    QString m_strBookFolder;
};

#endif // PDFIMPORTTHREAD_H
