#include "screens/ENoteWidget.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherCommand.h"
#include "link/TeacherFileThread.h"
#include "pages/HSPage.h"
#include "pages/PageView.h"
#include "pages/TaskToolManager.h"
#include "pdf/PageImageLimit.h"
#include "screens/EBookItemDelegate.h"
#include "screens/PageListWidget.h"
#include "screens/ScreenPointers.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>

namespace {
// Blank pages the teacher announces without a size.
const int kBlankWidth = 1280;
const int kBlankHeight = 800;
const QSize kThumbnailBox(150, 100);

QPixmap whiteThumbnail(const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    return pixmap;
}

// The page-image channel, made on first use by the protocol client.
TeacherFileThread *channel()
{
    return TcpManager::instance()->teacherFileThread();
}

} // namespace

ENoteWidget::ENoteWidget(QWidget *parent) : QWidget(parent)
{
    m_bLineSyncing = false;
    m_bFileSyncing = false;
    ScreenPointers::setENoteWidget(this);

    auto *layout = new QHBoxLayout;
    m_listwidget = new PageListWidget;
    m_delegate = new EBookItemDelegate;
    m_delegate->setParent(m_listwidget); // goes with the list that paints through it
    m_listwidget->setItemDelegate(m_delegate);
    m_PageView = new PageView(true);
    m_delegate->m_scene = m_PageView->pageScene();
    layout->addWidget(m_listwidget);
    layout->addWidget(m_PageView);
    layout->setContentsMargins(0, 0, 0, 0); // every pixel for the page on small screens
    setLayout(layout);

    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(SyncTimeout);
    m_lineTimer.setSingleShot(true);
    m_lineTimer.setInterval(LineRepaintDelay);

    connect(m_PageView, SIGNAL(updateThunmbianl()), this, SLOT(onUpdateThunmbianl()));
    // The page shown afresh is drawn for its thumbnail now, so a stroke's lift draws only it.
    connect(m_PageView, &PageView::pageShownAfresh, this, [this] {
        if (validRow(m_PageView->currentIndex()))
            m_delegate->prepare(m_PageView->currentIndex());
    });
    connect(m_listwidget, SIGNAL(currentRowChanged(int)), this, SLOT(onSetCurrPage(int)));
    connect(m_listwidget, SIGNAL(clicked(QModelIndex)), this, SLOT(onRowClicked(QModelIndex)));
    connect(&m_syncTimer, SIGNAL(timeout()), this, SLOT(onSyncTimeout()));
    connect(&m_lineTimer, SIGNAL(timeout()), this, SLOT(onLineUpdatePage()));

    TcpManager *tcp = TcpManager::instance();
    TeacherFileThread *images = channel();
    connect(images, SIGNAL(replacepage(int, int, int, bool)), this,
            SLOT(onReplacepage(int, int, int, bool)));
    connect(images, SIGNAL(FileSyncComplete()), this, SLOT(onBackgroundSyncEnd()));
    connect(images, SIGNAL(fileDataReceived(qint64, qint64)), this, SLOT(onImageData()));
    connect(images, &TeacherFileThread::channelRestored, this, &ENoteWidget::onChannelRestored);
    connect(tcp->teacherSocket(), SIGNAL(disconnected()), this, SLOT(onTeacherDropped()));
    tcp->setENoteClearPages([] {
        // Back with the same teacher after a dropped link, the pages stay with the student's
        // ink on them: the page count answer and the re-sync of each page bring them up to date.
        if (Settings::instance()->m_bReconnecting)
            return;
        if (auto *screen = qobject_cast<ENoteWidget *>(ScreenPointers::eNoteWidget()))
            screen->clearPages();
    });
}

ENoteWidget::~ENoteWidget()
{
    m_delegate->m_scene = nullptr;
}

QString ENoteWidget::pageImagePath(int page)
{
    return Settings::instance()->tempNotesDir() +
           QStringLiteral("enote_%1.png").arg(qint64(page) + 1);
}

