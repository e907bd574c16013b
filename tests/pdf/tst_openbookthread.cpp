#include "pdf/OpenBookThread.h"
#include "support/PdfFixtures.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Records the signals of one worker, in the order they arrive, in the GUI thread.
class Recorder : public QObject
{
    Q_OBJECT
public:
    explicit Recorder(OpenBookThread *thread)
    {
        connect(thread, &OpenBookThread::clearPageSignal, this, [this] { note("clear"); });
        connect(thread, &OpenBookThread::addPageSignal, this, [this](const QPixmap &pixmap) {
            sizes << pixmap.size();
            note("page");
        });
        connect(thread, &OpenBookThread::openComplete, this, [this](const QString &path) {
            completed = path;
            note("complete");
        });
        connect(thread, &OpenBookThread::openFail, this, [this] { note("fail"); });
    }
    bool ended() const { return events.contains("complete") || events.contains("fail"); }

    QStringList events;
    QList<QSize> sizes;
    QString completed;
    bool offGuiThread = false;

private:
    void note(const char *event)
    {
        offGuiThread |= QThread::currentThread() != qApp->thread();
        events << QLatin1String(event);
    }
};

class TestOpenBookThread : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Runs a worker on file to its end and returns the signals it gave.
    QStringList open(const QString &file, QList<QSize> *sizes = nullptr,
                     QString *completed = nullptr)
    {
        OpenBookThread thread;
        Recorder recorder(&thread);
        thread.m_strPath = file;
        thread.start();
        const bool ended = QTest::qWaitFor([&recorder] { return recorder.ended(); }, 10000);
        thread.wait(5000);
        QTest::qWait(20); // nothing may follow the last signal
        if (sizes)
            *sizes = recorder.sizes;
        if (completed)
            *completed = recorder.completed;
        if (!ended || recorder.offGuiThread)
            return QStringList() << "broken";
        return recorder.events;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(PdfFixtures::book(path("five.pdf"), 5));
        QVERIFY(PdfFixtures::book(path("thirty.pdf"), 30));
        QVERIFY(PdfFixtures::zeroPages(path("zero.pdf")));
        QVERIFY(PdfFixtures::textFile(path("text.pdf")));
        QVERIFY(PdfFixtures::encrypted(path("encrypted.pdf")));
    }

    void fivePagesInOrder()
    {
        QList<QSize> sizes;
        QString completed;
        const QStringList events = open(path("five.pdf"), &sizes, &completed);
        QCOMPARE(events,
                 QStringList({"clear", "page", "page", "page", "page", "page", "complete"}));
        QCOMPARE(completed, path("five.pdf"));
        QCOMPARE(sizes.size(), 5);
        // US letter at 96 dpi is 816 x 1056, handed over at two thirds.
        for (const QSize &size : sizes)
            QCOMPARE(size, QSize(544, 704));
    }

    // Each page is two thirds of its image at 96 dpi in whole pixels, drawn to its edges.
    void oddPageSizes()
    {
        QList<PdfFixtures::Page> pages;
        for (const QSizeF &points : {QSizeF(100, 100), QSizeF(500.5, 700.3), QSizeF(612, 792),
                                     QSizeF(500.5, 700.3), QSizeF(37.3, 1000.9)}) {
            PdfFixtures::Page page;
            page.width = points.width();
            page.height = points.height();
            page.box = QRectF(QPointF(0, 0), points);
            pages << page;
        }
        pages[3].rotate = 90;
        QVERIFY(PdfFixtures::write(path("odd.pdf"), pages));
        OpenBookThread thread;
        QList<QImage> images;
        connect(&thread, &OpenBookThread::addPageSignal, this,
                [&images](const QPixmap &pixmap) { images << pixmap.toImage(); });
        Recorder recorder(&thread);
        thread.m_strPath = path("odd.pdf");
        thread.start();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.ended(), 10000);
        QVERIFY(thread.wait(5000));
        QCOMPARE(recorder.sizes, QList<QSize>({QSize(88, 88), QSize(444, 622), QSize(544, 704),
                                               QSize(622, 444), QSize(33, 890)}));
        for (const QImage &image : qAsConst(images)) {
            const QRgb red = QColor(Qt::red).rgb();
            QCOMPARE(image.pixel(0, 0), red);
            QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), red);
        }
    }

    void failuresEndWithOpenFailOnly_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("empty path") << QString();
        QTest::newRow("text named .pdf") << "text.pdf";
        QTest::newRow("encrypted") << "encrypted.pdf";
        QTest::newRow("missing") << "missing.pdf";
    }
    void failuresEndWithOpenFailOnly()
    {
        QFETCH(QString, file);
        QCOMPARE(open(file.isEmpty() ? QString() : path(file)), QStringList({"fail"}));
    }

    void zeroPagesCompleteEmpty()
    {
        QCOMPARE(open(path("zero.pdf")), QStringList({"clear", "complete"}));
    }

    void stopAfterFirstPage()
    {
        OpenBookThread thread;
        Recorder recorder(&thread);
        connect(&thread, &OpenBookThread::addPageSignal, &thread, [&thread] { thread.stop(); });
        thread.m_strPath = path("thirty.pdf");
        thread.start();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.ended(), 10000);
        QVERIFY(thread.wait(5000));
        QTest::qWait(20);
        QCOMPARE(recorder.events.first(), QStringLiteral("clear"));
        QCOMPARE(recorder.events.last(), QStringLiteral("complete"));
        QVERIFY(recorder.sizes.size() >= 1);
        QVERIFY(recorder.sizes.size() <= 2);
        QCOMPARE(recorder.events.size(), recorder.sizes.size() + 2);
    }

    // The screen's way: stop the running book, open the next one on its completion.
    void secondBookAfterStop()
    {
        OpenBookThread first;
        Recorder one(&first);
        first.m_strPath = path("thirty.pdf");
        OpenBookThread second;
        Recorder two(&second);
        second.m_strPath = path("five.pdf");
        connect(&first, &OpenBookThread::openComplete, &second, [&second] { second.start(); });
        first.start();
        first.stop();
        QTRY_VERIFY_WITH_TIMEOUT(two.ended(), 10000);
        QVERIFY(first.wait(5000));
        QVERIFY(second.wait(5000));
        QVERIFY(one.sizes.size() <= 1);
        QCOMPARE(two.events.size(), 7);
        QCOMPARE(two.completed, path("five.pdf"));
    }

    // Two workers at once, each with its own renderer.
    void twoWorkersAtOnce()
    {
        OpenBookThread a;
        OpenBookThread b;
        Recorder ra(&a);
        Recorder rb(&b);
        a.m_strPath = path("five.pdf");
        b.m_strPath = path("five.pdf");
        a.start();
        b.start();
        QTRY_VERIFY_WITH_TIMEOUT(ra.ended() && rb.ended(), 10000);
        QVERIFY(a.wait(5000));
        QVERIFY(b.wait(5000));
        QCOMPARE(ra.sizes.size(), 5);
        QCOMPARE(rb.sizes.size(), 5);
    }
};

QTEST_MAIN(TestOpenBookThread)
#include "tst_openbookthread.moc"
