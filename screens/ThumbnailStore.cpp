#include "screens/ThumbnailStore.h"

#include "pdf/PackedThumbnail.h"

namespace {
// Unpacked thumbnails kept, in KB: some seventy cells, several screens of the list.
constexpr int kUnpackedKb = 8 * 1024;

qint64 pixmapBytes(const QPixmap &pixmap)
{
    return qint64(pixmap.width()) * pixmap.height() * pixmap.depth() / 8;
}
} // namespace

ThumbnailStore::ThumbnailStore() : m_unpacked(kUnpackedKb) {}

void ThumbnailStore::clear()
{
    m_packed.clear();
    m_packed.squeeze();
    m_drawn.clear();
    m_listDrawnRows.clear();
    m_unpacked.clear();
}

void ThumbnailStore::append(const QPixmap &pixmap)
{
    m_packed.append(QByteArray());
    keepDrawn(m_packed.size() - 1, pixmap);
}

void ThumbnailStore::appendPacked(const QByteArray &packed)
{
    m_packed.append(packed);
}

void ThumbnailStore::replace(int row, const QPixmap &pixmap)
{
    if (!validRow(row))
        return;
    m_packed[row].clear();
    m_unpacked.remove(row);
    keepDrawn(row, pixmap);
}

void ThumbnailStore::keepDrawn(int row, const QPixmap &pixmap)
{
    m_listDrawnRows.removeOne(row);
    m_drawn.remove(row);
    if (pixmap.isNull())
        return;
    m_drawn.insert(row, pixmap);
    m_listDrawnRows.append(row);
    if (m_listDrawnRows.size() > kMaxDrawn) {
        const int oldest = m_listDrawnRows.takeFirst();
        m_packed[oldest] = PackedThumbnail::pack(m_drawn.take(oldest).toImage());
    }
}

QPixmap ThumbnailStore::pixmap(int row) const
{
    if (!validRow(row))
        return QPixmap();
    const auto drawn = m_drawn.constFind(row);
    if (drawn != m_drawn.constEnd())
        return drawn.value();
    if (const QPixmap *kept = m_unpacked.object(row))
        return *kept;
    const QPixmap pixmap = QPixmap::fromImage(PackedThumbnail::unpack(m_packed.at(row)));
    if (!pixmap.isNull())
        m_unpacked.insert(row, new QPixmap(pixmap),
                          int(qMax<qint64>(1, pixmapBytes(pixmap) / 1024)));
    return pixmap;
}

qint64 ThumbnailStore::heldBytes() const
{
    qint64 bytes = 0;
    for (const QByteArray &packed : m_packed)
        bytes += packed.size();
    for (const QPixmap &pixmap : m_drawn)
        bytes += pixmapBytes(pixmap);
    return bytes;
}
