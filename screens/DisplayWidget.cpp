#include "screens/DisplayWidget.h"

#include "link/BookName.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/DisplayPage.h"
#include "pages/HSPage.h"
#include "pages/PageView.h"
#include "pages/TaskToolManager.h"
#include "pdf/OpenBookThread.h"
#include "screens/BookPageWriter.h"
#include "screens/EBookItemDelegate.h"
#include "screens/LocalBooksWidget.h"
#include "screens/NoticeBox.h"
#include "screens/ScreenPointers.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>

DisplayWidget::DisplayWidget(QWidget *parent) : QWidget(parent)
{
    ScreenPointers::setDisplayWidget(this);
    auto *layout = new QHBoxLayout;
    m_ListWidget = new QListWidget;
    m_ListWidget->setFixedWidth(200);
    m_ListWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ListWidget->setUniformItemSizes(true);
    m_Delegate = new EBookItemDelegate;
    m_ListWidget->setItemDelegate(m_Delegate);
    m_ListWidget->setMovement(QListView::Static);
    m_PageView = new PageView(false);
    m_Delegate->m_scene = m_PageView->pageScene();
    layout->addWidget(m_ListWidget);
    layout->addWidget(m_PageView);
    setLayout(layout);
    m_PageNotice = new QLabel(this);
    m_PageNotice->setObjectName(QStringLiteral("pageNotice"));
    m_PageNotice->setStyleSheet(QStringLiteral("QLabel { background: rgba(40, 40, 40, 225); "
                                               "color: white; padding: 12px 24px; "
                                               "border-radius: 8px; font-size: 15pt; }"));
    m_PageNotice->hide();

    m_lineTimer.setSingleShot(true);
    m_lineTimer.setInterval(LineRepaintDelay);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(RotateHideDelay);
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(PageNoticeMs);
    connect(&m_noticeTimer, &QTimer::timeout, m_PageNotice, &QWidget::hide);
    m_keptTimer.setSingleShot(true);
    m_keptTimer.setInterval(0);
    connect(&m_keptTimer, &QTimer::timeout, this, &DisplayWidget::onApplyKept);

    connect(m_PageView, SIGNAL(updateThunmbianl()), this, SLOT(onUpdateThunmbianl()));
    // The page shown afresh is drawn for its thumbnail now, so a stroke's lift draws only it.
    connect(m_PageView, &PageView::pageShownAfresh, this, [this] {
        if (validRow(m_PageView->currentIndex()))
            m_Delegate->prepare(m_PageView->currentIndex());
    });
    connect(TcpManager::instance(), SIGNAL(downloadPdfComplete(QString)), this,
            SLOT(onDownloadComplete(QString)));
    connect(TcpManager::instance(), SIGNAL(DownloadResult(bool)), this,
            SLOT(onDownloadResult(bool)));
    connect(m_ListWidget, SIGNAL(currentRowChanged(int)), m_PageView,
            SLOT(onCurrentPageChanged(int)));
    connect(this, SIGNAL(hideWaitting()), this, SLOT(onHideWaitting()));
    connect(&m_lineTimer, SIGNAL(timeout()), this, SLOT(onLineUpdatePage()));
    connect(&m_hideTimer, SIGNAL(timeout()), this, SLOT(onHideWaitting()));
    m_WaitingDlg.hide();
    // Making the indicator's window and loading the thumbnail numbers' font take tens of
    // milliseconds: done now, not when a book is asked for.
    m_WaitingDlg.winId();
    QFontMetrics(EBookItemDelegate::numberFont()).height();
}

DisplayWidget::~DisplayWidget()
{
    // Every worker stops; one not ended within a frame is left to end on its own (it deletes
    // itself then), removing the page files it wrote and did not hand over.
    const QList<OpenBookThread *> threads = findChildren<OpenBookThread *>();
    for (OpenBookThread *thread : threads) {
        thread->disconnect(this);
        thread->stop();
    }
    const QDeadlineTimer deadline(StopWaitMs);
    for (OpenBookThread *thread : threads) {
        if (!thread->wait(deadline)) {
            qDebug() << "~DisplayWidget: a book-opening thread ends on its own";
            thread->setParent(nullptr);
        }
    }
    delete m_ListWidget;
    delete m_Delegate;
}

bool DisplayWidget::validRow(int row) const
{
    return row >= 0 && row < m_ListWidget->count() && m_Delegate->validRow(row) &&
           row < m_PageView->pageCount();
}

bool DisplayWidget::acceptRow(int row, const char *caller) const
{
    if (validRow(row))
        return true;
    qDebug() << caller << ": no page" << row << "of" << pageCount();
    return false;
}

int DisplayWidget::currentPage() const
{
    return m_ListWidget->currentRow();
}

int DisplayWidget::pageCount() const
{
    return m_ListWidget->count();
}

