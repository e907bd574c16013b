#include "link/Settings.h"
#include "pages/Document.h"
#include "pages/HSPage.h"
#include "pdf/XPDFRenderer.h"

#include "pdf/tst_pdfwriter_probe.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestDocument : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_folder;

    static HSPage readFile(const QString &path)
    {
        HSPage page;
        page.read(path);
        return page;
    }

    static QPixmap filled(int w, int h, const QColor &color)
    {
        QPixmap p(w, h);
        p.fill(color);
        return p;
    }

    // A figure of /proc/self/status in kB.
    static qint64 statusKb(const char *field)
    {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        const QRegularExpression line(QLatin1String(field) + ":\\s+(\\d+)");
        return line.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
    }

    void makeDocument(Document &doc, int pages)
    {
        doc.m_strFolder = m_folder;
        for (int i = 0; i < pages; ++i)
            QVERIFY(doc.addBlankPage(100 + i, 200, false));
    }

private slots:
    void init()
    {
        m_folder = m_tmp.path() + QString::fromUtf8("/笔记/");
        QDir(m_folder).removeRecursively();
        QVERIFY(QDir().mkpath(m_folder));
    }

    void appendNamesPages()
    {
        Document doc;
        makeDocument(doc, 3);
        QCOMPARE(doc.m_listPageNames, (QList<QString>{"page1.crp", "page2.crp", "page3.crp"}));
        QCOMPARE(doc.m_nCurrIndex, -1);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(readFile(doc.pagePath(i)).m_size, QSize(100 + i, 200));
        QVERIFY(doc.addPixmapPage(filled(30, 20, Qt::red), true));
        const HSPage pixmapPage = readFile(doc.pagePath(3));
        QCOMPARE(pixmapPage.m_size, QSize(30, 20));
        QVERIFY(pixmapPage.m_bInit);
        QVERIFY(!pixmapPage.m_baImage.isEmpty());
    }

    void switchingSavesHeldPage()
    {
        Document doc;
        makeDocument(doc, 2);
        doc.setCurrpage(0, false);
        QCOMPARE(doc.m_nCurrIndex, 0);
        QCOMPARE(doc.m_currPage.m_size, QSize(100, 200));
        doc.m_currPage.appendItem("3#0,0,0,255#3#1,1 5,5 ");
        QVERIFY(readFile(doc.pagePath(0)).m_listItems.isEmpty()); // memory only

        doc.setCurrpage(1, false);
        QCOMPARE(readFile(doc.pagePath(0)).m_listItems.size(), 1);
        QCOMPARE(doc.m_currPage.m_size, QSize(101, 200));
        QVERIFY(doc.m_currPage.m_listItems.isEmpty());

        doc.m_currPage.appendItem("lost");
        doc.setCurrpage(0, true); // no save: changes of page 2 are dropped
        QVERIFY(readFile(doc.pagePath(1)).m_listItems.isEmpty());
        QCOMPARE(doc.m_currPage.m_listItems.size(), 1);

        doc.setCurrpage(5, false);
        QCOMPARE(doc.m_nCurrIndex, 0);
    }

    void addRecordLandsInTheRightPlace()
    {
        Document doc;
        makeDocument(doc, 2);
        doc.setCurrpage(0, false);
        QVERIFY(doc.addRecord(0, "held"));
        QVERIFY(doc.addRecord(1, "other"));
        QVERIFY(!doc.addRecord(2, "nowhere"));
        QVERIFY(readFile(doc.pagePath(0)).m_listItems.isEmpty());
        QCOMPARE(readFile(doc.pagePath(1)).m_listItems, QList<QString>{"other"});
        QCOMPARE(doc.m_currPage.m_listItems, QList<QString>{"held"});
        QVERIFY(doc.saveCurrent());
        QCOMPARE(readFile(doc.pagePath(0)).m_listItems, QList<QString>{"held"});

        // A damaged page file is not overwritten.
        QFile damaged(doc.pagePath(1));
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("\x00\x00\x00\x01", 4);
        damaged.close();
        QVERIFY(!doc.addRecord(1, "more"));
        QCOMPARE(QFileInfo(doc.pagePath(1)).size(), qint64(4));
    }

    void resizeRotateAndInit()
    {
        Document doc;
        makeDocument(doc, 2);
        QVERIFY(doc.addPixmapPage(filled(80, 60, Qt::blue), true));
        doc.setCurrpage(2, false);
        doc.m_currPage.appendItem("kept in memory");
        QVERIFY(doc.resizepage(2, 300, 400));
        const HSPage blank = readFile(doc.pagePath(2));
        QCOMPARE(blank.m_size, QSize(300, 400));
        QVERIFY(blank.m_baImage.isEmpty() && blank.m_listItems.isEmpty() && !blank.m_bInit);
        QCOMPARE(doc.m_currPage.m_listItems.size(), 1);

        doc.setCurrpage(2, true);
        doc.m_currPage.setPixmap(filled(80, 60, Qt::blue));
        doc.rotateCurrent();
        QCOMPARE(readFile(doc.pagePath(2)).m_size, QSize(60, 80));

        doc.addBlankPage(10, 10, true);
        doc.resetPagesInit();
        for (int i = 0; i < doc.pageCount(); ++i)
            QVERIFY(!readFile(doc.pagePath(i)).m_bInit);
        QVERIFY(!doc.m_currPage.m_bInit);
    }

    void clearAllRestartsNumbering()
    {
        Document doc;
        makeDocument(doc, 3);
        doc.setCurrpage(1, false);
        doc.clearAll();
        QCOMPARE(doc.pageCount(), 0);
        QCOMPARE(doc.m_nCurrIndex, -1);
        QVERIFY(QDir(m_folder).entryList(QDir::Files).isEmpty());
        QVERIFY(doc.addBlankPage(5, 5, false));
        QCOMPARE(doc.m_listPageNames, QList<QString>{"page1.crp"});
    }

    void removeNeverReusesListedName()
    {
        Document doc;
        makeDocument(doc, 3);
        doc.setCurrpage(2, false);
        doc.removePage(0);
        QCOMPARE(doc.m_listPageNames, (QList<QString>{"page2.crp", "page3.crp"}));
        QCOMPARE(doc.m_nCurrIndex, 1); // still page3
        QVERIFY(doc.addBlankPage(7, 7, false));
        QCOMPARE(doc.m_listPageNames.last(), QString("page4.crp"));
        QCOMPARE(readFile(doc.pagePath(1)).m_size, QSize(102, 200));

        HSPage out;
        QVERIFY(doc.getPage(1, out));
        QCOMPARE(out.m_size, QSize(102, 200));
        QVERIFY(doc.getPage(2, out));
        QCOMPARE(out.m_size, QSize(7, 7));
        QVERIFY(!doc.getPage(3, out));
    }

    void destructorRemovesFiles()
    {
        {
            Document doc;
            makeDocument(doc, 2);
        }
        QVERIFY(QDir(m_folder).entryList(QDir::Files).isEmpty());
    }

    void exportPdf()
    {
        Document doc;
        doc.m_strFolder = m_folder;
        QVERIFY(doc.addPixmapPage(filled(600, 800, Qt::red), false));
        QVERIFY(doc.addPixmapPage(filled(800, 600, QColor(0, 160, 0)), false));
        QVERIFY(doc.addBlankPage(300, 500, false));
        QVERIFY(doc.addRecord(2, "3#0,0,255,255#200#0,250 300,250 "));
        const QString out = m_folder + QString::fromUtf8("导出.pdf");
        Settings::instance()->m_strSavePdfPath = out;
        QVERIFY(doc.exportPdf());

        const QList<pdfprobe::PdfPage> pages = pdfprobe::readPdf(out);
        QCOMPARE(pages.size(), 3);
        const QList<QSizeF> sizes{{600, 800}, {800, 600}, {300, 500}};
        const QList<QColor> colors{Qt::red, QColor(0, 160, 0), Qt::blue};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pages[i].size, sizes[i]);
            const QImage &image = pages[i].image;
            const QColor middle = image.pixelColor(image.width() / 2, image.height() / 2);
            QVERIFY2(pdfprobe::near(middle, colors[i]), qPrintable(middle.name()));
        }
        // The white page background under the stroke.
        QVERIFY(pdfprobe::near(pages[2].image.pixelColor(150, 20), Qt::white));
        QVERIFY(QFile::exists(Settings::instance()->tempBooksDir() + "temp_jpg.jpg"));
    }

    // Odd page sizes are written within the PDF page sizes, drawn within the page image limit
    // and stretched over their pages; a page whose file cannot be read is written blank. No
    // page costs the others, nor the export its memory.
    void oddPagesAreWrittenWithinLimits()
    {
        Document doc;
        doc.m_strFolder = m_folder;
        const QList<QSize> sizes{{1, 600}, {2, 600}, {16384, 600}, {14400, 14400}, {300, 500}};
        for (const QSize &size : sizes)
            QVERIFY(doc.addBlankPage(size.width(), size.height(), false));
        QVERIFY(doc.addRecord(3, "3#0,0,255,255#400#13600,400 14000,400 ")); // top right
        QVERIFY(doc.addRecord(4, "3#0,0,255,255#200#0,250 300,250 "));
        QVERIFY(doc.addBlankPage(300, 500, false));
        QFile damaged(doc.pagePath(5));
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("damaged");
        damaged.close();
        const QString out = m_folder + "odd.pdf";
        Settings::instance()->m_strSavePdfPath = out;

        QFile clearRefs("/proc/self/clear_refs"); // starts the peak memory afresh
        QVERIFY(clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1);
        clearRefs.close();
        const qint64 before = statusKb("VmRSS");
        QList<int> blank;
        QVERIFY(doc.exportPdf(&blank));
        const qint64 peak = statusKb("VmHWM") - before;
        QCOMPARE(blank, QList<int>{5}); // the damaged one; the others are blank as added
        QVERIFY2(peak < 200 * 1024, qPrintable(QString::number(peak)));

        XPDFRenderer pdf(out);
        QCOMPARE(pdf.pageCount(), 6);
        const QList<QSizeF> points{{3, 600},       {3, 600},   {14400, 600},
                                   {14400, 14400}, {300, 500}, {300, 500}};
        for (int i = 0; i < points.size(); ++i)
            QCOMPARE(pdf.pageSizeF(i + 1), points.at(i) * 96 / 72);
        const QImage huge = pdf.pageImage(4, 0.01, 0.01, QRectF());
        QVERIFY(pdfprobe::near(huge.pixelColor(186, 5), Qt::blue));
        QVERIFY(pdfprobe::near(huge.pixelColor(100, 100), Qt::white));
        QVERIFY(pdfprobe::near(pdf.pageImage(5).pixelColor(200, 333), Qt::blue));
        QVERIFY(pdfprobe::near(pdf.pageImage(6).pixelColor(200, 333), Qt::white));
    }

    void failedExportLeavesNoFile()
    {
        const QString out = m_folder + "failed.pdf";
        Settings::instance()->m_strSavePdfPath = out;
        {
            Document doc;
            doc.m_strFolder = m_folder;
            QVERIFY(doc.addBlankPage(100, 100, false));
            QVERIFY(doc.addBlankPage(2, 100, false)); // too small for a PDF page: widened
            QVERIFY(doc.exportPdf());
            QVERIFY(QFile::remove(out));
        }
        {
            // The page image cannot be written: no page may reuse an older image.
            const QString jpg = Settings::instance()->tempBooksDir() + "temp_jpg.jpg";
            QFile::remove(jpg);
            QVERIFY(QDir().mkpath(jpg));
            Document doc;
            doc.m_strFolder = m_folder;
            QVERIFY(doc.addBlankPage(100, 100, false));
            QVERIFY(!doc.exportPdf());
            QVERIFY(!QFile::exists(out));
            QVERIFY(QDir(jpg).removeRecursively());
        }
        {
            Document doc;
            doc.m_strFolder = m_folder;
            QVERIFY(doc.addBlankPage(100, 100, false));
            Settings::instance()->m_strSavePdfPath = m_folder + "missing/dir/x.pdf";
            QVERIFY(!doc.exportPdf());
            QVERIFY(!QFile::exists(Settings::instance()->m_strSavePdfPath));
        }
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
