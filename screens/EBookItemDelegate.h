#ifndef EBOOKITEMDELEGATE_H
#define EBOOKITEMDELEGATE_H

#include <QAbstractItemDelegate>
#include <QFont>
#include <QPixmap>
#include <QVector>

class DisplayPage;

// Paints the thumbnail cells of a page list and keeps one thumbnail per row.
// Rows outside the store are never read or written.
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
    // Renders what the scene shows now into the thumbnail of that row.
    void refresh(int row);
    // Appends the pixmap scaled to fit a cell, keeping its aspect ratio.
    void addPixmap(const QPixmap &pixmap);
    void addBlank();

    int count() const { return m_thumbnails.size(); }
    bool validRow(int row) const { return row >= 0 && row < m_thumbnails.size(); }
    const QPixmap &thumbnail(int row) const { return m_thumbnails.at(row); }

    DisplayPage *m_scene = nullptr;

private:
    int m_nCellWidth = CellWidth;
    int m_nCellHeight = CellHeight;
    QVector<QPixmap> m_thumbnails;
};

#endif // EBOOKITEMDELEGATE_H
