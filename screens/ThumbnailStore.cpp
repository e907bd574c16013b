#include "screens/ThumbnailStore.h"

#include "pdf/PackedThumbnail.h"

namespace {
// Unpacked thumbnails kept, in KB: some sixty cells, several screens of the list.
constexpr int kUnpackedKb = 8 * 1024;
} // namespace

ThumbnailStore::ThumbnailStore() : m_unpacked(kUnpackedKb) {}

void ThumbnailStore::clear()
{
    m_packed.clear();
    m_packed.squeeze();
    m_unpacked.clear();
}

void ThumbnailStore::append(const QPixmap &pixmap)
{
    m_packed.append(PackedThumbnail::pack(pixmap.toImage()));
    keepUnpacked(m_packed.size() - 1, pixmap);
}

void ThumbnailStore::appendPacked(const QByteArray &packed)
{
    m_packed.append(packed);
}

void ThumbnailStore::replace(int row, const QPixmap &pixmap)
{
    if (!validRow(row))
        return;
    m_packed[row] = PackedThumbnail::pack(pixmap.toImage());
    m_unpacked.remove(row);
    keepUnpacked(row, pixmap);
}

QPixmap ThumbnailStore::pixmap(int row) const
{
    if (!validRow(row))
        return QPixmap();
    if (const QPixmap *kept = m_unpacked.object(row))
        return *kept;
    const QPixmap pixmap = QPixmap::fromImage(PackedThumbnail::unpack(m_packed.at(row)));
    keepUnpacked(row, pixmap);
    return pixmap;
}

qint64 ThumbnailStore::packedBytes() const
{
    qint64 bytes = 0;
    for (const QByteArray &packed : m_packed)
        bytes += packed.size();
    return bytes;
}

void ThumbnailStore::keepUnpacked(int row, const QPixmap &pixmap) const
{
    if (pixmap.isNull())
        return;
    const int kb = int(qMax<qint64>(1, qint64(pixmap.width()) * pixmap.height() * 4 / 1024));
    m_unpacked.insert(row, new QPixmap(pixmap), kb);
}
