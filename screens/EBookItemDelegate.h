#ifndef EBOOKITEMDELEGATE_H
#define EBOOKITEMDELEGATE_H

#include "pages/PageThumbnail.h"
#include "screens/ThumbnailStore.h"

#include <QAbstractItemDelegate>
#include <QByteArray>
#include <QFont>
#include <QPixmap>

class DisplayPage;

// Paints the thumbnail cells of a page list and keeps one thumbnail per row (in a
// ThumbnailStore). Rows outside the store are never read or written.
class EBookItemDelegate : public QAbstractItemDelegate
{
public:
    static constexpr int CellWidth = 150;
    static constexpr int CellHeight = 200;

    EBookItemDelegate();
    ~EBookItemDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The font of the page numbers.
    static QFont numberFont();

    void clear();
    // Renders what the scene shows now into the thumbnail of that row; over the one drawn last
    // when the scene only gained items on top since (PageThumbnail).
    void refresh(int row);
    // Draws the page the scene shows for that row's next refresh, leaving its thumbnail as it
    // is: the refreshes after strokes then draw only those.
    void prepare(int row);
    // Appends the pixmap scaled to fit a cell, keeping its aspect ratio.
    void addPixmap(const QPixmap &pixmap);
    // Appends a thumbnail already fitted to a cell and packed (PackedThumbnail).
    void addPacked(const QByteArray &packed);
    void addBlank();

    int count() const { return m_store.count(); }
    bool validRow(int row) const { return m_store.validRow(row); }
    QPixmap thumbnail(int row) const { return m_store.pixmap(row); }
    const ThumbnailStore &store() const { return m_store; }

    DisplayPage *m_scene = nullptr;

private:
    int m_nCellWidth = CellWidth;
    int m_nCellHeight = CellHeight;
    ThumbnailStore m_store;
    PageThumbnail m_drawing;
};

#endif // EBOOKITEMDELEGATE_H
