#include "link/Settings.h"
#include "pages/HSPage.h"
#include "pages/PageView.h"
#include "pages/PictureData.h"
#include "pdf/OpenBookThread.h"
#include "screens/DisplayWidget.h"
#include "screens/EBookItemDelegate.h"
#include "screens/KeptPageMessages.h"
#include "support/PdfFixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
const QString kStroke = QStringLiteral("3#255,0,0,255#12#10,10 300,400 500,650 ");
const int kLongBookPages = 1500;
const int kTallPage = 1200; // of the long book: 64 x 128, the others 64 x 64

QString bookPath(const QString &name)
{
    return Settings::instance()->localBookDir() + name;
}

bool opened(DisplayWidget &screen, int pages)
{
    return QTest::qWaitFor([&] { return !screen.isOpening(); }, 30000) &&
           screen.pageCount() == pages;
}

HSPage pageFile(DisplayWidget &screen, int index)
{
    HSPage page;
    page.read(screen.pageView()->document()->pagePath(index));
    return page;
}

bool closeHue(const QColor &a, const QColor &b)
{
    const int apart = qAbs(a.hue() - b.hue());
    return qMin(apart, 360 - apart) <= 4;
}

// Ruled lines a thumbnail shows: runs of rows darker than the paper down its middle.
int ruledLines(const QImage &thumbnail)
{
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < thumbnail.height(); ++y) {
        const bool dark = qGray(thumbnail.pixel(thumbnail.width() / 2, y)) < 245;
        lines += dark && !inLine;
        inLine = dark;
    }
    return lines;
}

int threadsOf(DisplayWidget &screen)
{
    return screen.findChildren<OpenBookThread *>().size();
}

// Runs the event loop, as the program's runs, until the book is open.
bool openedWithTheLoopRunning(DisplayWidget &screen, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!screen.isOpening())
            loop.quit();
    });
    check.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !screen.isOpening();
}
} // namespace

class TestEBookScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(PdfFixtures::colouredPages(bookPath("twenty.pdf"), 20));
        QVERIFY(PdfFixtures::book(bookPath("sixty.pdf"), 60));
        QVERIFY(PdfFixtures::book(bookPath("five.pdf"), 5));
        PdfFixtures::Page small;
        small.width = small.height = 72;
        QList<PdfFixtures::Page> book;
        for (int i = 0; i < kLongBookPages; ++i)
            book << small;
        book[kTallPage].height = 144;
        book.last().box = QRectF(0, 0, 72, 72);
        book.last().colour = Qt::green;
        QVERIFY(PdfFixtures::write(bookPath("long.pdf"), book));
        Settings::instance()->m_nMode = 0;
    }

    // Thumbnails in page order, page files in the page file format, page 0 shown and selected.
    void bookOpensWithThumbnailsInPageOrder()
    {
        DisplayWidget screen;
        screen.onOpeneBook(bookPath("twenty.pdf"));
        QVERIFY(screen.isOpening());
        QVERIFY(screen.waitingDialog()->isVisible());
        QVERIFY(opened(screen, 20));
        QVERIFY(!screen.waitingDialog()->isVisible());
        QCOMPARE(screen.lastBook(), bookPath("twenty.pdf"));
        QCOMPARE(screen.currentPage(), 0);
        QCOMPARE(screen.pageView()->currentIndex(), 0);
        // The page shown is the first page, its background as the book has it.
        QImage shown(544, 704, QImage::Format_RGB32);
        QPainter painter(&shown);
        screen.pageView()->pageScene()->render(&painter);
        painter.end();
        QVERIFY(closeHue(shown.pixelColor(272, 352), PdfFixtures::pageColour(0)));
        QCOMPARE(shown, PictureData::decodeBase64(pageFile(screen, 0).m_baImage)
                            .convertToFormat(QImage::Format_RGB32));
        for (int i = 0; i < 20; ++i) {
            const QPixmap &thumbnail = screen.delegate()->thumbnail(i);
            QCOMPARE(thumbnail.size(), QSize(150, 194));
            QVERIFY(closeHue(thumbnail.toImage().pixelColor(75, 97), PdfFixtures::pageColour(i)));
            const HSPage page = pageFile(screen, i);
            QCOMPARE(page.m_size, QSize(544, 704));
            QVERIFY(!page.m_baImage.isEmpty());
            QVERIFY(page.m_listItems.isEmpty() && !page.m_bInit);
        }
        screen.onOpeneBook(bookPath("twenty.pdf")); // the book shown: nothing happens
        QVERIFY(!screen.isOpening());
    }

    void openingStateMachine()
    {
        DisplayWidget screen;
        const QString sixty = bookPath("sixty.pdf");
        const QString five = bookPath("five.pdf");

        // Book B asked for while A opens: A stops, B opens, the indicator stays up.
        screen.onOpeneBook(sixty);
        QVERIFY(QTest::qWaitFor([&] { return screen.pageCount() > 0; }, 10000));
        screen.onOpeneBook(five);
        QCOMPARE(screen.pendingBook(), five);
        QVERIFY(screen.waitingDialog()->isVisible());
        QVERIFY(opened(screen, 5));
        QCOMPARE(screen.lastBook(), five);

        // The same book twice while it opens: one open.
        QTRY_COMPARE(threadsOf(screen), 0); // the threads delete themselves
        screen.onOpeneBook(sixty);
        screen.onOpeneBook(sixty);
        QVERIFY(screen.pendingBook().isEmpty());
        QCOMPARE(threadsOf(screen), 1);
        QVERIFY(opened(screen, 60));

        // The pending book is the last one shown: it opens again.
        screen.onOpeneBook(five);
        screen.onOpeneBook(sixty);
        QVERIFY(opened(screen, 60));
        QCOMPARE(screen.lastBook(), sixty);

        // A stopped open is not the last book; asking again opens it.
        screen.onOpeneBook(five);
        screen.stopOpening();
        QVERIFY(QTest::qWaitFor([&] { return !screen.isOpening(); }, 10000));
        QVERIFY(screen.lastBook().isEmpty());
        QVERIFY(!screen.waitingDialog()->isVisible());
        screen.onOpeneBook(five);
        QVERIFY(screen.isOpening());
        QVERIFY(opened(screen, 5));

        // A book of the student's own that fails is kept; the pending book goes on.
        const QString bad = bookPath("bad.pdf");
        QVERIFY(PdfFixtures::damaged(bad));
        screen.onOpeneBook(bad);
        screen.onOpeneBook(sixty);
        QVERIFY(opened(screen, 60));
        QVERIFY(QFile::exists(bad));
        QVERIFY(screen.failBox());
        QCOMPARE(screen.failBox()->text(), QStringLiteral("This book cannot be opened."));
        screen.failBox()->close();
        QTRY_COMPARE(threadsOf(screen), 0);
    }

    void teacherPagesStrokesClearAndRotation()
    {
        DisplayWidget screen;
        screen.onOpeneBook(bookPath("twenty.pdf"));
        QVERIFY(opened(screen, 20));
        const QImage before = screen.delegate()->thumbnail(2).toImage();

        screen.lineUpdatePage(2, kStroke);
        QCOMPARE(screen.currentPage(), 2);
        QCOMPARE(screen.pageView()->currentIndex(), 2);
        QCOMPARE(screen.pageView()->document()->m_currPage.m_listItems, QList<QString>{kStroke});
        QVERIFY(
            QTest::qWaitFor([&] { return screen.delegate()->thumbnail(2).toImage() != before; }));

        // A stroke for another page: the canvas and the row follow, page 2 keeps its stroke.
        screen.lineUpdatePage(5, kStroke);
        QCOMPARE(screen.currentPage(), 5);
        QCOMPARE(pageFile(screen, 2).m_listItems, QList<QString>{kStroke});

        // Clearing row 2 clears page 2, not the page shown.
        screen.clearPage(2);
        QCOMPARE(screen.currentPage(), 2);
        QVERIFY(screen.pageView()->document()->m_currPage.m_listItems.isEmpty());
        QCOMPARE(pageFile(screen, 5).m_listItems, QList<QString>{kStroke});

        // Two rotations in quick succession turn the two pages asked for.
        screen.rotatePage(1);
        screen.rotatePage(3);
        QVERIFY(screen.waitingDialog()->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return pageFile(screen, 1).m_size == QSize(704, 544); }));
        QVERIFY(QTest::qWaitFor([&] { return screen.currentPage() == 3; }));
        QCOMPARE(screen.pageView()->document()->m_currPage.m_size, QSize(704, 544));
        QVERIFY(QTest::qWaitFor([&] { return !screen.waitingDialog()->isVisible(); }, 10000));

        // Rows from outside the book are ignored.
        for (int row : {-1, 20, 1000}) {
            screen.lineUpdatePage(row, kStroke);
            screen.clearPage(row);
            screen.rotatePage(row);
            QVERIFY(!screen.setCurrentPage(row));
        }
        QVERIFY(!screen.waitingDialog()->isVisible());
        QCOMPARE(screen.currentPage(), 3);
        QVERIFY(screen.setCurrentPage(7));
        QCOMPARE(screen.pageView()->currentIndex(), 7);

        // A thumbnail that is null paints only its number.
        screen.appendThumbnail(QPixmap());
        QImage cell(150, 200, QImage::Format_RGB32);
        cell.fill(Qt::white);
        QPainter painter(&cell);
        QStyleOptionViewItem option;
        option.rect = cell.rect();
        screen.delegate()->paint(&painter, option, screen.thumbnailList()->model()->index(20, 0));
        painter.end();
        QCOMPARE(cell.pixelColor(75, 90), QColor(Qt::white));
        QVERIFY(cell.copy(0, 175, 150, 25) != QImage(150, 25, QImage::Format_RGB32));
    }

    // A book of more than a thousand pages opens whole, and the screen follows the teacher to
    // its last page; a teacher's page past its end is told on the screen, and the lesson goes
    // on.
    void longBookOpensWhole()
    {
        const int pages = kLongBookPages;
        DisplayWidget screen;
        screen.resize(1280, 800);
        screen.show();
        screen.onOpeneBook(bookPath("long.pdf"));
        QVERIFY(openedWithTheLoopRunning(screen, 60000));
        QCOMPARE(screen.pageCount(), pages);
        QCOMPARE(screen.delegate()->count(), pages);
        QCOMPARE(screen.pageView()->pageCount(), pages);
        QCOMPARE(QDir(screen.pageView()->document()->m_strFolder)
                     .entryList({"*.crp"}, QDir::Files)
                     .size(),
                 pages);
        QCOMPARE(screen.lastBook(), bookPath("long.pdf"));

        QVERIFY(screen.setCurrentPage(pages - 1));
        QCOMPARE(screen.currentPage(), pages - 1);
        QCOMPARE(screen.pageView()->currentIndex(), pages - 1);
        QCOMPARE(screen.delegate()->thumbnail(pages - 1).toImage().pixelColor(75, 75),
                 QColor(Qt::green));
        QCOMPARE(pageFile(screen, pages - 1).m_size, QSize(64, 64));
        QVERIFY(screen.pageNotice()->isHidden());

        QVERIFY(!screen.setCurrentPage(pages));
        QVERIFY(screen.pageNotice()->isVisible());
        QCOMPARE(screen.pageNotice()->text(),
                 QStringLiteral("The teacher is on page 1501, but this book has only 1500 pages."));
        QCOMPARE(screen.currentPage(), pages - 1);
        screen.lineUpdatePage(2 * pages, kStroke);
        QVERIFY(screen.pageNotice()->isVisible());
        QCOMPARE(screen.pageNotice()->text(),
                 QStringLiteral("The teacher is on page 3001, but this book has only 1500 pages."));

        screen.lineUpdatePage(3, kStroke);
        QCOMPARE(screen.currentPage(), 3);
        QCOMPARE(screen.pageView()->document()->m_currPage.m_listItems, QList<QString>{kStroke});
        QVERIFY(screen.pageNotice()->isHidden());
    }

    // While a long book opens, the teacher's page and messages for pages not yet in are kept,
    // in order for each page and within a bound, and applied when their pages come in, where
    // the screen then follows the teacher. Another book, or a book that fails, forgets them.
    void teacherMessagesForPagesStillToCome()
    {
        DisplayWidget screen;
        screen.resize(1280, 800);
        screen.show();
        screen.onOpeneBook(bookPath("long.pdf"));
        QCOMPARE(screen.pageCount(), 0);
        const QString red = QStringLiteral("3#255,0,0,255#6#4,32 60,32 ");
        const QString blue = QStringLiteral("3#0,0,255,255#6#32,4 32,60 ");
        const QStringList vote{"ebook", "1100", "A,3", "B,1", "C,0", "D,0", "E,0", "F,0"};
        screen.lineUpdatePage(1400, red);
        screen.lineUpdatePage(1300, kStroke);
        screen.clearPage(1300);
        screen.lineUpdatePage(1300, blue);
        screen.rotatePage(kTallPage);
        screen.showShareVote(vote);
        screen.lineUpdatePage(kLongBookPages + 100, kStroke); // past the end of the book
        const int kept = 7;
        QCOMPARE(screen.keptMessages(), kept);
        // A hostile teacher: one message past the bytes kept, then more than may be kept.
        screen.lineUpdatePage(1450, QString(KeptPageMessages::MaxBytes / 2, QLatin1Char('x')));
        QCOMPARE(screen.keptMessages(), kept);
        for (int i = 0; i < KeptPageMessages::MaxMessages; ++i)
            screen.lineUpdatePage(1450, blue);
        QCOMPARE(screen.keptMessages(), KeptPageMessages::MaxMessages);
        QVERIFY(!screen.setCurrentPage(1400)); // where the teacher is now
        QVERIFY(screen.pageView()->currentIndex() < 0);

        QVERIFY(openedWithTheLoopRunning(screen, 60000));
        QCOMPARE(screen.pageCount(), kLongBookPages);
        QTRY_COMPARE_WITH_TIMEOUT(screen.keptMessages(), 0, 30000);
        QTRY_COMPARE(screen.currentPage(), 1400);
        QCOMPARE(screen.pageView()->currentIndex(), 1400);
        QCOMPARE(screen.pageView()->document()->m_currPage.m_listItems, QList<QString>{red});
        QVERIFY(screen.pageNotice()->isHidden());
        QCOMPARE(pageFile(screen, 1300).m_listItems, QList<QString>{blue});
        QCOMPARE(pageFile(screen, kTallPage).m_size, QSize(128, 64));
        QCOMPARE(pageFile(screen, 1100).m_strVote, QStringLiteral("A,3#B,1#C,0#D,0#E,0#F,0"));
        QCOMPARE(pageFile(screen, 1450).m_listItems.size(), KeptPageMessages::MaxMessages - kept);
        QVERIFY(pageFile(screen, 1399).m_listItems.isEmpty());
        // The thumbnails show the ink: red across page 1400, blue down page 1300.
        QTRY_COMPARE(screen.delegate()->thumbnail(1400).toImage().pixelColor(75, 75).red(), 255);
        QVERIFY(screen.delegate()->thumbnail(1400).toImage().pixelColor(75, 75).blue() < 100);
        QVERIFY(screen.delegate()->thumbnail(1300).toImage().pixelColor(75, 40).blue() > 200);
        QCOMPARE(screen.delegate()->thumbnail(1399).toImage().pixelColor(75, 75),
                 QColor(Qt::white));

        // The teacher moves on to a page that is in: the screen stays there, and the ink kept
        // for a page still to come goes on that page all the same.
        screen.onOpeneBook(bookPath("sixty.pdf"));
        screen.lineUpdatePage(50, kStroke);
        QVERIFY(QTest::qWaitFor([&] { return screen.pageCount() > 3; }, 10000));
        QVERIFY(screen.setCurrentPage(2));
        QVERIFY(opened(screen, 60));
        QTRY_COMPARE_WITH_TIMEOUT(screen.keptMessages(), 0, 30000);
        QCOMPARE(screen.currentPage(), 2);
        QCOMPARE(pageFile(screen, 50).m_listItems, QList<QString>{kStroke});

        // A book asked for while another opens: what was kept for the first is not the second's.
        screen.onOpeneBook(bookPath("long.pdf"));
        screen.lineUpdatePage(3, kStroke);
        QVERIFY(!screen.setCurrentPage(4));
        screen.onOpeneBook(bookPath("five.pdf"));
        QVERIFY(opened(screen, 5));
        QCOMPARE(screen.keptMessages(), 0);
        QCOMPARE(screen.currentPage(), 0);
        QVERIFY(pageFile(screen, 3).m_listItems.isEmpty());

        // A book that fails: forgotten.
        QVERIFY(PdfFixtures::damaged(bookPath("bad.pdf")));
        screen.onOpeneBook(bookPath("bad.pdf"));
        screen.lineUpdatePage(0, kStroke);
        QCOMPARE(screen.keptMessages(), 1);
        QVERIFY(QTest::qWaitFor([&] { return !screen.isOpening(); }, 10000));
        QCOMPARE(screen.keptMessages(), 0);
        QVERIFY(screen.failBox());
        screen.failBox()->close();
    }

    // A thumbnail drawn again keeps the thin lines that the one made at opening shows.
    void redrawnThumbnailKeepsThinLines()
    {
        PdfFixtures::Page ruled;
        ruled.rules = 20;
        QVERIFY(PdfFixtures::write(bookPath("ruled.pdf"), {ruled}));
        DisplayWidget screen;
        screen.onOpeneBook(bookPath("ruled.pdf"));
        QVERIFY(opened(screen, 1));
        QCOMPARE(ruledLines(screen.delegate()->thumbnail(0).toImage()), 20);
        screen.clearPage(0);
        QCOMPARE(ruledLines(screen.delegate()->thumbnail(0).toImage()), 20);
    }

    // No worker outlives the screen, and no page file is left behind.
    void screenGoingAwayStopsItsWorkers()
    {
        auto *screen = new DisplayWidget;
        const QString folder = screen->pageView()->document()->m_strFolder;
        screen->onOpeneBook(bookPath("sixty.pdf"));
        QVERIFY(QTest::qWaitFor([&] { return screen->pageCount() > 2; }, 10000));
        delete screen;
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder).entryList({"*.crp"}, QDir::Files), QStringList(),
                                  5000);
    }

    // The screen goes away at once, also while a page is in one huge image: not after the rest
    // of the page's time budget (bench_book_open measures how soon).
    void screenGoingAwayInAHugeImage()
    {
        QVERIFY(PdfFixtures::hugeImage(bookPath("image.pdf"), 30000));
        auto *screen = new DisplayWidget;
        const QString folder = screen->pageView()->document()->m_strFolder;
        screen->onOpeneBook(bookPath("image.pdf"));
        QVERIFY(QTest::qWaitFor([&] { return screen->pageCount() == 1; }, 10000));
        QTest::qWait(300); // well into the image
        QElapsedTimer clock;
        clock.start();
        delete screen;
        QVERIFY2(clock.elapsed() < XPDFRenderer::kDefaultPageBudgetMs / 5,
                 qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder).entryList({"*.crp"}, QDir::Files), QStringList(),
                                  5000);
    }

    // The screen goes away within a frame or so also while an opening thread is held where no
    // stop reaches it: here, opening a book whose bytes do not come (a named pipe, as a book
    // on a stalled network share). The thread ends on its own once it is let go.
    void screenGoingAwayWhileItsThreadIsHeld()
    {
#ifdef Q_OS_UNIX
        const QString pipe = bookPath("held.pdf");
        QFile::remove(pipe);
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        auto *screen = new DisplayWidget;
        screen->onOpeneBook(pipe);
        const QPointer<OpenBookThread> thread = screen->findChildren<OpenBookThread *>().value(0);
        QVERIFY(thread);
        // Should the screen wait for its thread, the pipe lets it go after a while.
        std::atomic<bool> gone{false};
        std::atomic<bool> letGo{false};
        std::thread opener([&] {
            for (int i = 0; i < 1000 && !gone; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            letGo = !gone;
            QFile writer(pipe);
            writer.open(QIODevice::WriteOnly); // lets the reader's open return
        });
        delete screen;
        gone = true;
        opener.join();
        QVERIFY2(!letGo, "the screen waited for a thread that no stop reaches");
        QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), 10000);
        QFile::remove(pipe);
#else
        QSKIP("needs a named pipe");
#endif
    }
};

QTEST_MAIN(TestEBookScreen)
#include "tst_ebookscreen.moc"
