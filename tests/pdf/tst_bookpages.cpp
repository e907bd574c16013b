#include "pdf/OpenBookThread.h"
#include "pdf/PopplerGlobals.h"
#include "platform/ThreadClock.h"
#include "support/PdfFixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

#include <poppler/GfxState.h>

#ifdef Q_OS_LINUX
#include <sched.h>
#endif

// The page-file road of the book-opening thread: workers render, make thumbnails and write
// files; the GUI thread gets the pages in order, never too many ahead.
class TestBookPages : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    struct Run
    {
        explicit Run(const QString &folder)
        {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            thread.setThumbnailSize(QSize(150, 200));
            thread.setPageWriter([this, folder](int index, const QImage &image) {
                ++written;
                const QString file = folder + QStringLiteral("/page%1.png").arg(index + 1);
                return image.save(file) ? file : QString();
            });
            connect(&thread, &OpenBookThread::addBookPageSignal, &thread,
                    [this](const BookPage &page) { pages << page; });
            connect(&thread, &OpenBookThread::openComplete, &thread, [this] { done = true; });
            connect(&thread, &OpenBookThread::openFail, &thread, [this] { done = true; });
        }
        // The event loop runs all the while, as the program's does: pages are taken as soon
        // as they come.
        bool open(const QString &book)
        {
            thread.m_strPath = book;
            thread.start();
            QEventLoop loop;
            connect(&thread, &OpenBookThread::openComplete, &loop, &QEventLoop::quit);
            connect(&thread, &OpenBookThread::openFail, &loop, &QEventLoop::quit);
            QTimer::singleShot(60000, &loop, &QEventLoop::quit);
            if (!done)
                loop.exec();
            return done && thread.wait(5000);
        }
        OpenBookThread thread;
        QList<BookPage> pages;
        std::atomic<int> written{0};
        bool done = false;
    };

#ifdef Q_OS_LINUX
    // Keeps this thread, and the threads it starts, on its first processor while it lives.
    struct OneProcessor
    {
        OneProcessor()
        {
            sched_getaffinity(0, sizeof all, &all);
            cpu_set_t one;
            CPU_ZERO(&one);
            for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
                if (CPU_ISSET(cpu, &all)) {
                    CPU_SET(cpu, &one);
                    break;
                }
            }
            pinned = sched_setaffinity(0, sizeof one, &one) == 0;
        }
        ~OneProcessor() { sched_setaffinity(0, sizeof all, &all); }
        cpu_set_t all;
        bool pinned = false;
    };
