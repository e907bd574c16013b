#ifndef LOCALBOOKSWIDGET_H
#define LOCALBOOKSWIDGET_H

#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class BookIconList;
class QListWidget;
class QListWidgetItem;
class ToolbarButton;

// The local books screen: the PDF books of the local book folder, opened in the e-book
// screen or deleted.
class LocalBooksWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LocalBooksWidget(QWidget *parent = nullptr);
    ~LocalBooksWidget() override;

    QListWidget *bookList() const;
    ToolbarButton *openButton() const { return m_btnOpen; }
    ToolbarButton *deleteButton() const { return m_btnDelete; }
    // The box telling that a delete failed, while it is open.
    QMessageBox *failBox() const { return m_FailBox; }

signals:
    void jumpEBook();

public slots:
    void LoadBooks();
    void onItemDBClicked(QListWidgetItem *item);
    void onBtnDelete();
    void onBtnOpen();

private:
    BookIconList *m_BookList;
    QIcon m_Icon;
    ToolbarButton *m_btnOpen;
    ToolbarButton *m_btnDelete;
    QPointer<QMessageBox> m_FailBox;
};

#endif // LOCALBOOKSWIDGET_H
