#include "link/Settings.h"
#include "pages/DisplayPage.h"
#include "pages/HSPage.h"
#include "pages/PageView.h"
#include "pages/PictureData.h"
#include "pdf/XPDFRenderer.h"
#include "screens/DisplayWidget.h"
#include "support/PdfFixtures.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

// A book page with more pixels than one page image may have comes within the limit when the
// book opens, so that everything which decodes the page again shows it: the canvas when the
// student comes back to the page, the PDF export and a rotation.
class TestLargeBookPages : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    static QString bookPath() { return Settings::instance()->localBookDir() + "poster.pdf"; }

    static HSPage pageFile(DisplayWidget &screen, int index)
    {
        HSPage page;
        page.read(screen.pageView()->document()->pagePath(index));
        return page;
    }

    // The page shown, drawn at a tenth of its size.
    static QImage shown(DisplayWidget &screen)
    {
        DisplayPage *scene = screen.pageView()->pageScene();
        QImage image((scene->sceneRect().size() / 10).toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene->render(&painter);
        return image;
    }

    static bool isRed(const QColor &c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        PdfFixtures::Page letter;
        letter.box = QRectF(0, 0, 612, 792);
        letter.colour = Qt::blue;
        PdfFixtures::Page poster;
        poster.width = 6000;
        poster.height = 4000;
        poster.box = QRectF(0, 0, 3000, 4000); // its left half
        QVERIFY(PdfFixtures::write(bookPath(), {letter, poster, letter}));
        Settings::instance()->m_nMode = 0;
    }

    void hugePageKeepsItsBackground()
    {
        DisplayWidget screen;
        screen.onOpeneBook(bookPath());
        QVERIFY(QTest::qWaitFor([&] { return !screen.isOpening(); }, 30000));
        QCOMPARE(screen.pageCount(), 3);
        const QSize size(5016, 3344);
        const HSPage file = pageFile(screen, 1);
        QCOMPARE(file.m_size, size); // 5,333 x 3,555 brought within the limit
        QCOMPARE(PictureData::decodeBase64(file.m_baImage).size(), size);

        // Left and shown again.
        QVERIFY(screen.setCurrentPage(1));
        QVERIFY(screen.setCurrentPage(0));
        QVERIFY(screen.setCurrentPage(1));
        QImage image = shown(screen);
        QVERIFY(isRed(image.pixelColor(100, 160)));
        QCOMPARE(image.pixelColor(400, 160), QColor(Qt::white));

        // Exported with its background.
        Settings::instance()->m_strSavePdfPath = m_dir.filePath("export.pdf");
        QVERIFY(screen.saveAsPdf());
        {
            XPDFRenderer pdf(m_dir.filePath("export.pdf"));
            QCOMPARE(pdf.pageCount(), 3);
            QCOMPARE(pdf.pageSizeF(2), QSizeF(size) * 96 / 72);
            image = pdf.pageImage(2, 0.1, 0.1, QRectF());
            QVERIFY(isRed(image.pixelColor(image.width() / 4, image.height() / 2)));
        }

        // Turned a quarter clockwise: the left half is now on top.
        screen.rotatePage(1);
        QVERIFY(QTest::qWaitFor([&] { return pageFile(screen, 1).m_size == size.transposed(); }));
        QVERIFY(QTest::qWaitFor([&] { return !screen.waitingDialog()->isVisible(); }, 10000));
        image = shown(screen);
        QCOMPARE(image.size(), size.transposed() / 10);
        QVERIFY(isRed(image.pixelColor(160, 100)));
        QCOMPARE(image.pixelColor(160, 400), QColor(Qt::white));
    }
};

QTEST_MAIN(TestLargeBookPages)
#include "tst_largebookpages.moc"
