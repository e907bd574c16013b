#include "pdf/PDFRenderer.h"

#include "pdf/XPDFRenderer.h"

#include <QDebug>
#include <QFile>

namespace {
// A book larger than this is still opened, but its bytes are not kept in memory.
constexpr qint64 kMaxKeptBytes = qint64(512) * 1024 * 1024;
} // namespace

PDFRenderer::~PDFRenderer() = default;

QMap<QUuid, QPointer<PDFRenderer>> &PDFRenderer::documents()
{
    static QMap<QUuid, QPointer<PDFRenderer>> sDocuments;
    return sDocuments;
}

PDFRenderer *PDFRenderer::open(const QUuid &id, const QString &path)
{
    auto &docs = documents();
    const auto it = docs.constFind(id);
    if (it != docs.constEnd())
        return it.value().data();

    auto *renderer = new XPDFRenderer(path);
    renderer->setRef(0);
    renderer->setId(id);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        if (file.size() <= kMaxKeptBytes)
            renderer->setData(file.readAll());
        else
            qDebug() << "PDFRenderer::open: file too large to keep" << path << file.size();
        file.close();
    }
    docs.insert(id, renderer);
    return renderer;
}

bool PDFRenderer::ref()
{
    return m_nRef.ref();
}

void PDFRenderer::deref()
{
    if (m_nRef.deref())
        return;
    documents().remove(m_id);
    delete this;
}