bool ENoteWidget::validRow(int row) const
{
    return row >= 0 && row < m_listwidget->count() && row < m_delegate->count();
}

int ENoteWidget::currentPage() const
{
    return m_listwidget->currentRow();
}

int ENoteWidget::pageCount() const
{
    return m_listwidget->count();
}

bool ENoteWidget::saveAsPdf(QList<int> *blankPages)
{
    if (m_PageView->currentIndex() < 0) {
        qDebug() << "ENoteWidget::saveAsPdf: no page shown";
        return false;
    }
    return m_PageView->saveAsPdf(blankPages);
}

void ENoteWidget::sendPreview()
{
    qDebug() << "ENoteWidget::sendPreview()";
    m_PageView->sendPreview();
}

void ENoteWidget::shareLines()
{
    m_PageView->shareLines();
}

void ENoteWidget::clearPages()
{
    abandonSync("ends: pages cleared");
    m_listWaiting.clear();
    m_nGivenUpPage = -1;
    m_nLinePage = -1;
    m_teacherItems.clear();
    m_PageView->clearPages();
    m_delegate->clear();
    m_listwidget->clear();
}

void ENoteWidget::resetPagesInit()
{
    abandonSync("ends: pages reset");
    m_listWaiting.clear();
    m_nGivenUpPage = -1;
    m_PageView->resetPagesInit();
}

void ENoteWidget::appendThumbnail(const QPixmap &pixmap)
{
    m_listwidget->addItem(new QListWidgetItem(nullptr, QListWidgetItem::Type));
    m_delegate->addPixmap(pixmap);
}

void ENoteWidget::attachToolScene()
{
    TaskToolManager::instance()->setScene(m_PageView->pageScene());
}

void ENoteWidget::setCurrentPage(int row)
{
    if (!validRow(row)) {
        qDebug() << "ENoteWidget::setCurrentPage: no page" << row;
        return;
    }
    // Selecting the current row again asks again for a page that is still not up to date.
    if (row == m_listwidget->currentRow())
        onSetCurrPage(row);
    else
        m_listwidget->setCurrentRow(row);
}

void ENoteWidget::lineUpdatePage(int page, const QString &itemText)
{
    if (!validRow(page)) {
        qDebug() << "ENoteWidget::lineUpdatePage: no page" << page;
        return;
    }
    leavePageFor(page);
    // Known by what the page stores for it, which may be written otherwise than it came.
    m_teacherItems.add(page, m_PageView->procLineData(page, itemText));
    m_listwidget->setCurrentRow(page);
    if (m_bLineSyncing && page == m_nSyncPage) {
        m_syncTimer.start(); // strokes still coming: the sync is alive
        return;              // its thumbnail is drawn once, when the sync finishes
    }
    // Drawn once for a burst: by the canvas's thumbnail signal, when the canvas leaves the
    // page, or when the timer fires, whichever comes first.
    m_nLinePage = page;
    if (!m_lineTimer.isActive())
        m_lineTimer.start();
}

void ENoteWidget::onLineUpdatePage()
{
    takeLineThumbnail();
    // Every row a burst of strokes touched, not only the current one.
    m_listwidget->viewport()->update();
}

// The thumbnail store renders what the canvas shows: a page with teacher strokes not yet in
// its thumbnail is drawn before the canvas shows another page.
void ENoteWidget::leavePageFor(int page)
{
    if (page != m_PageView->currentIndex())
        takeLineThumbnail();
}

void ENoteWidget::takeLineThumbnail()
{
    const int page = m_nLinePage;
    m_nLinePage = -1;
    // The list is repainted by the line timer, still running while a page is noted.
    if (page >= 0 && page == m_PageView->currentIndex() && validRow(page))
        m_delegate->refresh(page);
}

