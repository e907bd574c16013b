// Opens arbitrary bytes as a PDF book and renders its first pages at a small scale.
#include "pdf/XPDFRenderer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool init = (qInstallMessageHandler(quiet), true);
    (void)init;
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_pdf-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_pdf-XXXXXX"));
    if (size > 512 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    XPDFRenderer::decodeTitle(bytes.left(256));

    const QString path = dir.filePath(QStringLiteral("in.pdf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 0;
    file.close();

    XPDFRenderer pdf(path);
    if (!pdf.isValid())
        return 0;
    // One huge image may not hold a run for long.
    pdf.setPageBudget(200);
    pdf.title();
    const int count = pdf.pageCount();
    for (int page = 0; page <= qMin(count, 2) + 1; ++page) {
        pdf.pageSizeF(page);
        pdf.pageRotation(page);
        pdf.pageLoads(page);
        // A small scale keeps every run fast; the size cap still applies to odd boxes.
        pdf.pageImage(page, 0.05, 0.05, QRectF());
        pdf.pageImage(page, 0.1, 0.1, QRectF(10, 10, 100, 100));
    }
    return 0;
}
