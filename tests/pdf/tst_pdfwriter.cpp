#include "pdf/PrintPdfManager.h"

#include "pdf/tst_pdfwriter_probe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using pdfprobe::near;
using pdfprobe::PdfPage;
using pdfprobe::readPdf;

class TestPdfWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_dir; // with non-Latin-1 characters

    QString jpeg(const QString &name, int w, int h, const QColor &color)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(color);
        const QString path = m_dir + name;
        if (!image.save(path, "JPG", 100))
            return QString();
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        m_dir = m_tmp.path() + QString::fromUtf8("/导出 ノート/");
        QVERIFY(QDir().mkpath(m_dir));
    }

    void threePages()
    {
        PrintPdfManager writer;
        QVERIFY(writer.isValid());
        const QString a = jpeg(QString::fromUtf8("页一.jpg"), 600, 800, Qt::red);
        const QString b = jpeg("b.jpg", 800, 600, QColor(0, 160, 0));
        const QString c = jpeg("c.jpg", 600, 800, Qt::blue);
        QVERIFY(writer.addImagePage(a, 600, 800));
        QVERIFY(writer.addImagePage(b, 800, 600));
        QVERIFY(writer.addImagePage(c, 600, 800));
        const QString out = m_dir + QString::fromUtf8("笔记.pdf");
        QVERIFY(writer.save(out));

        const QList<PdfPage> pages = readPdf(out);
        QCOMPARE(pages.size(), 3);
        const QList<QSizeF> sizes{{600, 800}, {800, 600}, {600, 800}};
        const QList<QColor> colors{Qt::red, QColor(0, 160, 0), Qt::blue};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pages[i].size, sizes[i]);
            const QImage &image = pages[i].image;
            const QColor middle = image.pixelColor(image.width() / 2, image.height() / 2);
            QVERIFY2(near(middle, colors[i]), qPrintable(middle.name()));
        }

        // Saving again after another page includes it.
        QVERIFY(writer.addImagePage(a, 600, 800));
        QVERIFY(writer.save(out));
        QCOMPARE(readPdf(out).size(), 4);
    }

    void largeDocumentIsWrittenWhole()
    {
        // A noisy picture makes a JPEG, and so a PDF, of many write blocks.
        QImage noise(700, 500, QImage::Format_RGB32);
        quint32 seed = 12345;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x) {
                seed = seed * 1103515245u + 12345u;
                noise.setPixel(x, y, seed >> 8);
            }
        for (int y = 200; y < 300; ++y)
            for (int x = 300; x < 400; ++x)
                noise.setPixel(x, y, qRgb(0, 0, 255));
        const QString image = m_dir + "noise.jpg";
        QVERIFY(noise.save(image, "JPG", 100));
        QVERIFY(QFileInfo(image).size() > 3 * 64 * 1024);

        PrintPdfManager writer;
        QVERIFY(writer.addImagePage(image, 700, 500));
        QVERIFY(writer.addImagePage(image, 700, 500));
        const QString out = m_dir + "large.pdf";
        QVERIFY(writer.save(out));
        QVERIFY(QFileInfo(out).size() > 2 * QFileInfo(image).size());
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().trimmed().endsWith("%%EOF"));

        const QList<PdfPage> pages = readPdf(out);
        QCOMPARE(pages.size(), 2);
        for (const PdfPage &page : pages) {
            QCOMPARE(page.size, QSizeF(700, 500));
            QVERIFY(near(page.image.pixelColor(350, 250), Qt::blue));
        }
    }

    void pageLargerThanImage()
    {
        PrintPdfManager writer;
        QVERIFY(writer.addImagePage(jpeg("small.jpg", 200, 100, Qt::red), 400, 300));
        const QString out = m_dir + "larger.pdf";
        QVERIFY(writer.save(out));
        const QList<PdfPage> pages = readPdf(out);
        QCOMPARE(pages.size(), 1);
        const QImage &image = pages[0].image;
        QVERIFY(near(image.pixelColor(50, 250), Qt::red));   // lower left
        QVERIFY(near(image.pixelColor(350, 50), Qt::white)); // upper right
    }

    void failingPageLeavesNoFile()
    {
        PrintPdfManager writer;
        QVERIFY(writer.addImagePage(jpeg("ok.jpg", 100, 100, Qt::red), 100, 100));
        QVERIFY(!writer.addImagePage(m_dir + "missing.jpg", 100, 100));
        QVERIFY(!writer.addImagePage(jpeg("ok.jpg", 100, 100, Qt::red), 2, 100));
        QVERIFY(!writer.addImagePage(jpeg("ok.jpg", 100, 100, Qt::red), 100, 20000));
        QVERIFY(writer.isValid()); // refused before reaching the library

        QFile notJpeg(m_dir + "fake.jpg");
        QVERIFY(notJpeg.open(QIODevice::WriteOnly));
        notJpeg.write("\xff\xd8 this is not a jpeg at all");
        notJpeg.close();
        QVERIFY(!writer.addImagePage(notJpeg.fileName(), 100, 100));
        QVERIFY(!writer.isValid());
        const QString out = m_dir + "failed.pdf";
        QVERIFY(!writer.save(out));
        QVERIFY(!QFile::exists(out));
    }

    void unwritablePath()
    {
        PrintPdfManager writer;
        QVERIFY(writer.addImagePage(jpeg("ok.jpg", 100, 100, Qt::red), 100, 100));
        const QString out = m_dir + "no/such/folder/x.pdf";
        QVERIFY(!writer.save(out));
        QVERIFY(!QFile::exists(out));
        QVERIFY(!writer.save(m_dir)); // a folder
        const QStringList left = QDir(m_dir).entryList({"*.pdf*"}, QDir::Files);
        for (const QString &name : left)
            QVERIFY2(!name.contains("x.pdf"), qPrintable(name));
    }

    void emptyDocumentSaves()
    {
        PrintPdfManager writer;
        const QString out = m_dir + "empty.pdf";
        QVERIFY(writer.save(out));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
    }
};

QTEST_MAIN(TestPdfWriter)
#include "tst_pdfwriter.moc"