void ENoteWidget::moveItem(int page, const QString &itemId, const QString &pos)
{
    if (!validRow(page)) {
        qDebug() << "ENoteWidget::moveItem: no page" << page;
        return;
    }
    leavePageFor(page);
    m_PageView->moveItem(page, itemId, pos);
    m_listwidget->setCurrentRow(page);
}

void ENoteWidget::clearPage(int row)
{
    if (!validRow(row)) {
        qDebug() << "ENoteWidget::clearPage: no page" << row;
        return;
    }
    // The page named is the one cleared, whichever page was shown.
    if (row != m_PageView->currentIndex())
        m_listwidget->setCurrentRow(row);
    if (row != m_PageView->currentIndex())
        return;
    m_PageView->clearCurrentPage(false);
    m_teacherItems.forgetPage(row);
    refreshShownThumbnail();
}

void ENoteWidget::rotatePage(int)
{
    // E-note pages are not rotated.
}

void ENoteWidget::lineSyncEnd()
{
    if (!m_bLineSyncing) {
        qDebug() << "lineSyncEnd: no e-note sync running, ignored";
        return;
    }
    qDebug() << "m_bLineSyncing = false;";
    m_bLineSyncing = false;
    m_syncTimer.start(); // the image may still be coming
    finishENoteSync();
}

void ENoteWidget::showShareVote(const QStringList &fields)
{
    if (fields.size() == 8)
        leavePageFor(fields.at(1).toInt());
    m_PageView->showShareVote(fields);
    followCanvas();
}

void ENoteWidget::addBlankPage()
{
    if (pageCount() >= TeacherCommand::MaxPageCount) {
        qDebug() << "ENoteWidget::addBlankPage: already" << pageCount() << "pages";
        return;
    }
    m_PageView->addBlankPage(kBlankWidth, kBlankHeight, false);
    appendThumbnail(whiteThumbnail(kThumbnailBox));
}

void ENoteWidget::addPage(int width, int height, bool withImage)
{
    if (!validPageSize(width, height) || pageCount() >= TeacherCommand::MaxPageCount) {
        qDebug() << "ENoteWidget::addPage: ignored, size" << width << height << "pages"
                 << pageCount();
        return;
    }
    // With an image: white until the image comes, and up to date only once it has.
    m_PageView->addBlankPage(width, height, !withImage);
    const QSize thumbnail = QSize(width, height).scaled(kThumbnailBox, Qt::KeepAspectRatio);
    appendThumbnail(whiteThumbnail(thumbnail.expandedTo(QSize(1, 1))));
    if (withImage)
        askPage(pageCount() - 1);
}

bool ENoteWidget::validPageSize(int width, int height)
{
    return width >= 1 && width <= TeacherCommand::MaxPageSide && height >= 1 &&
           height <= TeacherCommand::MaxPageSide;
}

bool ENoteWidget::matchPageCount(int count)
{
    if (count < 0 || count > TeacherCommand::MaxPageCount) {
        qDebug() << "teacher pagecount not valid, ignored:" << count;
        return false;
    }
    const int own = pageCount();
    qDebug() << "teacher pagecount=" << count << " my enote pagecount=" << own;
    if (count < own) {
        qDebug() << "delete all page and add page" << count;
        clearPages();
    }
    while (pageCount() < count)
        addBlankPage();
    return true;
}

void ENoteWidget::onUpdateThunmbianl()
{
    qDebug() << "m_listwidget->currentRow()=" << m_listwidget->currentRow();
    // Strokes of a page being synchronised are drawn once, when the sync finishes.
    if (m_bLineSyncing && m_PageView->currentIndex() == m_nSyncPage)
        return;
    refreshShownThumbnail();
}

// The thumbnail takes what the canvas shows, so it goes to the row of the page shown.
void ENoteWidget::refreshShownThumbnail()
{
    const int shown = m_PageView->currentIndex();
    if (!validRow(shown))
        return;
    if (shown == m_nLinePage)
        m_nLinePage = -1;
    m_delegate->refresh(shown);
    m_listwidget->viewport()->update();
}

