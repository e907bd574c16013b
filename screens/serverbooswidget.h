#ifndef SERVERBOOSWIDGET_H
#define SERVERBOOSWIDGET_H

#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class BookIconList;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class ToolbarButton;

// The server books screen: the books the class server offers, downloaded into the local
// book folder with a progress bar.
class serverbooswidget : public QWidget
{
    Q_OBJECT
public:
    // Item data holding the book's server path.
    static constexpr int ServerPathRole = Qt::UserRole + 1;

    explicit serverbooswidget(QWidget *parent = nullptr);
    ~serverbooswidget() override;

    // Clears the list and asks the server for its books.
    void queryBooks();
    void addBookItem(const QString &name, const QString &folder);

    QListWidget *bookList() const;
    QProgressBar *progressBar() const { return m_ProgressBar; }
    ToolbarButton *downloadButton() const { return m_btnDownload; }
    // The box telling that a download failed, while it is open.
    QMessageBox *failBox() const { return m_FailBox; }

public slots:
    void onQueryBookResult(QString reply);
    void onDownloadResult(bool ok);
    void onBtnDownload();
    void onDownloadPdfProgress(int total, int received);
    void onItemDbClicked(QListWidgetItem *item);

private:
    BookIconList *m_BookList;
    QIcon m_Icon;
    ToolbarButton *m_btnDownload;
    QProgressBar *m_ProgressBar;
    QPointer<QMessageBox> m_FailBox;
};

#endif // SERVERBOOSWIDGET_H
