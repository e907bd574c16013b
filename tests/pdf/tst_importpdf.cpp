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

    void imageSizes()
    {
        const auto whole = [](double widthPt, double heightPt) {
            const QSizeF size = PdfImportThread::imageSize(pixels(widthPt, heightPt));
            return QSize(int(size.width()), int(size.height()));
        };
        QCOMPARE(whole(595, 842), QSize(1200, 1698));
        QCOMPARE(whole(842, 595), QSize(1200, 847));
        QCOMPARE(whole(1000, 8), QSize(0, 0));         // too flat: skipped
        QCOMPARE(whole(100, 3000), QSize(480, 14400)); // too tall: narrower
        QCOMPARE(whole(10, 1e6), QSize(0, 0));         // too narrow once within the limit: skipped
        QCOMPARE(whole(0, 842), QSize(-1, -1));        // no width
        QCOMPARE(PdfImportThread::imageSize(QSizeF(qQNaN(), 10)), QSizeF());
        QCOMPARE(PdfImportThread::imageSize(QSizeF(10, qInf())), QSizeF());
    }

    // A tall page among ordinary ones renders smaller; the import goes on to its end.
    void tallPageIsImported()
    {
        PdfFixtures::Page letter;
        PdfFixtures::Page tall;
        tall.width = 100;
        tall.height = 3000;
        QVERIFY(PdfFixtures::write(path("tall.pdf"), {letter, tall, letter}));
        ImportPdf import;
        import.importFile(path("tall.pdf"), QString());
        watch(import);
        QVERIFY(!import.m_bFailed);
        QCOMPARE(import.m_nProgress.load(), 100);
        QVERIFY(!import.m_bCancelled);
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