void ENoteWidget::followCanvas()
{
    const int shown = m_PageView->currentIndex();
    if (validRow(shown) && shown != m_listwidget->currentRow())
        m_listwidget->setCurrentRow(shown);
}

void ENoteWidget::onSetCurrPage(int row)
{
    qDebug() << "ENoteWidget::onSetCurrPage " << row;
    if (!validRow(row))
        return;
    leavePageFor(row);
    m_PageView->onCurrentPageChanged(row);
    const bool upToDate = m_PageView->checkIsUpdate();
    qDebug() << "m_PageView->checkIsUpdate() =" << (upToDate ? "true" : "false");
    if (!upToDate)
        askPage(row);
}

void ENoteWidget::onRowClicked(const QModelIndex &index)
{
    const int row = index.row();
    if (row == m_PageView->currentIndex() && row != m_nSyncPage && !m_PageView->checkIsUpdate())
        askPage(row);
}

bool ENoteWidget::pageUpToDate(int page) const
{
    if (page == m_PageView->currentIndex())
        return m_PageView->checkIsUpdate();
    HSPage record;
    return m_PageView->document()->getPage(page, record) && record.m_bInit;
}

void ENoteWidget::askPage(int page)
{
    if (page == m_nSyncPage) {
        qDebug() << "queryENotePage: page" << page << "already asked";
        return;
    }
    if (m_nSyncPage >= 0) {
        if (!m_listWaiting.contains(page))
            m_listWaiting.append(page);
        qDebug() << "queryENotePage: page" << page << "waits for page" << m_nSyncPage;
        return;
    }
    m_nSyncPage = page;
    m_bSyncAnswered = false;
    m_syncTimer.start();
    qDebug() << "queryENotePage(3)" << page;
    TcpManager::instance()->queryENotePage(page);
}

// After a sync: the page shown first, when it still wants one, then the pages added meanwhile.
// The skipped page is not asked for; with skippedLast, a shown one is when no other page was.
void ENoteWidget::askWaiting(int skipPage, bool skippedLast)
{
    const int shown = m_PageView->currentIndex();
    const auto wanted = [this](int page) { return validRow(page) && !pageUpToDate(page); };
    if (shown != skipPage && wanted(shown))
        askPage(shown);
    while (m_nSyncPage < 0 && !m_listWaiting.isEmpty()) {
        const int page = m_listWaiting.takeFirst();
        if (page != skipPage && wanted(page))
            askPage(page);
    }
    if (skippedLast && m_nSyncPage < 0 && skipPage == shown && wanted(shown))
        askPage(shown);
}

void ENoteWidget::onReplacepage(int page, int width, int height, bool withImage)
{
    if (page != m_nSyncPage || m_bSyncAnswered) {
        qDebug() << "onReplacepage: page" << page << "was not asked for (asked" << m_nSyncPage
                 << "), ignored";
        channel()->skipImage();
        return;
    }
    // A page beyond the page image limit is kept, so the rows stay the teacher's, but its
    // picture could never be shown: the page stays unsynchronised.
    if (!validRow(page) || !validPageSize(width, height) ||
        (withImage && !PageImageLimit::fits(QSize(width, height)))) {
        qDebug() << "onReplacepage: page" << page << "size" << width << height << "not valid";
        channel()->skipImage();
        stopSync();
        askWaiting(page);
        return;
    }
    m_bSyncAnswered = true;
    m_bSyncWithImage = withImage;
    m_bLineSyncing = true;
    m_bFileSyncing = withImage;
    m_syncTimer.start();
    qDebug() << "onReplacepage readyENoteSync (4)";
    if (!withImage)
        QFile::remove(pageImagePath(page)); // never an old image under the new page
    leavePageFor(page);
    // The teacher sends all of its items again; the student's own stay on the page.
    m_PageView->resizePage(page, width, height, [this, page](const QString &itemText) {
        return !m_teacherItems.contains(page, itemText);
    });
    m_teacherItems.forgetPage(page);
    followCanvas();
    TcpManager::instance()->syncENote(page);
    if (withImage)
        TcpManager::instance()->readyENoteSync(page);
    else
        finishENoteSync();
}

