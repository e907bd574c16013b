#ifndef BOOKICONLIST_H
#define BOOKICONLIST_H

#include <QListWidget>

// The grid of book icons of the book list screens.
class BookIconList : public QListWidget
{
    Q_OBJECT
public:
    explicit BookIconList(QWidget *parent = nullptr);

    // A new item at the end: the name as text and tool tip, with the icon.
    QListWidgetItem *addBook(const QString &name, const QIcon &icon);
};

#endif // BOOKICONLIST_H
