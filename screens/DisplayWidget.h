#ifndef DISPLAYWIDGET_H
#define DISPLAYWIDGET_H

#include "pdf/BookPage.h"
#include "screens/KeptPageMessages.h"
#include "screens/WaitingDialog.h"

#include <QList>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>

class EBookItemDelegate;
class OpenBookThread;
class PageView;
class QLabel;
class QListWidget;

// The e-book screen: the thumbnails of the open book beside one page canvas. Books open on
// a book-opening thread while a waiting indicator shows; the screen follows the teacher's
// page, strokes, clearing and rotation. The thumbnail row always names the page the canvas
// shows, and every row that comes from outside is checked against the thumbnail count. While a
// book opens, the teacher's messages for its pages still to come are kept and applied when
// their pages come in, and the screen follows the teacher there.
class DisplayWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int LineRepaintDelay = 500;
    static constexpr int RotateDelay = 200;
    static constexpr int RotateHideDelay = 1000;
    // Longest wait for the opening threads when the screen goes away.
    static constexpr int StopWaitMs = 16;
    // How long the notice of a teacher's page past the book stays up.
    static constexpr int PageNoticeMs = 6000;
    // Kept teacher messages applied at once: at most so many, for at most so long (each new
    // item costs its first paint as well).
    static constexpr int KeptSliceMessages = 16;
    static constexpr int KeptSliceMs = 8;

    explicit DisplayWidget(QWidget *parent = nullptr);
    // Stops every opening thread, waiting for them at most StopWaitMs.
    ~DisplayWidget() override;

    void shareLines();
    // False when no page is shown or the export failed; the pages written blank go to
    // blankPages.
    bool saveAsPdf(QList<int> *blankPages = nullptr);
    void sendPreview();
    void rotatePage(int row);
    void clearPages();
    void appendThumbnail(const QPixmap &pixmap);
    void clearThumbnails();
    void clearPage(int row);
    Q_INVOKABLE void stopOpening();
    void attachToolScene();
    // True when that page was selected. A page past the book's end shows the page notice; a
    // page still to come is gone to when it comes, and the teacher is told then.
    bool setCurrentPage(int page);
    void lineUpdatePage(int page, const QString &itemText);
    void showShareVote(const QStringList &fields);
    // Opens the teacher's book from the local book folder; should it not open, it is removed
    // and fetched again, as a downloaded book is.
    void openTeacherBook(const QString &path);

    int currentPage() const;
    int pageCount() const;
    PageView *pageView() const { return m_PageView; }
    QListWidget *thumbnailList() const { return m_ListWidget; }
    EBookItemDelegate *delegate() const { return m_Delegate; }
    WaitingDialog *waitingDialog() { return &m_WaitingDlg; }
    bool isOpening() const { return m_OpenThread != nullptr; }
    QString lastBook() const { return m_strLastBook; }
    QString pendingBook() const { return m_strPendingBook; }
    QString currentBook() const { return m_strCurrPath; }
    // The box telling that a book did not open, while it is open.
    QMessageBox *failBox() const { return m_FailBox; }
    // A book that did not open is being fetched again.
    bool isFetchingAgain() const { return m_bRetrying; }
    // Tells that the teacher is on a page the book shown does not have.
    QLabel *pageNotice() const { return m_PageNotice; }
    // The teacher's messages kept for pages still to come.
    int keptMessages() const { return m_kept.count(); }

signals:
    void jumpEBook();
    void hideWaitting();

public slots:
    void onLineUpdatePage();
    void onStartRotate();
    void onOpenFail();
    void onUpdateThunmbianl();
    void onClearPage();
    void onAddPage(QPixmap pixmap);
    void onOpenComplete(QString path);
    void onOpeneBook(QString path);
    void onHideWaitting();
    void onAddBookPage(BookPage page);
    void onDownloadComplete(QString path);

private slots:
    void onDownloadResult(bool ok);
    // Applies the kept messages of the pages that are in, a slice at a time, then follows the
    // teacher's page once it is in and has nothing left to apply.
    void onApplyKept();

private:
    bool validRow(int row) const;
    // A row from outside: valid, or refused with a debug line naming the caller.
    bool acceptRow(int row, const char *caller) const;
    // The teacher's page: valid, or refused; a page past the end of a book that is open is
    // told on screen.
    bool acceptTeacherPage(int page, const char *caller);
    void showPageNotice(int page);
    // Selects the row and shows its page on the canvas.
    void showRow(int row);
    void repaintRow(int row);
    // Shows the row; the page left keeps what it shows now in its thumbnail.
    void leaveFor(int row);
    void applyLine(int page, const QString &itemText);
    void applyClear(int row);
    void applyRotate(int row);
    void applyVote(const QStringList &fields);
    // A page of the book opening that is not in yet, or that is in with kept messages not yet
    // applied (so that each page's messages stay in order).
    bool stillToCome(int page) const;
    // True when the message is for a page still to come: it is kept (unless past the bound)
    // and that page becomes the teacher's.
    bool keepForLater(int page, const KeptPageMessages::Message &message);
    // A message for a page that is in goes to it now: no page to come is followed, and the
    // kept messages being applied end on this page.
    void teacherOnPageIn(int page);
    void forgetKept();
    void applyKept(int page, const KeptPageMessages::Message &message);
    void pageCameIn(int row);
    // The whole book is in (whole) or its opening stopped: what is kept for pages it does not
    // have is forgotten; a teacher's page past the end of the whole book is told on screen.
    void settleKept(bool whole);
    void raiseWaiting();
    // Shows the indicator in the middle of the main window.
    void showWaiting();
    void primeFirstPage(const BookPage &page);
    // fetchable: the book came from the server, or is the teacher's.
    void openBook(const QString &path, bool fetchable);
    void startOpening(const QString &path, const QStringList &oldFiles);
    // The book the link would fetch again on a retry, inside the local book folder.
    static bool canFetchAgain(const QString &path);
    void showFailBox();
    // Size and modification time: a book written again under the same name opens again.
    static QString fileStamp(const QString &path);

    int m_nRotateRow = -1;
    QListWidget *m_ListWidget;
    EBookItemDelegate *m_Delegate;
    PageView *m_PageView;
    OpenBookThread *m_OpenThread = nullptr;
    QString m_strLastBook;
    QString m_strPendingBook;
    QString m_strCurrPath;
    WaitingDialog m_WaitingDlg;

    QString m_strBookStamp; // file stamp of the current book when its open started
    QList<int> m_listRotateRows;
    QTimer m_lineTimer;
    QTimer m_hideTimer;
    QLabel *m_PageNotice;
    QTimer m_noticeTimer;
    QPointer<QMessageBox> m_FailBox;
    bool m_bCurrFetchable = false;    // the book opening may be removed and fetched again
    bool m_bPendingFetchable = false; // the same for the pending book
    bool m_bRetrying = false;         // a retry download runs for a book that did not open
    KeptPageMessages m_kept;
    QTimer m_keptTimer;
    // While kept messages are being applied: the page to show once they are.
    std::optional<int> m_keptReturn;
};

#endif // DISPLAYWIDGET_H
