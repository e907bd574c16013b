#include "link/Settings.h"
#include "pdf/ImportPdf.h"
#include "pdf/PdfImportThread.h"
#include "support/PdfFixtures.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestImportPdf : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    static bool done(const ImportAdpter &adapter)
    {
        return adapter.m_bFailed || (!adapter.m_bRunning && adapter.m_nProgress == 100);
    }

    // Polls the status while the import runs; returns the progress values seen.
    static QList<int> watch(ImportAdpter &adapter)
    {
        QList<int> seen{adapter.m_nProgress.load()};
        QElapsedTimer timer;
        timer.start();
        while (!done(adapter) && timer.elapsed() < 20000) {
            if (adapter.m_nProgress != seen.last())
                seen << adapter.m_nProgress;
            QThread::usleep(200);
        }
        if (adapter.m_nProgress != seen.last())
            seen << adapter.m_nProgress;
        return seen;
    }

    static QSizeF pixels(double widthPt, double heightPt)
    {
        return QSizeF(widthPt * 96 / 72, heightPt * 96 / 72);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        PdfFixtures::Page a4;
        a4.width = 595;
        a4.height = 842;
        a4.text = true;
        QVERIFY(PdfFixtures::write(path("a4.pdf"), {a4, a4, a4, a4}));
        QVERIFY(PdfFixtures::book(path("ten.pdf"), 10));
        QVERIFY(PdfFixtures::textFile(path("notes.pdf")));
        QVERIFY(PdfFixtures::zeroPages(path("zero.pdf")));
    }

    void pageHeights()
    {
        QCOMPARE(PdfImportThread::pageHeight(pixels(595, 842)), 1698);
        QCOMPARE(PdfImportThread::pageHeight(pixels(842, 595)), 847);
        QCOMPARE(PdfImportThread::pageHeight(pixels(1000, 8)), 0);  // too flat: skipped
        QCOMPARE(PdfImportThread::pageHeight(pixels(0, 842)), -1);  // no width
        QCOMPARE(PdfImportThread::pageHeight(pixels(10, 1e6)), -1); // absurd height
        QCOMPARE(PdfImportThread::pageHeight(QSizeF(qQNaN(), 10)), -1);
        QCOMPARE(PdfImportThread::pageHeight(QSizeF(10, qInf())), -1);
    }

    void progressOfFourPages()
    {
        ImportPdf import;
        import.importFile(path("a4.pdf"), QString());
        const QList<int> seen = watch(import);
        QVERIFY(done(import));
        QVERIFY(!import.m_bFailed);
        QVERIFY(!import.m_bCancelled);
        QVERIFY(!import.m_bRunning);
        QCOMPARE(seen.last(), 100);
        for (int i = 0; i < seen.size(); ++i) {
            QVERIFY2(QList<int>({0, 22, 45, 67, 90, 100}).contains(seen.at(i)),
                     qPrintable(QString::number(seen.at(i))));
            QVERIFY(i == 0 || seen.at(i) > seen.at(i - 1));
        }
        QVERIFY(QFileInfo(Settings::instance()->dataRoot() + "a4.pdf").isDir());
    }

    void cancelIsToldApart()
    {
        ImportPdf import;
        import.importFile(path("ten.pdf"), QString());
        QTRY_VERIFY_WITH_TIMEOUT(import.m_nProgress > 0 || done(import), 10000);
        import.requestCancel();
        watch(import);
        QCOMPARE(import.m_nProgress.load(), 100);
        QVERIFY(!import.m_bFailed);
        QVERIFY(!import.m_bRunning);
        QVERIFY(import.m_bCancelled);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("not a pdf") << "notes.pdf";
        QTest::newRow("no pages") << "zero.pdf";
        QTest::newRow("missing") << "missing.pdf";
    }
    void failures()
    {
        QFETCH(QString, file);
        ImportPdf import;
        import.importFile(path(file), QString());
        watch(import);
        QVERIFY(import.m_bFailed);
        QCOMPARE(import.m_nProgress.load(), 0);
        QVERIFY(!import.m_bRunning);
        QVERIFY(QFileInfo(Settings::instance()->dataRoot() + file).isDir());
    }

    // Destroying the adapter while its worker runs waits for the worker to let go.
    void destroyWhileRunning()
    {
        auto import = std::make_unique<ImportPdf>();
        import->importFile(path("ten.pdf"), QString());
        QThread::msleep(5);
        import.reset();
        QVERIFY(QThreadPool::globalInstance()->waitForDone(10000));
    }
};

QTEST_GUILESS_MAIN(TestImportPdf)
#include "tst_importpdf.moc"