#endif

    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(PdfFixtures::colouredPages(path("twelve.pdf"), 12));
        QVERIFY(PdfFixtures::book(path("sixty.pdf"), 60));
        PdfFixtures::Page huge; // 70 x 70 inches: more pixels than one page image may have
        huge.width = huge.height = 5040;
        huge.box = QRectF(0, 0, 5040, 5040);
        QVERIFY(PdfFixtures::write(path("huge.pdf"), QList<PdfFixtures::Page>()
                                                         << huge << huge << huge << huge << huge
                                                         << huge));
        QVERIFY(PdfFixtures::claimingPages(path("claiming.pdf"), 200000));
        QVERIFY(PdfFixtures::repeatedPages(path("repeated.pdf"), 5));
        QVERIFY(PdfFixtures::damagedPage(path("damaged.pdf"), 30, 9));
        // Unbudgeted, its middle page renders for many seconds in one image operation.
        QVERIFY(PdfFixtures::hugeImage(path("image.pdf"), 30000));
        // Drawn reduced: 27 MB of pixels and 18 MB of mask.
        QVERIFY(PdfFixtures::hugeImage(path("reduced.pdf"), 3000));
        QVERIFY(PdfFixtures::hugeImage(path("stencil.pdf"), 12000, true));
        QVERIFY(PdfFixtures::scatterPlot(path("scatter.pdf"), 80000));
    }

    // Before any page renders, Poppler's shared colour state is made, once: workers rendering
    // their first pages at the same moment would each make it and free the old one twice.
    void sharedRenderStateIsReadyFirst()
    {
#ifdef USE_CMS
        QVERIFY(!GfxState::sRGBProfile);
        PopplerGlobals::ensure();
        QVERIFY(GfxState::sRGBProfile);
        const void *made = GfxState::sRGBProfile.get();
        PopplerGlobals::ensure();
        QCOMPARE(GfxState::sRGBProfile.get(), made);
#else
        QSKIP("Poppler without colour management");
#endif
    }

    void pagesComeInOrderWithFilesAndThumbnails()
    {
        Run run(path("order"));
        QVERIFY(run.open(path("twelve.pdf")));
        QCOMPARE(run.pages.size(), 12);
        for (int i = 0; i < run.pages.size(); ++i) {
            const BookPage &page = run.pages.at(i);
            QCOMPARE(page.index, i);
            QCOMPARE(page.size, QSize(544, 704));
            const QImage inFile(page.filePath);
            QCOMPARE(inFile.size(), QSize(544, 704));
            // In the file only; the first page also keeps its image, shown once the book is open.
            if (i > 0)
                QVERIFY(page.image.isNull());
            else
                QCOMPARE(page.image.convertToFormat(QImage::Format_RGB32),
                         inFile.convertToFormat(QImage::Format_RGB32));
            QCOMPARE(page.thumbnail.size(), QSize(150, 194));
            const QColor centre = page.thumbnail.pixelColor(75, 97);
            const QColor want = PdfFixtures::pageColour(i);
            const int apart = qAbs(centre.hue() - want.hue());
            QVERIFY2(qMin(apart, 360 - apart) <= 4, qPrintable(QString::number(i)));
        }
    }

    // While the GUI thread is busy, the workers make at most a few pages ahead of it.
    void workersStayBoundedAheadOfTheGuiThread()
    {
        Run run(path("bounded"));
        run.thread.m_strPath = path("sixty.pdf");
        run.thread.start();
        QVERIFY(QTest::qWaitFor([&run] { return !run.pages.isEmpty(); }, 10000));
        const int taken = run.pages.size();
        QThread::msleep(800);
        const int ahead = run.written - taken;
        const int bound = 2 * run.thread.workerCount(60) + 2;
        QVERIFY2(ahead <= bound, qPrintable(QStringLiteral("%1 > %2").arg(ahead).arg(bound)));
        QVERIFY(QTest::qWaitFor([&run] { return run.done; }, 20000));
        QCOMPARE(run.pages.size(), 60);
        QVERIFY(run.thread.wait(5000));
    }

    // Huge pages come within the page image limit, and the workers hold no more of them at
    // once than the pool's pixel budget allows, however many workers there are.
    void hugePagesShareOnePixelBudget()
    {
        Run run(path("huge"));
        std::atomic<int> holding{0};
        std::atomic<int> most{0};
        run.thread.setWorkerCount(6);
        run.thread.setPageWriter([&](int index, const QImage &image) {
            const int now = ++holding;
            for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            QThread::msleep(60);
            --holding;
            return image.isNull() ? QString() : QStringLiteral("page%1").arg(index);
        });
        QVERIFY(run.open(path("huge.pdf")));
        QCOMPARE(run.pages.size(), 6);
        for (const BookPage &page : qAsConst(run.pages))
            QCOMPARE(page.size, QSize(4096, 4096)); // 4480 x 4480 brought within the limit
        QCOMPARE(run.pages.first().image.size(), QSize(4096, 4096));
        QCOMPARE(run.pages.first().image.pixelColor(4095, 4095), QColor(Qt::red));
        QVERIFY2(most <= 2, qPrintable(QString::number(most)));
    }

    // Files of the book shown before are written again or deleted; a stopped run leaves only
    // the files of the pages it handed over.
    void staleAndUndeliveredFilesAreRemoved()
    {
        const QString folder = path("stale");
        Run first(folder);
        QStringList stale;
        for (int i = 1; i <= 30; ++i) {
            stale << folder + QStringLiteral("/page%1.png").arg(i);
            QFile file(stale.last());
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        first.thread.setStaleFiles(stale);
        QVERIFY(first.open(path("twelve.pdf")));
        QCOMPARE(filesIn(folder).size(), 12);
        QCOMPARE(QImage(stale.at(11)).size(), QSize(544, 704));

        Run second(path("stopped"));
        connect(&second.thread, &OpenBookThread::addBookPageSignal, &second.thread, [&second] {
            if (second.pages.size() == 3)
                second.thread.stop();
        });
        QVERIFY(second.open(path("sixty.pdf")));
        QCOMPARE(second.pages.size(), 3);
        QCOMPARE(filesIn(path("stopped")), QStringList({"page1.png", "page2.png", "page3.png"}));
    }

    // A book has every page it claims, white where a page does not load, so that its page
    // numbers stay the teacher's; a claim its file is too small to hold ends at the last page
    // that loads; and no book has more than kMaxPages pages.
    void claimedPagesAreBounded()
    {
        Run damaged(path("damaged"));
        QVERIFY(damaged.open(path("damaged.pdf")));
        QCOMPARE(damaged.pages.size(), 30);
        QCOMPARE(filesIn(path("damaged")).size(), 30);
        for (const BookPage &page : qAsConst(damaged.pages)) {
            QCOMPARE(page.size, QSize(544, 704));
            const QColor want = page.index < 9 ? QColor(Qt::red) : QColor(Qt::white);
            QCOMPARE(page.thumbnail.pixelColor(75, 97), want);
        }

        Run claiming(path("claiming"));
        QVERIFY(claiming.open(path("claiming.pdf")));
        QCOMPARE(claiming.pages.size(), 1);
        QCOMPARE(int(claiming.written), 1);
        QCOMPARE(filesIn(path("claiming")), QStringList({"page1.png"}));

        Run repeated(path("repeated"));
        QVERIFY(repeated.open(path("repeated.pdf")));
        QCOMPARE(repeated.pages.size(), OpenBookThread::kMaxPages);
        QCOMPARE(repeated.pages.last().index, OpenBookThread::kMaxPages - 1);
        QCOMPARE(filesIn(path("repeated")).size(), OpenBookThread::kMaxPages);
    }

    // A heavy page is drawn however busy the machine is: its budget counts the work its own
    // thread does, not the time that thread waits for a processor. Here every thread of the
    // run shares one processor with seven busy threads, so the page takes some eight times its
    // work on the clock, against a budget of four times its work: room for a busy machine to
    // make the same work cost more processor time.
    void heavyPageIsDrawnOnABusyMachine()
    {
#ifdef __SANITIZE_ADDRESS__
        // The sanitizer's allocator spins on locks whose holders wait for the one processor,
        // so the same page costs several times the processor time there.
        QSKIP("processor time is not the page's own work under the address sanitizer");
#endif
#ifdef Q_OS_LINUX
        const OneProcessor processor;
        QVERIFY(processor.pinned);
        qint64 work = ThreadClock::processorMs();
        {
            XPDFRenderer pdf(path("scatter.pdf"));
            QVERIFY(!pdf.sharedPageImage(1, pdf.bookPageSize(1)).isNull());
        }
        work = ThreadClock::processorMs() - work;
        std::atomic<bool> busy{true};
        std::vector<std::thread> load;
        for (int i = 0; i < 7; ++i) {
            load.emplace_back([&busy] {
                while (busy) {
                }
            });
        }
        Run run(path("scatter"));
        run.thread.setPageBudget(int(4 * work + 100));
        const bool opened = run.open(path("scatter.pdf"));
        busy = false;
        for (std::thread &thread : load)
            thread.join();
        QVERIFY(opened);
        QCOMPARE(run.pages.size(), 1);
        const QImage thumbnail = run.pages.first().thumbnail;
        int plotted = 0;
        for (int y = 0; y < thumbnail.height(); ++y) {
            for (int x = 0; x < thumbnail.width(); ++x)
                plotted += qBlue(thumbnail.pixel(x, y)) - qRed(thumbnail.pixel(x, y)) > 40;
        }
        QVERIFY2(plotted > thumbnail.width() * thumbnail.height() / 2,
                 qPrintable(QStringLiteral("%1 of %2 pixels plotted, %3 ms of work")
                                .arg(plotted)
                                .arg(thumbnail.width() * thumbnail.height())
                                .arg(work)));
#else
        QSKIP("needs Linux's thread processor clock and affinity");
#endif
    }

    // A page past its time budget comes blank, the pages around it as they are; a stop in the
    // middle of one huge image operation ends the run at once. Large images within the budget
    // are drawn.
    void hugeImageIsBudgetedAndStops()
    {
        for (const auto &[book, colour] : {qMakePair(QString("reduced.pdf"), QColor(Qt::black)),
                                           qMakePair(QString("stencil.pdf"), QColor(Qt::blue))}) {
            Run run(path("large"));
            QVERIFY(run.open(path(book)));
            QCOMPARE(run.pages.size(), 3);
            const QColor middle = run.pages.at(1).thumbnail.pixelColor(75, 97);
            QVERIFY2(qAbs(middle.red() - colour.red()) + qAbs(middle.green() - colour.green()) +
                             qAbs(middle.blue() - colour.blue()) <
                         8,
                     qPrintable(middle.name()));
            QCOMPARE(run.pages.at(2).thumbnail.pixelColor(75, 97), QColor(Qt::red));
        }

        Run budgeted(path("budgeted"));
        budgeted.thread.setPageBudget(300);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(budgeted.open(path("image.pdf")));
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(budgeted.pages.size(), 3);
        const QList<QColor> colours{Qt::red, Qt::white, Qt::red};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(budgeted.pages.at(i).thumbnail.pixelColor(75, 97), colours.at(i));

        Run stopped(path("stoppedimage"));
        stopped.thread.setPageBudget(60000);
        stopped.thread.setWorkerCount(1);
        stopped.thread.m_strPath = path("image.pdf");
        stopped.thread.start();
        QVERIFY(QTest::qWaitFor([&stopped] { return stopped.pages.size() == 1; }, 10000));
        QTest::qWait(300); // well into the image
        clock.restart();
        stopped.thread.stop();
        QVERIFY(QTest::qWaitFor([&stopped] { return stopped.done; }, 10000));
        QVERIFY(stopped.thread.wait(5000));
        // Not after the rest of the image, which takes seconds (bench_book_open measures it).
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(stopped.pages.size(), 1);
    }
};

QTEST_MAIN(TestBookPages)
#include "tst_bookpages.moc"
