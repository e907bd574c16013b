#include "pdf/AbortableOutputDev.h"
#include "pdf/PageImageLimit.h"
#include "pdf/PopplerGlobals.h"
#include "pdf/XPDFRenderer.h"
#include "support/PdfFixtures.h"

#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtConcurrent>
#include <QtTest>

#include <memory>

#include <poppler/PDFDoc.h>
#include <poppler/goo/GooString.h>
#include <poppler/splash/SplashBitmap.h>

class TestXpdfRenderer : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    static bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
    static bool isWhite(QRgb c) { return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        PdfFixtures::Page portrait;
        PdfFixtures::Page landscape;
        landscape.width = 792;
        landscape.height = 612;
        PdfFixtures::Page rotated;
        rotated.rotate = 90;
        QVERIFY(PdfFixtures::write(path("sizes.pdf"), {portrait, landscape, rotated}));
        PdfFixtures::Page box;
        box.width = 200;
        box.height = 100;
        box.box = QRectF(60, 30, 90, 45);
        box.colour = Qt::red;
        QVERIFY(PdfFixtures::write(path("box.pdf"), {box}));
        QVERIFY(PdfFixtures::book(path("book.pdf"), 1));
        QVERIFY(PdfFixtures::zeroPages(path("zero.pdf")));
        QVERIFY(PdfFixtures::encrypted(path("encrypted.pdf")));
        QVERIFY(PdfFixtures::damaged(path("damaged.pdf")));
        QVERIFY(PdfFixtures::textFile(path("text.pdf")));
    }

    void pageSizesAt96Dpi()
    {
        XPDFRenderer pdf(path("sizes.pdf"));
        QVERIFY(pdf.isValid());
        QCOMPARE(pdf.pageCount(), 3);
        QCOMPARE(pdf.pageSizeF(1), QSizeF(816, 1056));
        QCOMPARE(pdf.pageSizeF(2), QSizeF(1056, 816));
        QCOMPARE(pdf.pageRotation(3), 90);
        QCOMPARE(pdf.pageSizeF(3), QSizeF(1056, 816));
        QCOMPARE(pdf.pageImage(1).size(), QSize(816, 1056));
        QCOMPARE(pdf.pageImage(2).size(), QSize(1056, 816));
        QCOMPARE(pdf.pageImage(3).size(), QSize(1056, 816));
    }

    void outOfRangePages()
    {
        XPDFRenderer pdf(path("sizes.pdf"));
        for (int page : {0, -1, 4, 1000000}) {
            QVERIFY(pdf.pageImage(page).isNull());
            QCOMPARE(pdf.pageSizeF(page), QSizeF(0, 0));
            QCOMPARE(pdf.pageRotation(page), 0);
        }
        QVERIFY(pdf.pageImage(1, 0.0, 1.0, QRectF()).isNull());
        QVERIFY(pdf.pageImage(1, qQNaN(), 1.0, QRectF()).isNull());
        QVERIFY(pdf.pageImage(1, 1.0, 1.0, QRectF(5000, 5000, 10, 10)).isNull());
    }

    void colourOfKnownRectangle()
    {
        XPDFRenderer pdf(path("box.pdf"));
        const QImage image = pdf.pageImage(1);
        QCOMPARE(image.size(), QSize(267, 133));
        // Box (60, 30, 90, 45) pt is (80, 40, 120, 60) px at 96 dpi.
        QVERIFY(isRed(image.pixel(140, 70)));
        QVERIFY(isRed(image.pixel(82, 42)));
        QVERIFY(isWhite(image.pixel(77, 70)));
        QVERIFY(isWhite(image.pixel(140, 103)));
        QVERIFY(isWhite(image.pixel(5, 5)));
    }

    // The image keeps its pixels after the next render and after the renderer is gone.
    void imageOutlivesRenderer()
    {
        QImage first;
        {
            XPDFRenderer pdf(path("box.pdf"));
            first = pdf.pageImage(1);
            const QImage second = pdf.pageImage(1, 2.0, 2.0, QRectF());
            QCOMPARE(second.size(), QSize(533, 267));
        }
        QVERIFY(isRed(first.pixel(140, 70)));
        QVERIFY(isWhite(first.pixel(5, 5)));
    }

    void sliceRender()
    {
        XPDFRenderer pdf(path("box.pdf"));
        const QImage whole = pdf.pageImage(1, 2.0, 2.0, QRectF());
        const QImage slice = pdf.pageImage(1, 2.0, 2.0, QRectF(10, 20, 100, 50));
        QCOMPARE(slice.size(), QSize(200, 100));
        for (const QPoint p : {QPoint(0, 0), QPoint(150, 60), QPoint(199, 99), QPoint(160, 10)})
            QCOMPARE(slice.pixel(p), whole.pixel(p + QPoint(20, 40)));

        // Through a painter: the slice lands at its place, scaled, nothing else is drawn.
        QImage canvas(600, 300, QImage::Format_RGB32);
        canvas.fill(Qt::blue);
        QPainter painter(&canvas);
        painter.scale(2.0, 2.0);
        pdf.render(&painter, 1, QRectF(10, 20, 100, 50));
        painter.end();
        QCOMPARE(canvas.pixel(10, 10), QColor(Qt::blue).rgb());
        QVERIFY(isWhite(canvas.pixel(25, 45)));
        QVERIFY(isRed(canvas.pixel(200, 100)));
        QCOMPARE(canvas.pixel(230, 150), QColor(Qt::blue).rgb());
    }

    void veryLargePageRendersReduced()
    {
        XPDFRenderer pdf(path("sizes.pdf"));
        const QImage image = pdf.pageImage(1, 12.0, 12.0, QRectF());
        QVERIFY(!image.isNull());
        QVERIFY(PageImageLimit::fits(image.size()));
        QVERIFY(double(image.width()) * image.height() > PageImageLimit::kMaxPixels * 0.99);
        QVERIFY(qAbs(double(image.width()) / image.height() - 816.0 / 1056.0) < 0.01);
    }

    void unusableFilesAreInvalid_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty path") << QString();
        QTest::newRow("missing") << "missing.pdf";
        QTest::newRow("text named .pdf") << "text.pdf";
        QTest::newRow("damaged") << "damaged.pdf";
        QTest::newRow("encrypted") << "encrypted.pdf";
    }
    void unusableFilesAreInvalid()
    {
        QFETCH(QString, name);
        XPDFRenderer pdf(name.isEmpty() ? QString() : path(name));
        QVERIFY(!pdf.isValid());
        QCOMPARE(pdf.pageCount(), 0);
        QVERIFY(pdf.pageImage(1).isNull());
        QCOMPARE(pdf.pageSizeF(1), QSizeF(0, 0));
        QVERIFY(pdf.title().isEmpty());
        QImage canvas(10, 10, QImage::Format_RGB32);
        QPainter painter(&canvas);
        pdf.render(&painter, 1);
    }

    void zeroPagesIsValidAndEmpty()
    {
        XPDFRenderer pdf(path("zero.pdf"));
        QVERIFY(pdf.isValid());
        QCOMPARE(pdf.pageCount(), 0);
        QVERIFY(pdf.pageImage(1).isNull());
    }

    void title_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("expected");
        const QString text = QString::fromUtf8("Übung ノート");
        QTextCodec *be = QTextCodec::codecForName("UTF-16BE");
        QTextCodec *le = QTextCodec::codecForName("UTF-16LE");
        QTest::newRow("none") << QByteArray() << QString();
        QTest::newRow("utf-8") << text.toUtf8() << text;
        QTest::newRow("utf-16be") << QByteArray("\xFE\xFF") + be->fromUnicode(text) << text;
        QTest::newRow("utf-16le") << QByteArray("\xFF\xFE") + le->fromUnicode(text) << text;
        QTest::newRow("utf-16 nul") << QByteArray("\xFE\xFF\x00\x41\x00\x00\x00\x42", 8) << "A";
        QTest::newRow("utf-16 odd") << QByteArray("\xFE\xFF\x00\x41\x00", 5) << "A";
        QTest::newRow("utf-8 nul") << QByteArray("ab\0cd", 5) << "ab";
    }
    void title()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, expected);
        QCOMPARE(XPDFRenderer::decodeTitle(raw), expected);
        QVERIFY(PdfFixtures::withTitle(path("title.pdf"), raw));
        XPDFRenderer pdf(path("title.pdf"));
        QVERIFY(pdf.isValid());
        QCOMPARE(pdf.title(), expected);
    }

    void abortCheckStopsRender()
    {
        XPDFRenderer pdf(path("book.pdf"));
        pdf.setAbortCheck([] { return true; });
        QVERIFY(pdf.pageImage(1).isNull());
        // Checked again while the page is drawn.
        int calls = 0;
        pdf.setAbortCheck([&calls] { return ++calls > 1; });
        QVERIFY(pdf.pageImage(1).isNull());
        QVERIFY(calls > 1);
        pdf.setAbortCheck(nullptr);
        QVERIFY(!pdf.pageImage(1).isNull());
    }

    // Once a page is stopped no image of it is drawn, however small: the output device asks
    // before each one, while the page's drawing itself looks only every tenth operation.
    void stoppedPageDrawsNoImage()
    {
        for (const bool stencil : {false, true}) {
            const QString file = path(stencil ? "small-stencil.pdf" : "small-image.pdf");
            QVERIFY(PdfFixtures::hugeImage(file, 64, stencil));
            PopplerGlobals::ensure();
            PDFDoc doc(std::make_unique<GooString>(QFile::encodeName(file).toStdString()));
            QVERIFY(doc.isOk());
            bool stopped = false;
            SplashColor paper = {255, 255, 255, 255};
            AbortableOutputDev device(paper, [&stopped] { return stopped; });
            device.startDoc(&doc);
            const auto centre = [&] {
                doc.displayPage(
                    &device, 2, 72, 72, 0, false, true, false,
                    [](void *data) { return *static_cast<bool *>(data); }, &stopped);
                SplashColor pixel;
                device.getBitmap()->getPixel(306, 396, pixel);
                return QColor(pixel[0], pixel[1], pixel[2]);
            };
            const QColor ink = stencil ? QColor(Qt::blue) : QColor(Qt::black);
            QCOMPARE(centre(), ink);
            stopped = true;
            QCOMPARE(centre(), QColor(Qt::white));
        }
    }

    // Renderers made, used and destroyed on several threads at once share one
    // parameters object safely; it survives the last renderer.
    void renderersOnSeveralThreads()
    {
        const QString file = path("box.pdf");
        auto work = [file] {
            int good = 0;
            for (int i = 0; i < 8; ++i) {
                XPDFRenderer pdf(file);
                const QImage image = pdf.pageImage(1);
                good += !image.isNull() && isRed(image.pixel(140, 70));
            }
            return good;
        };
        QFuture<int> a = QtConcurrent::run(work);
        QFuture<int> b = QtConcurrent::run(work);
        QCOMPARE(a.result() + b.result(), 16);
        QCOMPARE(XPDFRenderer::openCount(), 0);
        XPDFRenderer again(file);
        QVERIFY(isRed(again.pageImage(1).pixel(140, 70)));
    }

    void documentMap()
    {
        const QUuid id = QUuid::createUuid();
        QPointer<PDFRenderer> first = PDFRenderer::open(id, path("box.pdf"));
        QVERIFY(first);
        QCOMPARE(PDFRenderer::open(id, path("sizes.pdf")), first.data());
        QFile file(path("box.pdf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(first->data(), file.readAll());
        QCOMPARE(first->id(), id);
        QCOMPARE(first->pageCount(), 1);
        QVERIFY(first->ref());
        QVERIFY(first->ref());
        first->deref();
        QVERIFY(first);
        first->deref();
        QVERIFY(!first);
        PDFRenderer *second = PDFRenderer::open(id, path("sizes.pdf"));
        QCOMPARE(second->pageCount(), 3);
        second->ref();
        second->deref();
    }
};

QTEST_GUILESS_MAIN(TestXpdfRenderer)
#include "tst_xpdfrenderer.moc"