void ENoteWidget::onBackgroundSyncEnd()
{
    if (!m_bFileSyncing) {
        qDebug() << "onBackgroundSyncEnd: no page image awaited, ignored";
        return;
    }
    m_bFileSyncing = false;
    finishENoteSync();
}

void ENoteWidget::finishENoteSync()
{
    if (m_nSyncPage < 0 || !m_bSyncAnswered || m_bLineSyncing || m_bFileSyncing)
        return;
    const int page = m_nSyncPage;
    const bool imageMissing = m_bSyncWithImage && !QFile::exists(pageImagePath(page));
    stopSync();
    if (!validRow(page))
        return;
    // The page asked for is finished, even when another one is shown by now.
    const int shown = m_PageView->currentIndex();
    leavePageFor(page);
    if (shown != page)
        m_PageView->onCurrentPageChanged(page);
    if (imageMissing)
        qDebug() << "enote page" << page << "image not saved, page left unsynchronised";
    else if (!m_PageView->setSyncFinish())
        qDebug() << "enote page" << page << "image not taken, page left unsynchronised";
    m_delegate->refresh(page);
    if (shown != page)
        m_PageView->onCurrentPageChanged(shown);
    m_listwidget->viewport()->update();
    qDebug() << "enote sync finish (5)";
    askWaiting(page);
}

void ENoteWidget::stopSync()
{
    m_syncTimer.stop();
    m_nSyncPage = -1;
    m_bSyncAnswered = false;
    m_bSyncWithImage = false;
    m_bLineSyncing = false;
    m_bFileSyncing = false;
}

// What the channel still owes the sync under way: its answer, or its image.
bool ENoteWidget::channelOwesSync() const
{
    return m_nSyncPage >= 0 && (!m_bSyncAnswered || m_bFileSyncing);
}

// True when the channel is made again for it: its channelRestored follows.
bool ENoteWidget::abandonSync(const char *reason)
{
    if (m_nSyncPage < 0)
        return false;
    qDebug() << "enote sync of page" << m_nSyncPage << reason;
    // An answer or image bytes still owed would come out of step with the next request.
    const bool owed = channelOwesSync();
    stopSync();
    return owed && channel()->reconnect();
}

void ENoteWidget::onSyncTimeout()
{
    const int page = m_nSyncPage;
    // Once the channel is back, the page is asked for again after the pages waiting: a page
    // that never comes holds up no other.
    if (abandonSync("had no end in time, page left unsynchronised"))
        m_nGivenUpPage = page;
    else
        askWaiting(page);
}

// The channel is back after a drop: a sync that waited on it has lost its answer or image, so
// it ends, and the page shown is asked for again, then the pages waiting.
void ENoteWidget::onChannelRestored()
{
    const int givenUp = m_nGivenUpPage;
    m_nGivenUpPage = -1;
    if (m_nSyncPage >= 0) {
        if (!channelOwesSync())
            return; // only its strokes are still coming, over the teacher connection
        const int page = m_nSyncPage;
        qDebug() << "enote sync of page" << page << "lost with the page-image connection";
        stopSync();
        if (page != m_PageView->currentIndex() && !m_listWaiting.contains(page))
            m_listWaiting.prepend(page);
    }
    if (TcpManager::instance()->m_bTeacherConnected)
        askWaiting(givenUp, true);
}

// An image arriving slowly keeps its sync alive; only a stall ends it.
void ENoteWidget::onImageData()
{
    if (m_nSyncPage >= 0 && m_bFileSyncing)
        m_syncTimer.start();
}

void ENoteWidget::onTeacherDropped()
{
    abandonSync("ends: teacher connection lost");
    m_listWaiting.clear();
}
