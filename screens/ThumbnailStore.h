#ifndef THUMBNAILSTORE_H
#define THUMBNAILSTORE_H

#include <QByteArray>
#include <QCache>
#include <QPixmap>
#include <QVector>

// The thumbnails of a page list, one per row. They are kept packed (PackedThumbnail), so
// that a book of ten thousand pages holds all of its thumbnails in about a hundred MB; the
// rows shown lately are kept unpacked beside them, so painting the list unpacks only the
// rows that scroll into view.
class ThumbnailStore
{
public:
    ThumbnailStore();

    int count() const { return m_packed.size(); }
    bool validRow(int row) const { return row >= 0 && row < m_packed.size(); }
    void clear();
    // A null pixmap is a row without a thumbnail.
    void append(const QPixmap &pixmap);
    void appendPacked(const QByteArray &packed);
    void replace(int row, const QPixmap &pixmap);
    // Null for a row outside the store or without a thumbnail.
    QPixmap pixmap(int row) const;
    // Bytes the packed thumbnails take.
    qint64 packedBytes() const;

private:
    void keepUnpacked(int row, const QPixmap &pixmap) const;

    QVector<QByteArray> m_packed;
    mutable QCache<int, QPixmap> m_unpacked; // cost in KB
};

#endif // THUMBNAILSTORE_H