void DisplayWidget::showRow(int row)
{
    if (m_ListWidget->currentRow() != row)
        m_ListWidget->setCurrentRow(row);
    if (m_PageView->currentIndex() != row)
        m_PageView->onCurrentPageChanged(row);
}

void DisplayWidget::repaintRow(int row)
{
    if (row >= 0)
        m_ListWidget->viewport()->update(
            m_ListWidget->visualRect(m_ListWidget->model()->index(row, 0)));
}

void DisplayWidget::shareLines()
{
    m_PageView->shareLines();
}

bool DisplayWidget::saveAsPdf(QList<int> *blankPages)
{
    return m_PageView->saveAsPdf(blankPages);
}

void DisplayWidget::sendPreview()
{
    qDebug() << "DisplayWidget::sendPreview()";
    m_PageView->sendPreview();
}

void DisplayWidget::attachToolScene()
{
    TaskToolManager::instance()->setScene(m_PageView->pageScene());
}

void DisplayWidget::showShareVote(const QStringList &fields)
{
    // The page as the canvas reads it.
    if (fields.size() != 8 || !keepForLater(fields.at(1).toInt(), KeptPageMessages::vote(fields)))
        applyVote(fields);
}

void DisplayWidget::applyVote(const QStringList &fields)
{
    m_PageView->showShareVote(fields);
    // The vote may have moved the canvas to its page.
    if (validRow(m_PageView->currentIndex()))
        showRow(m_PageView->currentIndex());
}

void DisplayWidget::clearPages()
{
    m_PageView->clearPages();
    clearThumbnails();
}

void DisplayWidget::clearThumbnails()
{
    m_Delegate->clear();
    m_ListWidget->clear();
}

void DisplayWidget::appendThumbnail(const QPixmap &pixmap)
{
    m_ListWidget->addItem(new QListWidgetItem);
    m_Delegate->addPixmap(pixmap);
}

bool DisplayWidget::acceptTeacherPage(int page, const char *caller)
{
    if (acceptRow(page, caller)) {
        m_PageNotice->hide();
        return true;
    }
    // While a book opens, its later pages are still to come.
    if (page >= pageCount() && pageCount() > 0 && !isOpening())
        showPageNotice(page);
    return false;
}

void DisplayWidget::showPageNotice(int page)
{
    m_PageNotice->setText(tr("The teacher is on page %1, but this book has only %2 pages.")
                              .arg(page + 1)
                              .arg(pageCount()));
    m_PageNotice->adjustSize();
    const QRect canvas = m_PageView->geometry();
    m_PageNotice->move(canvas.x() + qMax(0, (canvas.width() - m_PageNotice->width()) / 2),
                       canvas.y() + 24);
    m_PageNotice->show();
    m_PageNotice->raise();
    m_noticeTimer.start();
}

bool DisplayWidget::setCurrentPage(int page)
{
    if (stillToCome(page)) {
        qDebug() << "setCurrentPage: page" << page << "still to come";
        m_kept.setTeacherPage(page, true);
        return false;
    }
    if (!acceptTeacherPage(page, "setCurrentPage"))
        return false;
    teacherOnPageIn(page);
    m_ListWidget->setCurrentRow(page);
    m_PageView->onCurrentPageChanged(page);
    return true;
}

void DisplayWidget::lineUpdatePage(int page, const QString &itemText)
{
    if (keepForLater(page, KeptPageMessages::item(itemText)) ||
        !acceptTeacherPage(page, "lineUpdatePage"))
        return;
    applyLine(page, itemText);
}

void DisplayWidget::applyLine(int page, const QString &itemText)
{
    leaveFor(page);
    m_PageView->procLineData(page, itemText);
    // The canvas asks for the thumbnail redraw once a burst of items is in.
    if (!m_lineTimer.isActive())
        m_lineTimer.start();
}

void DisplayWidget::onLineUpdatePage()
{
    repaintRow(m_ListWidget->currentRow());
}

void DisplayWidget::onUpdateThunmbianl()
{
    const int row = m_PageView->currentIndex();
    if (!validRow(row))
        return;
    m_Delegate->refresh(row);
    repaintRow(row);
}

void DisplayWidget::clearPage(int row)
{
    if (!keepForLater(row, KeptPageMessages::clearing()) && acceptRow(row, "clearPage"))
        applyClear(row);
}

void DisplayWidget::applyClear(int row)
{
    showRow(row);
    m_PageView->clearCurrentPage(false);
    m_Delegate->refresh(row);
    repaintRow(row);
}

void DisplayWidget::rotatePage(int row)
{
    if (keepForLater(row, KeptPageMessages::rotation()) || !acceptRow(row, "rotatePage"))
        return;
    m_nRotateRow = row;
    m_listRotateRows.append(row);
    raiseWaiting();
    QTimer::singleShot(RotateDelay, this, SLOT(onStartRotate()));
}

