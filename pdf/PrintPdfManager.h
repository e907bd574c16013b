#ifndef PRINTPDFMANAGER_H
#define PRINTPDFMANAGER_H

#include "pdf/PageImageLimit.h"

#include <QObject>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <hpdf.h>
#include <memory>

// Writes a PDF whose pages are JPEG images, one per page, through libharu.
// Any library error drops the document: later calls then fail.
class PrintPdfManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMinPageSide = 3;
    static constexpr int kMaxPageSide = 14400;
    static constexpr qint64 kMaxImageFileSize = 256LL * 1024 * 1024;
    static_assert(PageImageLimit::kMaxSide <= kMaxPageSide, "every page image can be written");

    explicit PrintPdfManager(QObject *parent = nullptr);
    ~PrintPdfManager() override;

    bool isValid() const { return m_doc != nullptr; }
    int pageCount() const { return m_nPages; }

    // A page size the writer takes: each side brought within kMinPageSide..kMaxPageSide.
    static QSize pageSize(const QSize &size);

    // Appends a page of width x height points showing the JPEG file at its lower left.
    bool addImagePage(const QString &path, int width, int height);
    // Appends a page of width x height points that the JPEG file covers, stretched to it.
    bool addFilledImagePage(const QString &path, int width, int height);
    // Draws a JPEG file on the document's current page, at drawn points or, when drawn is
    // empty, at its own size.
    static bool drawImage(HPDF_Doc doc, const QString &fileName, float x, float y,
                          const QSizeF &drawn = QSizeF());
    // Writes the document to a temporary file renamed to path when complete.
    bool save(const QString &path);

private:
    struct DocDeleter
    {
        void operator()(HPDF_Doc doc) const;
    };
    using DocPtr = std::unique_ptr<std::remove_pointer<HPDF_Doc>::type, DocDeleter>;

    static void onPdfError(HPDF_STATUS errorNo, HPDF_STATUS detailNo, void *userData);
    // The image is drawn at drawn points, or at its own size when drawn is empty.
    bool addPage(const QString &path, int width, int height, const QSizeF &drawn);
    bool check(HPDF_STATUS status, const char *step);

    DocPtr m_doc;
    HPDF_STATUS m_nError = HPDF_OK;
    int m_nPages = 0;
};

#endif // PRINTPDFMANAGER_H
