#ifndef ENOTEWIDGET_H
#define ENOTEWIDGET_H

#include "pages/TeacherItems.h"

#include <QList>
#include <QModelIndex>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class EBookItemDelegate;
class PageListWidget;
class PageView;

// The e-note screen: the teacher's note pages as a thumbnail list beside one page canvas.
// Selecting a page that is not up to date asks the teacher for it; the page is finished once
// both its strokes (ended by the line-sync end) and its background image have arrived.
// One page is synchronised at a time; pages wanting a sync meanwhile are asked for after it.
class ENoteWidget : public QWidget
{
    Q_OBJECT
public:
    // A sync with no progress (answer, stroke, image data, line-sync end) for this long
    // leaves the page unsynchronised.
    static constexpr int SyncTimeout = 10000;
    // A teacher stroke shows in the thumbnail list at most this long after it came.
    static constexpr int LineRepaintDelay = 500;

    explicit ENoteWidget(QWidget *parent = nullptr);
    ~ENoteWidget() override;

    // True when the PDF file was written; the pages written blank go to blankPages.
    bool saveAsPdf(QList<int> *blankPages = nullptr);
    void sendPreview();
    void shareLines();
    void clearPages();
    void resetPagesInit();
    void appendThumbnail(const QPixmap &pixmap);
    void attachToolScene();
    void setCurrentPage(int row);
    void lineUpdatePage(int page, const QString &itemText);
    void moveItem(int page, const QString &itemId, const QString &pos);
    void clearPage(int row);
    void rotatePage(int row);
    void lineSyncEnd();
    void showShareVote(const QStringList &fields);
    void addBlankPage();
    void addPage(int width, int height, bool withImage);
    // Makes the page count the teacher's; false when the count is out of range.
    bool matchPageCount(int count);
    static bool validPageSize(int width, int height);

    int currentPage() const;
    int pageCount() const;
    PageView *pageView() const { return m_PageView; }
    PageListWidget *pageList() const { return m_listwidget; }
    EBookItemDelegate *thumbnails() const { return m_delegate; }
    // The page being synchronised (asked for or arriving), -1 when none.
    int syncPage() const { return m_nSyncPage; }
    void setSyncTimeout(int ms) { m_syncTimer.setInterval(ms); }

    // Where the page-image channel saves the background of a page.
    static QString pageImagePath(int page);

public slots:
    void onLineUpdatePage();
    void onReplacepage(int page, int width, int height, bool withImage);
    void onBackgroundSyncEnd();
    void onSetCurrPage(int row);
    void onUpdateThunmbianl();

private slots:
    void onRowClicked(const QModelIndex &index);
    void onSyncTimeout();
    void onChannelRestored();
    void onImageData();
    void onTeacherDropped();

private:
    bool validRow(int row) const;
    bool pageUpToDate(int page) const;
    void askPage(int page);
    void askWaiting(int skipPage, bool skippedLast = false);
    void finishENoteSync();
    void stopSync();
    bool channelOwesSync() const;
    bool abandonSync(const char *reason);
    void followCanvas();
    void refreshShownThumbnail();
    void leavePageFor(int page);
    void takeLineThumbnail();

    PageListWidget *m_listwidget = nullptr;
    EBookItemDelegate *m_delegate = nullptr;
    PageView *m_PageView = nullptr;
    bool m_bLineSyncing = false;
    bool m_bFileSyncing = false;

    int m_nSyncPage = -1;         // page asked for; its answer is the only one taken
    bool m_bSyncAnswered = false; // its header has arrived
    bool m_bSyncWithImage = false;
    QList<int> m_listWaiting; // added pages to ask for once the running sync ends
    int m_nGivenUpPage = -1;  // its sync had no end in time: asked for again after the others
    QTimer m_syncTimer;
    QTimer m_lineTimer;
    int m_nLinePage = -1; // page with teacher strokes not yet in its thumbnail
    TeacherItems m_teacherItems;
};

#endif // ENOTEWIDGET_H
