// screen sizes: 1920x1080 1280x800
#include "link/Settings.h"
#include "pages/PageView.h"
#include "screens/DisplayWidget.h"
#include "screens/EBookItemDelegate.h"
#include "screens/LocalBooksWidget.h"
#include "screens/ScreenPointers.h"
#include "screens/serverbooswidget.h"
#include "support/PdfFixtures.h"
#include "support/TestArtifacts.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QScreen>
#include <QStackedWidget>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest>

// The book screens as the student sees them, below a toolbar row, on the whole screen.
class TestBookScreensLook : public QObject
{
    Q_OBJECT
private:
    QWidget m_window;
    QStackedWidget *m_stack = nullptr;
    LocalBooksWidget *m_local = nullptr;
    serverbooswidget *m_server = nullptr;
    DisplayWidget *m_display = nullptr;

    bool show(QWidget *screen, const QString &name)
    {
        m_stack->setCurrentWidget(screen);
        QTest::qWait(200);
        return TestArtifacts::saveScreen(name, &m_window);
    }

private slots:
    void initTestCase()
    {
        QApplication::setFont(QFont(QStringLiteral("Arial"), 13)); // as the program sets it
        const QString books = Settings::instance()->localBookDir();
        for (const char *name : {"Algebra 1.pdf", "Biology - cells and tissues.pdf",
                                 "Mathematics for the seventh grade, second term.pdf",
                                 "history.pdf", "World atlas.pdf"})
            QVERIFY(PdfFixtures::book(books + name, 2));
        QVERIFY(PdfFixtures::book(books + "lesson.pdf", 12));
        QVERIFY(PdfFixtures::book(QDir(books).filePath("long.pdf"), 400));

        ScreenPointers::setMainWidget(&m_window);
        auto *toolbar = new QWidget;
        toolbar->setFixedHeight(72);
        toolbar->setAutoFillBackground(true);
        QPalette palette = toolbar->palette();
        palette.setBrush(QPalette::Window,
                         QBrush(QPixmap(QStringLiteral(":/res/res/Toolbar background.svg"))));
        toolbar->setPalette(palette);
        m_stack = new QStackedWidget;
        m_local = new LocalBooksWidget;
        m_server = new serverbooswidget;
        m_display = new DisplayWidget;
        m_stack->addWidget(m_local);
        m_stack->addWidget(m_server);
        m_stack->addWidget(m_display);
        auto *layout = new QVBoxLayout(&m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(toolbar);
        layout->addWidget(m_stack);
        m_window.setWindowFlags(Qt::FramelessWindowHint);
        m_window.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }

    void localBooks()
    {
        m_local->bookList()->setCurrentRow(2);
        QVERIFY(show(m_local, "local_books"));
        // Every name fits its cell: no two cells overlap.
        QListWidget *list = m_local->bookList();
        for (int i = 1; i < list->count(); ++i)
            QVERIFY(!list->visualItemRect(list->item(i - 1))
                         .intersects(list->visualItemRect(list->item(i))));
    }

    void serverBooksDownloading()
    {
        m_server->onQueryBookResult(
            QStringLiteral("books#Chemistry.pdf,Physics - mechanics.pdf,Geography of the world.pdf,"
                           "English reader.pdf,Music.pdf@end"));
        m_server->bookList()->setCurrentRow(1);
        m_server->onDownloadPdfProgress(1000, 420);
        QVERIFY(!m_server->progressBar()->isHidden());
        QVERIFY(show(m_server, "server_books"));
    }

    void eBookWithTeacherStrokes()
    {
        m_stack->setCurrentWidget(m_display);
        // A long book opening: the indicator sits in the middle of the screen.
        m_display->onOpeneBook(Settings::instance()->localBookDir() + "long.pdf");
        QTest::qWait(100);
        QVERIFY(m_display->waitingDialog()->isVisible());
        QCOMPARE(m_display->waitingDialog()->geometry().center(), m_window.geometry().center());
        TestArtifacts::saveScreen("ebook_opening", &m_window);
        m_display->onOpeneBook(Settings::instance()->localBookDir() + "lesson.pdf");
        QTRY_COMPARE_WITH_TIMEOUT(m_display->pageCount(), 12, 20000);
        QTRY_VERIFY(!m_display->isOpening());
        EBookItemDelegate *thumbnails = m_display->delegate();
        const QImage first = thumbnails->thumbnail(0).toImage();
        const QImage second = thumbnails->thumbnail(1).toImage();
        m_display->lineUpdatePage(0, "3#230,30,30,255#6#60,120 160,90 260,130 360,95 460,125 ");
        m_display->lineUpdatePage(0, "3#20,60,220,255#4#80,300 200,420 330,330 480,470 ");
        m_display->lineUpdatePage(1, "3#20,160,60,255#8#100,500 420,520 ");
        m_display->lineUpdatePage(0, "3#230,30,30,255#3#70,600 300,640 ");
        QTRY_VERIFY(thumbnails->thumbnail(0).toImage() != first &&
                    thumbnails->thumbnail(1).toImage() != second);
        QVERIFY(show(m_display, "ebook"));
        QCOMPARE(m_display->currentPage(), 0);
    }

    // The teacher on a page past the book: a notice over the top of the page, whole and
    // inside the canvas, in every language of the program; the box telling that a book did
    // not open has its own title in each.
    void pageNoticeInEveryLanguage()
    {
        QVERIFY(!m_display->isOpening());
        const QRect canvas = m_display->pageView()->geometry();
        const QString english = m_display->tr("The teacher is on page %1, but this book has "
                                              "only %2 pages.");
        for (const char *lang :
             {"en_US", "zh_CN", "zh_HK", "es_ES", "pt_PT", "fr_FR", "de_DE", "ar_EG", "ja_JP"}) {
            QTranslator translator;
            QVERIFY(translator.load(QStringLiteral(":/lang/lang/%1.qm").arg(lang)));
            QApplication::installTranslator(&translator);
            QVERIFY(!m_display->setCurrentPage(40));
            const QLabel *notice = m_display->pageNotice();
            QVERIFY(notice->isVisible());
            QVERIFY2(notice->text().contains("41") && notice->text().contains("12"),
                     qPrintable(notice->text()));
            QVERIFY2((notice->text() == english.arg(41).arg(12)) ==
                         (QLatin1String(lang) == "en_US"),
                     qPrintable(notice->text()));
            QVERIFY2(canvas.contains(notice->geometry()), lang);
            QCOMPARE(notice->width(), notice->sizeHint().width());
            const QString title = m_display->tr("Fail");
            QVERIFY2(!title.isEmpty() && title.size() < 20, qPrintable(title));
            if (QLatin1String(lang) == "de_DE" || QLatin1String(lang) == "ar_EG") {
                QTest::qWait(200); // painted
                QVERIFY(TestArtifacts::saveScreen(QStringLiteral("ebook_page_notice_") + lang,
                                                  &m_window));
            }
            QApplication::removeTranslator(&translator);
        }
        QCOMPARE(m_display->currentPage(), 0);
        QVERIFY(m_display->setCurrentPage(1));
        QVERIFY(m_display->pageNotice()->isHidden());
    }
};

QTEST_MAIN(TestBookScreensLook)
#include "tst_bookscreens_look.moc"
