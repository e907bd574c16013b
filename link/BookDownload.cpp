#include "link/BookDownload.h"

#include <QDebug>
#include <QSaveFile>

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
    return true;
}

BookDownload::Step BookDownload::write(const QByteArray &data, qint64 *used)
{
    *used = qMin<qint64>(data.size(), m_nTotal - m_nReceived);
    if (!m_file || m_file->write(data.constData(), *used) != *used) {
        cancel();
        return Failed;
    }
    m_nReceived += *used;
    if (m_nReceived < m_nTotal)
        return Partial;
    const bool saved = m_file->commit();
    if (!saved)
        qDebug() << "book not saved" << m_file->fileName() << m_file->errorString();
    m_file.reset();
    return saved ? Complete : Failed;
}

void BookDownload::cancel()
{
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
}
