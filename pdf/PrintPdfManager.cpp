#include "pdf/PrintPdfManager.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QSize>

namespace {
bool readImageFile(const QString &fileName, QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "PrintPdfManager: cannot open image" << fileName;
        return false;
    }
    if (file.size() <= 0 || file.size() > PrintPdfManager::kMaxImageFileSize) {
        qDebug() << "PrintPdfManager: image file size refused" << fileName << file.size();
        return false;
    }
    bytes = file.readAll();
    return bytes.size() == file.size();
}
} // namespace

void PrintPdfManager::DocDeleter::operator()(HPDF_Doc doc) const
{
    HPDF_Free(doc);
}

PrintPdfManager::PrintPdfManager(QObject *parent) : QObject(parent)
{
    m_doc.reset(HPDF_New(&PrintPdfManager::onPdfError, this));
    if (!m_doc) {
        qDebug() << "PrintPdfManager: HPDF_New failed";
        return;
    }
    check(HPDF_SetCompressionMode(m_doc.get(), HPDF_COMP_ALL), "HPDF_SetCompressionMode");
}

PrintPdfManager::~PrintPdfManager() = default;

// The library calls this and then returns the error status from the failing call.
void PrintPdfManager::onPdfError(HPDF_STATUS errorNo, HPDF_STATUS detailNo, void *userData)
{
    qDebug() << "PrintPdfManager: libharu error" << Qt::hex << errorNo << "detail" << Qt::dec
             << detailNo;
    if (auto *self = static_cast<PrintPdfManager *>(userData))
        self->m_nError = errorNo;
}

// A failed step drops the document, so nothing half-made can be saved.
bool PrintPdfManager::check(HPDF_STATUS status, const char *step)
{
    if (status == HPDF_OK && m_nError == HPDF_OK)
        return true;
    qDebug() << "PrintPdfManager:" << step << "failed, status" << Qt::hex << status << "error"
             << m_nError;
    m_doc.reset();
    return false;
}

QSize PrintPdfManager::pageSize(const QSize &size)
{
    return QSize(qBound(kMinPageSide, size.width(), kMaxPageSide),
                 qBound(kMinPageSide, size.height(), kMaxPageSide));
}

bool PrintPdfManager::addImagePage(const QString &path, int width, int height)
{
    return addPage(path, width, height, QSizeF());
}

bool PrintPdfManager::addFilledImagePage(const QString &path, int width, int height)
{
    return addPage(path, width, height, QSizeF(width, height));
}

bool PrintPdfManager::addPage(const QString &path, int width, int height, const QSizeF &drawn)
{
    if (!m_doc)
        return false;
    if (width < kMinPageSide || width > kMaxPageSide || height < kMinPageSide ||
        height > kMaxPageSide) {
        qDebug() << "PrintPdfManager: page size out of range" << width << height;
        return false;
    }
    QByteArray probe;
    if (!readImageFile(path, probe))
        return false;

    HPDF_Page page = HPDF_AddPage(m_doc.get());
    if (!check(page ? HPDF_OK : HPDF_GetError(m_doc.get()), "HPDF_AddPage"))
        return false;
    if (!check(HPDF_Page_SetWidth(page, width), "HPDF_Page_SetWidth") ||
        !check(HPDF_Page_SetHeight(page, height), "HPDF_Page_SetHeight"))
        return false;
    qDebug() << "set size " << QSize(width, height);
    if (!drawImage(m_doc.get(), path, 0, 0, drawn))
        return check(HPDF_INVALID_IMAGE, "drawImage");
    if (!check(HPDF_OK, "drawImage"))
        return false;
    ++m_nPages;
    return true;
}

bool PrintPdfManager::drawImage(HPDF_Doc doc, const QString &fileName, float x, float y,
                                const QSizeF &drawn)
{
    if (!doc)
        return false;
    QByteArray bytes;
    if (!readImageFile(fileName, bytes))
        return false;
    HPDF_Page page = HPDF_GetCurrentPage(doc);
    if (!page)
        return false;
    HPDF_Image image = HPDF_LoadJpegImageFromMem(
        doc, reinterpret_cast<const HPDF_BYTE *>(bytes.constData()), HPDF_UINT(bytes.size()));
    if (!image)
        return false;
    const HPDF_UINT height = HPDF_Image_GetHeight(image);
    const HPDF_UINT width = HPDF_Image_GetWidth(image);
    if (width == 0 || height == 0)
        return false;
    const QSizeF size = drawn.isEmpty() ? QSizeF(width, height) : drawn;
    if (HPDF_Page_DrawImage(page, image, x, y, HPDF_REAL(size.width()), HPDF_REAL(size.height())) !=
        HPDF_OK)
        return false;
    qDebug() << "img " << width << height;
    return true;
}

bool PrintPdfManager::save(const QString &path)
{
    if (!m_doc)
        return false;
    if (!check(HPDF_SaveToStream(m_doc.get()), "HPDF_SaveToStream") ||
        !check(HPDF_ResetStream(m_doc.get()), "HPDF_ResetStream"))
        return false;
    const HPDF_UINT32 size = HPDF_GetStreamSize(m_doc.get());
    if (size == 0)
        return check(HPDF_INVALID_STREAM, "HPDF_GetStreamSize");

    // Copied in blocks: a document may be larger than one QByteArray can hold.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug() << "PrintPdfManager::save cannot create" << path << file.errorString();
        return false;
    }
    QByteArray block(64 * 1024, Qt::Uninitialized);
    quint64 total = 0;
    for (;;) {
        HPDF_UINT32 got = HPDF_UINT32(block.size());
        const HPDF_STATUS status =
            HPDF_ReadFromStream(m_doc.get(), reinterpret_cast<HPDF_BYTE *>(block.data()), &got);
        const bool end = status == HPDF_STREAM_EOF;
        if (end) {
            // Reaching the end of the stream is how a whole read ends.
            HPDF_ResetError(m_doc.get());
            m_nError = HPDF_OK;
        } else if (!check(status, "HPDF_ReadFromStream")) {
            return false;
        }
        total += got;
        if (total > size || (!end && got == 0))
            return check(HPDF_INVALID_STREAM, "HPDF_ReadFromStream");
        if (got > 0 && file.write(block.constData(), qint64(got)) != qint64(got)) {
            qDebug() << "PrintPdfManager::save cannot write" << path << file.errorString();
            return false;
        }
        if (end)
            break;
    }
    if (total != size)
        return check(HPDF_INVALID_STREAM, "HPDF_ReadFromStream");
    if (!file.commit()) {
        qDebug() << "PrintPdfManager::save cannot write" << path << file.errorString();
        return false;
    }
    return true;
}
