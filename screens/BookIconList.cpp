#include "screens/BookIconList.h"

BookIconList::BookIconList(QWidget *parent) : QListWidget(parent)
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setGridSize(QSize(150, 120));
    setIconSize(QSize(70, 70));
    // Long names take two lines and lose their middle, not their ending.
    setWordWrap(true);
    setTextElideMode(Qt::ElideMiddle);
}

QListWidgetItem *BookIconList::addBook(const QString &name, const QIcon &icon)
{
    auto *item = new QListWidgetItem(icon, name);
    item->setToolTip(name);
    addItem(item);
    return item;
}
