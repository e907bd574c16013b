#include "tst_canvas_support.h"

#include "pages/ImageItem.h"
#include "pages/PictureCache.h"

#include <QFile>
#include <QSignalSpy>
#include <unistd.h>

using namespace canvas;

namespace {
const QSize kPage(400, 300);
const int kPictures = 12;
const int kSide = 3000;

// A picture of kSide x kSide pixels of one colour, in few PNG bytes.
QByteArray bigPng(const QColor &colour)
{
    QImage image(kSide, kSide, QImage::Format_Indexed8);
    image.setColorTable({colour.rgb()});
    image.fill(0);
    return pngBytes(image);
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Picture i lies at the top left corner of cell i of a 4 x 3 grid and runs past the page;
// the later ones cover the rest of it.
QPointF cellCentre(int i)
{
    return QPointF((i % 4) * 100 + 50, (i / 4) * 100 + 50);
}

QColor colourOf(int i, int hueStep)
{
    return QColor::fromHsv((i * hueStep) % 360, 200, 220);
}

// The page's pictures as drawn, at the centre of each cell (scale: drawn size / page size).
bool showsPictures(const QImage &shot, const std::function<QPoint(QPointF)> &place, int hueStep)
{
    for (int i = 0; i < kPictures; ++i) {
        if (shot.pixelColor(place(cellCentre(i))).rgb() != colourOf(i, hueStep).rgb())
            return false;
    }
    return true;
}
} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private:
    void sendPictures(PageView *view, int hueStep)
    {
        for (int i = 0; i < kPictures; ++i) {
            const QPointF at = cellCentre(i) - QPointF(50, 50);
            view->procLineData(
                0,
                QStringLiteral("5#{p%1}#%2,%3,%4,%4#").arg(i).arg(at.x()).arg(at.y()).arg(kSide) +
                    QString::fromLatin1(bigPng(colourOf(i, hueStep)).toBase64()));
        }
    }

    static bool onScreen(PageView *view, int hueStep)
    {
        return showsPictures(
            view->viewport()->grab().toImage(), [view](QPointF p) { return view->mapFromScene(p); },
            hueStep);
    }

private slots:
    // Large pictures cost the part of them on the page, held in a cache of bounded size; the
    // canvas and the thumbnail show them once they are decoded.
    void manyLargePicturesOnOnePage()
    {
        auto view = makeCanvas(1, kPage, kPage + QSize(40, 40));
        QVERIFY(view);
        QSignalSpy thumbnails(view.get(), SIGNAL(updateThunmbianl()));
        [[maybe_unused]] const qint64 before = residentBytes();
        sendPictures(view.get(), 30);
        QTRY_VERIFY_WITH_TIMEOUT(onScreen(view.get(), 30), 30000);
        QTRY_COMPARE(PictureCache::instance()->pendingCount(), 0);
        QVERIFY(PictureCache::instance()->heldBytes() <= PictureCache::kByteLimit);
#ifndef __SANITIZE_ADDRESS__
        // Decoded whole, the twelve pictures took 432 MB.
        const qint64 grown = residentBytes() - before;
        QVERIFY2(grown < 100 * 1024 * 1024, qPrintable(QString::number(grown)));
#endif
        QTRY_VERIFY(!thumbnails.isEmpty());
        QPixmap thumbnail(kPage);
        view->pageScene()->renderToPixmap(thumbnail);
        QVERIFY(showsPictures(
            thumbnail.toImage(), [](QPointF p) { return p.toPoint(); }, 30));
    }

    // Pictures shown together that do not fit the cache are decoded smaller until they do;
    // they stay shown, and the decoding stops.
    void picturesBeyondTheCacheStayShown()
    {
        PictureCache *cache = PictureCache::instance();
        const qint64 limit = cache->byteLimit();
        cache->setByteLimit(1024 * 1024); // the parts on the page take 2.4 MB
        auto view = makeCanvas(1, kPage, kPage + QSize(40, 40));
        QVERIFY(view);
        sendPictures(view.get(), 23);
        QTRY_VERIFY_WITH_TIMEOUT(onScreen(view.get(), 23) && cache->pendingCount() == 0, 30000);
        QTest::qWait(500);
        QCOMPARE(cache->pendingCount(), 0);
        QVERIFY(onScreen(view.get(), 23));
        QVERIFY(cache->heldBytes() <= cache->byteLimit());
        int shrunk = 0;
        for (ImageItem *item : itemsOf<ImageItem>(view->pageScene()))
            shrunk += item->shrink() > 0 ? 1 : 0;
        QVERIFY(shrunk > 0);
        cache->setByteLimit(limit);
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
