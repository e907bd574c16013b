#include "link/BookDownload.h"

#include <QDebug>
#include <QSaveFile>

namespace {
const QByteArray kStart = "%PDF-";
const QByteArray kEndMarker = "%%EOF";
} // namespace

BookDownload::BookDownload() = default;

BookDownload::~BookDownload()
{
    cancel();
}

bool BookDownload::open(const QString &path, qint64 total)
{
    cancel();
    m_file = std::make_unique<QSaveFile>(path);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_file.reset();
        return false;
    }
    m_nTotal = total;
    m_nReceived = 0;
    m_baHead.clear();
    m_baEnd.clear();
    return true;
}

BookDownload::Step BookDownload::write(const QByteArray &data)
{
    const qint64 count = qMin<qint64>(data.size(), m_nTotal - m_nReceived);
    if (!m_file || m_file->write(data.constData(), count) != count) {
        cancel();
        return Failed;
    }
    const QByteArray piece = data.left(int(count));
    if (m_baHead.size() < kStart.size())
        m_baHead += piece.left(kStart.size() - m_baHead.size());
    m_baEnd = (piece.size() >= EndMarkerWindow ? piece : m_baEnd + piece).right(EndMarkerWindow);
    m_nReceived += count;
    if (m_nReceived < m_nTotal)
        return Partial;
    if (!looksLikePdf(m_baHead, m_baEnd)) {
        qDebug() << "downloaded bytes are no PDF file, not saved" << m_file->fileName();
        cancel();
        return NotABook;
    }
    const bool saved = m_file->commit();
    if (!saved)
        qDebug() << "book not saved" << m_file->fileName() << m_file->errorString();
    m_file.reset();
    return saved ? Complete : Failed;
}

bool BookDownload::looksLikePdf(const QByteArray &head, const QByteArray &end)
{
    return head.startsWith(kStart) && end.right(EndMarkerWindow).contains(kEndMarker);
}

void BookDownload::cancel()
{
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
}
