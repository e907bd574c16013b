#include "pdf/XPDFRenderer.h"
#include "support/PdfFixtures.h"
#include "support/TestArtifacts.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Images too large to be drawn as they are, reduced while they are read, against pdftoppm
// drawing the same pages with the images at full size.
class TestImageReduction : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Share of the blocks of 8 x 8 pixels whose mean colour differs from the reference's by
    // more than 6 of 255 in a channel, and the mean difference of single pixels. Blocks, as
    // where a thin line or a dither's dot falls inside one is drawn a little differently
    // by any resampling; what a block shows is not.
    static QPair<double, double> difference(const QImage &ours, const QImage &reference)
    {
        constexpr int kBlock = 8;
        int off = 0;
        int blocks = 0;
        qint64 pixels = 0;
        for (int top = 0; top + kBlock <= reference.height(); top += kBlock) {
            for (int left = 0; left + kBlock <= reference.width(); left += kBlock) {
                int channels[3] = {};
                for (int y = top; y < top + kBlock; ++y) {
                    for (int x = left; x < left + kBlock; ++x) {
                        const QRgb a = ours.pixel(x, y);
                        const QRgb b = reference.pixel(x, y);
                        const int apart[3] = {qRed(a) - qRed(b), qGreen(a) - qGreen(b),
                                              qBlue(a) - qBlue(b)};
                        for (int c = 0; c < 3; ++c)
                            channels[c] += apart[c];
                        pixels += qMax(qAbs(apart[0]), qMax(qAbs(apart[1]), qAbs(apart[2])));
                    }
                }
                const int most =
                    qMax(qAbs(channels[0]), qMax(qAbs(channels[1]), qAbs(channels[2])));
                off += most > 6 * kBlock * kBlock;
                ++blocks;
            }
        }
        const double area = double(blocks) * kBlock * kBlock;
        return {100.0 * off / blocks, pixels / area};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(PdfFixtures::largeImages(path("large.pdf")));
    }

    // Dithering, stencils, thin lines, a matte with its soft mask, a palette, a colour key, an
    // explicit mask, a pattern through a stencil, and a stencil and a colour key under a soft
    // mask: each page within 3% of blocks and a mean pixel difference of 6, where reading
    // every n-th pixel was off in a third to all of them.
    void reducedImagesDrawAsAtFullSize()
    {
        QProcess pdftoppm;
        pdftoppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"),
                                                    path("large.pdf"), path("ref")});
        QVERIFY2(pdftoppm.waitForFinished(180000) && pdftoppm.exitCode() == 0,
                 qPrintable(pdftoppm.errorString()));
        const QStringList pages = {"dithered",   "stencil",  "lines",   "matte",    "indexed",
                                   "colour key", "explicit", "pattern", "soft mask"};
        QCOMPARE(pages.size(), PdfFixtures::kLargeImagePages);
        XPDFRenderer pdf(path("large.pdf"));
        QStringList off;
        for (int page = 1; page <= PdfFixtures::kLargeImagePages; ++page) {
            const QString name = pages.at(page - 1);
            const QImage ours = pdf.pageImage(page).convertToFormat(QImage::Format_RGB32);
            const QImage reference =
                QImage(path("ref-%1.ppm").arg(page)).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(ours.size(), QSize(816, 1056));
            QCOMPARE(reference.size(), ours.size());
            ours.save(TestArtifacts::path("reduced_" + QString(name).replace(' ', '_')));
            const auto [blocks, pixels] = difference(ours, reference);
            if (blocks > 3.0 || pixels > 6.0)
                off << QStringLiteral("%1: %2% of blocks off, pixels off by %3")
                           .arg(name)
                           .arg(blocks, 0, 'f', 1)
                           .arg(pixels, 0, 'f', 1);
        }
        QVERIFY2(off.isEmpty(), qPrintable(off.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestImageReduction)
#include "tst_imagereduction.moc"