void DisplayWidget::onStartRotate()
{
    if (m_listRotateRows.isEmpty())
        return;
    const int row = m_listRotateRows.takeFirst();
    qDebug() << "show";
    // The book may have changed since the request.
    if (validRow(row))
        applyRotate(row);
    qDebug() << "hide";
    m_hideTimer.start();
}

void DisplayWidget::applyRotate(int row)
{
    m_PageView->rotatePage(row);
    showRow(row);
    m_Delegate->refresh(row);
    repaintRow(row);
}

void DisplayWidget::onHideWaitting()
{
    // A book still opening keeps its indicator.
    if (!m_OpenThread && m_listRotateRows.isEmpty())
        m_WaitingDlg.hide();
}

void DisplayWidget::stopOpening()
{
    if (m_OpenThread)
        m_OpenThread->stop();
}

QString DisplayWidget::fileStamp(const QString &path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1:%2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

void DisplayWidget::onDownloadComplete(QString path)
{
    // A book fetched again replaces what was shown under its name.
    if (path == m_strLastBook)
        m_strLastBook.clear();
    m_bRetrying = false; // a retry's book opens, or fails and is retried again
    openBook(path, true);
}

void DisplayWidget::onOpeneBook(QString path)
{
    openBook(path, false);
}

void DisplayWidget::openTeacherBook(const QString &path)
{
    openBook(path, true);
}

void DisplayWidget::openBook(const QString &path, bool fetchable)
{
    if (m_OpenThread) {
        // The book already opening goes on, unless it was stopped or changed on disk.
        if (path == m_strCurrPath && m_OpenThread->m_bRun && fileStamp(path) == m_strBookStamp) {
            m_strPendingBook.clear();
            m_bCurrFetchable = m_bCurrFetchable || fetchable;
            return;
        }
        m_OpenThread->stop();
        m_strPendingBook = path;
        m_bPendingFetchable = fetchable;
        return;
    }
    m_strPendingBook.clear();
    if (path == m_strLastBook && fileStamp(path) == m_strBookStamp)
        return;
    qDebug() << "onOpeneBook " << path << "last book=" << m_strLastBook;
    // What is shown is about to go: asking for the old book again opens it again.
    m_strLastBook.clear();
    m_strCurrPath = path;
    m_bCurrFetchable = fetchable;
    // The opening thread writes the page files again or deletes them, off this thread.
    const QStringList oldFiles = m_PageView->releasePages();
    clearThumbnails();
    m_listRotateRows.clear(); // rows of the book that goes
    forgetKept();
    showWaiting();
    startOpening(path, oldFiles);
}

// Its window was made before the main window's: shown, it must also be put on top.
void DisplayWidget::raiseWaiting()
{
    m_WaitingDlg.show();
    m_WaitingDlg.raise();
}

void DisplayWidget::showWaiting()
{
    raiseWaiting();
    QRect area;
    if (QWidget *main = ScreenPointers::mainWidget())
        area = QRect(main->mapToGlobal(QPoint(0, 0)), main->size());
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    m_WaitingDlg.move(area.x() + (area.width() - m_WaitingDlg.width()) / 2,
                      area.y() + (area.height() - m_WaitingDlg.height()) / 2);
}

void DisplayWidget::startOpening(const QString &path, const QStringList &oldFiles)
{
    m_strBookStamp = fileStamp(path);
    auto *thread = new OpenBookThread(this);
    m_OpenThread = thread;
    const QString folder = m_PageView->document()->m_strFolder;
    thread->setPageWriter([folder](int index, const QImage &image) {
        return BookPageWriter::write(folder, index, image);
    });
    thread->setStaleFiles(oldFiles);
    thread->setThumbnailSize(QSize(EBookItemDelegate::CellWidth, EBookItemDelegate::CellHeight));
    connect(thread, SIGNAL(clearPageSignal()), this, SLOT(onClearPage()));
    connect(thread, SIGNAL(addPageSignal(QPixmap)), this, SLOT(onAddPage(QPixmap)));
    connect(thread, SIGNAL(addBookPageSignal(BookPage)), this, SLOT(onAddBookPage(BookPage)));
    connect(thread, SIGNAL(openComplete(QString)), this, SLOT(onOpenComplete(QString)));
    connect(thread, SIGNAL(openFail()), this, SLOT(onOpenFail()));
    connect(thread, SIGNAL(finished()), thread, SLOT(deleteLater()));
    thread->m_strPath = path;
    thread->start(QThread::InheritPriority);
}

void DisplayWidget::onClearPage()
{
    m_Delegate->clear();
    m_ListWidget->clear();
    // Nothing is left to delete here unless pages came in by another road.
    m_PageView->clearPages();
}

void DisplayWidget::onAddPage(QPixmap pixmap)
{
    appendThumbnail(pixmap);
    m_PageView->addPixmapPage(pixmap, false);
    pageCameIn(pageCount() - 1);
}

void DisplayWidget::onAddBookPage(BookPage page)
{
    if (page.index != m_ListWidget->count()) {
        qDebug() << "onAddBookPage: page" << page.index << "out of order at" << pageCount();
        if (page.inFile())
            QFile::remove(page.filePath);
        return;
    }
    if (page.inFile()) {
        const QString name = QFileInfo(page.filePath).fileName();
        const bool here = page.filePath == m_PageView->document()->m_strFolder + name;
        if (!here || !m_PageView->addPageFile(name)) {
            // A blank page keeps the page numbers in step with the teacher's.
            qDebug() << "onAddBookPage: page file not taken" << page.filePath;
            m_PageView->addBlankPage(page.size.width(), page.size.height(), false);
        }
    } else {
        m_PageView->addPixmapPage(QPixmap::fromImage(page.image), false);
    }
    m_ListWidget->addItem(new QListWidgetItem);
    if (!page.packedThumbnail.isEmpty())
        m_Delegate->addPacked(page.packedThumbnail);
    else
        m_Delegate->addPixmap(
            QPixmap::fromImage(page.thumbnail.isNull() ? page.image : page.thumbnail));
    if (page.index == 0 && page.inFile() && !page.image.isNull())
        primeFirstPage(page);
    pageCameIn(page.index);
}

// The first page is shown once the book is open; its background is the image the worker
// rendered, not decoded again from the page file then.
void DisplayWidget::primeFirstPage(const BookPage &page)
{
    HSPage record;
    if (record.read(page.filePath))
        m_PageView->pageScene()->primeBackground(record.m_baImage, QPixmap::fromImage(page.image));
}

void DisplayWidget::onOpenComplete(QString path)
{
    const bool stopped = m_OpenThread && !m_OpenThread->m_bRun;
    m_OpenThread = nullptr;
    if (!m_strPendingBook.isEmpty()) {
        const QString next = m_strPendingBook;
        openBook(next, m_bPendingFetchable);
        return;
    }
    settleKept(!stopped);
    // The teacher may have led the screen to a page already.
    if (pageCount() > 0 && !validRow(m_PageView->currentIndex()))
        showRow(0);
    if (stopped || pageCount() == 0) {
        // Not the whole book: asking for it again opens it again.
        qDebug() << "onOpenComplete: not recorded" << path << "pages" << pageCount();
    } else {
        m_strLastBook = path;
        TcpManager::instance()->queryBookPageIndex();
    }
    m_WaitingDlg.hide();
}

bool DisplayWidget::canFetchAgain(const QString &path)
{
    const QString folder = Settings::instance()->localBookDir();
    const QString fetched = BookName::localPath(folder, TcpManager::instance()->m_strDownloadPath);
    if (fetched.isEmpty() || path.isEmpty())
        return false;
    const QFileInfo book(path);
    return book.absoluteFilePath() == QFileInfo(fetched).absoluteFilePath() &&
           QDir(book.absolutePath()).canonicalPath() == QDir(folder).canonicalPath();
}

void DisplayWidget::onOpenFail()
{
    m_OpenThread = nullptr;
    forgetKept();
    m_strLastBook.clear();
    m_WaitingDlg.hide();
    const bool fetchAgain = m_bCurrFetchable && canFetchAgain(m_strCurrPath);
    m_bCurrFetchable = false;
    if (fetchAgain) {
        qDebug() << "remove " << m_strCurrPath;
        if (!QFile::remove(m_strCurrPath))
            qDebug() << "onOpenFail: book not removed" << m_strCurrPath;
        if (auto *books = qobject_cast<LocalBooksWidget *>(ScreenPointers::localBooksWidget()))
            books->LoadBooks();
        // No box while it is fetched again: should no retry bring a book, the download's
        // failure is told by the server-books screen, once.
        m_bRetrying = true;
        TcpManager::instance()->retryDownLoad();
    } else {
        qDebug() << "onOpenFail: book kept" << m_strCurrPath;
        showFailBox();
    }
    if (!m_strPendingBook.isEmpty()) {
        const QString next = m_strPendingBook;
        openBook(next, m_bPendingFetchable);
    }
}

void DisplayWidget::onDownloadResult(bool ok)
{
    if (ok || !m_bRetrying)
        return;
    m_bRetrying = false;
    qDebug() << "no retry brought a book that opens" << m_strCurrPath;
}

void DisplayWidget::showFailBox()
{
    if (m_FailBox)
        m_FailBox->close();
    m_FailBox = NoticeBox::show(this, tr("Fail"), tr("This book cannot be opened."),
                                QMessageBox::Information);
}
