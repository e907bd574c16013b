#ifndef THUMBNAILSTORE_H
#define THUMBNAILSTORE_H

#include <QByteArray>
#include <QCache>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QVector>

// The thumbnails of a page list, one per row. Those made with the book are kept packed
// (PackedThumbnail, made off the GUI thread), so that a book of ten thousand pages holds all
// of its thumbnails in a few hundred MB at most; the rows shown lately are kept unpacked
// beside them, so painting the list unpacks only the rows that scroll into view. Thumbnails
// drawn here (the pages written on) stay unpacked, the last kMaxDrawn of them: they are
// packed only when more are drawn.
class ThumbnailStore
{
public:
    static constexpr int kMaxDrawn = 64;

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
    // Bytes the thumbnails take, packed or drawn.
    qint64 heldBytes() const;

private:
    void keepDrawn(int row, const QPixmap &pixmap);

    QVector<QByteArray> m_packed;
    QHash<int, QPixmap> m_drawn;
    QList<int> m_listDrawnRows;              // oldest first
    mutable QCache<int, QPixmap> m_unpacked; // of packed rows; cost in KB
};

#endif // THUMBNAILSTORE_H
