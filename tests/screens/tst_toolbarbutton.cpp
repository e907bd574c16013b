#include "screens/ToolbarButton.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kRes = QStringLiteral(":/res/res/");

// Number of pixels that are not fully transparent.
int paintedPixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += qAlpha(argb.pixel(x, y)) != 0;
    return count;
}

// True when the images match up to rounding of semi-transparent pixels.
bool alike(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            if (qAbs(qAlpha(p) - qAlpha(q)) > 2)
                return false;
            if (qAlpha(p) > 32 && (qAbs(qRed(p) - qRed(q)) > 8 || qAbs(qGreen(p) - qGreen(q)) > 8 ||
                                   qAbs(qBlue(p) - qBlue(q)) > 8))
                return false;
        }
    return true;
}

// What the button paints, on a transparent image.
QImage paintedButton(ToolbarButton &button)
{
    QImage image(button.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}
} // namespace

class TestToolbarButton : public QObject
{
    Q_OBJECT
private slots:
    void construction();
    void svgImagesAtImageSize();
    void pressedPicturesDifferFromNormal_data();
    void pressedPicturesDifferFromNormal();
    void ownImageSize();
    void bitmapRoad();
    void missingOrEmptyPictures();
    void pressPaintsPressedImage();
    void releaseAnywhereClicksOnce();
    void captionIsPainted();
};

void TestToolbarButton::construction()
{
    ToolbarButton button(QStringLiteral("3"));
    QCOMPARE(button.imageSize(), QSize(70, 62));
    QVERIFY(button.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(button.normalImage().isNull());
    QVERIFY(button.pressedImage().isNull());
    QVERIFY(!button.isImagePressed());
    QCOMPARE(button.caption(), QStringLiteral("3"));
    QVERIFY(button.text().isEmpty());
}

void TestToolbarButton::svgImagesAtImageSize()
{
    ToolbarButton button{QString()};
    button.setImage(kRes + QStringLiteral("Pen.svg"), false);
    button.setImage(kRes + QStringLiteral("Pen - clicked.svg"), true);
    QCOMPARE(button.minimumSize(), QSize(70, 62));
    QCOMPARE(button.maximumSize(), QSize(70, 62));
    QCOMPARE(button.normalImage().size(), QSize(70, 62));
    QCOMPARE(button.pressedImage().size(), QSize(70, 62));
    QVERIFY(button.normalImage().hasAlphaChannel());
    QVERIFY(paintedPixels(button.normalImage().toImage()) > 100);
    // Transparent around the pictogram.
    QCOMPARE(qAlpha(button.normalImage().toImage().pixel(0, 0)), 0);
}

void TestToolbarButton::pressedPicturesDifferFromNormal_data()
{
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("pressed");
    const char *pairs[][2] = {{"Pointer.svg", "Pointer - clicked.svg"},
                              {"Pen.svg", "Pen - clicked.svg"},
                              {"highlighter.svg", "highlighter-clicked.svg"},
                              {"Colors_black.svg", "Clicked Color-black.svg"},
                              {"Colors_red.svg", "Clicked Color-red.svg"},
                              {"Colors_blue.svg", "Clicked Color-blue.svg"},
                              {"Colors_green.svg", "Clicked Color-green.svg"},
                              {"Texting.svg", "Texting - clicked.svg"},
                              {"Eraser.svg", "Eraser - clicked.svg"},
                              {"Clear Page.svg", "Clear Page - clicked.svg"},
                              {"Rotate.svg", "Click - Rotate.svg"},
                              {"save.svg", "save-clicked.svg"},
                              {"eBook.svg", "eBook - clicked.svg"},
                              {"eBook Manager.svg", "eBook Manager - clicked.svg"},
                              {"Hands-up.svg", "Hands-up - clicked.svg"},
                              {"Download.svg", "Download Click.svg"}};
    for (const auto &pair : pairs)
        QTest::newRow(pair[0]) << QString::fromLatin1(pair[0]) << QString::fromLatin1(pair[1]);
}

void TestToolbarButton::pressedPicturesDifferFromNormal()
{
    QFETCH(QString, normal);
    QFETCH(QString, pressed);
    ToolbarButton button{QString()};
    button.setImage(kRes + normal, false);
    button.setImage(kRes + pressed, true);
    const QImage a = button.normalImage().toImage();
    const QImage b = button.pressedImage().toImage();
    QVERIFY(paintedPixels(a) > 100);
    QVERIFY(paintedPixels(b) > 100);
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    // Clearly different, not a shade: at least a quarter of the button.
    QVERIFY2(differing > a.width() * a.height() / 4, qPrintable(QString::number(differing)));
}

void TestToolbarButton::ownImageSize()
{
    ToolbarButton button{QString()};
    button.setImageSize(50, 50);
    button.setImage(kRes + QStringLiteral("Open.svg"), true);
    button.setImage(kRes + QStringLiteral("Open.svg"), false);
    QCOMPARE(button.minimumSize(), QSize(50, 50));
    QCOMPARE(button.maximumSize(), QSize(50, 50));
    QCOMPARE(button.normalImage().size(), QSize(50, 50));
    QCOMPARE(button.pressedImage().size(), QSize(50, 50));
}

void TestToolbarButton::bitmapRoad()
{
    ToolbarButton button{QString()};
    button.setImageSize(74, 74);
    button.setImage(kRes + QStringLiteral("votebuttonsend.png"), false);
    QCOMPARE(button.size(), QSize(74, 74));
    // A bitmap keeps its own size; painting scales it into the button.
    QCOMPARE(button.normalImage().size(), QSize(200, 64));

    // Upper-case suffix: loaded from the file as it is, not rendered at the image size.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString upper = dir.filePath(QStringLiteral("picture.SVG"));
    QImage small(10, 8, QImage::Format_ARGB32);
    small.fill(Qt::red);
    QVERIFY(small.save(upper, "PNG"));
    button.setImage(upper, true);
    QCOMPARE(button.pressedImage().size(), QSize(10, 8));
    QCOMPARE(button.pressedImage().toImage().pixelColor(5, 4), QColor(Qt::red));
}

void TestToolbarButton::missingOrEmptyPictures()
{
    ToolbarButton button{QString()};
    button.setImage(kRes + QStringLiteral("no such picture.svg"), false);
    QCOMPARE(button.normalImage().size(), QSize(70, 62));
    QCOMPARE(paintedPixels(button.normalImage().toImage()), 0);
    button.setImage(QStringLiteral("/no/such/file.png"), true);
    QVERIFY(button.pressedImage().isNull());
    button.setImageSize(0, 0);
    button.setImage(kRes + QStringLiteral("Pen.svg"), false);
    QVERIFY(button.normalImage().isNull());
    button.setImageSize(70, 62);
    button.resize(70, 62);
    QCOMPARE(paintedPixels(paintedButton(button)), 0);
}

void TestToolbarButton::pressPaintsPressedImage()
{
    ToolbarButton button{QString()};
    button.setImage(kRes + QStringLiteral("Rotate.svg"), false);
    button.show();
    const QImage normal = paintedButton(button);
    QVERIFY(paintedPixels(normal) > 100);
    QTest::mousePress(&button, Qt::LeftButton);
    QVERIFY(button.isImagePressed());
    // Only a normal image: nothing is painted while pressed.
    QCOMPARE(paintedPixels(paintedButton(button)), 0);
    button.setImage(kRes + QStringLiteral("Click - Rotate.svg"), true);
    QVERIFY(alike(paintedButton(button), button.pressedImage().toImage()));
    QTest::mouseRelease(&button, Qt::LeftButton);
    QVERIFY(!button.isImagePressed());
    QVERIFY(alike(paintedButton(button), normal));
    QVERIFY(!alike(normal, button.pressedImage().toImage()));
}

void TestToolbarButton::releaseAnywhereClicksOnce()
{
    ToolbarButton button{QString()};
    button.setImage(kRes + QStringLiteral("save.svg"), false);
    button.show();
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(clicked.count(), 0);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(500, 500));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toBool(), false);
    QVERIFY(!button.isChecked());
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 2);
    QVERIFY(!button.isChecked());
}

void TestToolbarButton::captionIsPainted()
{
    ToolbarButton plain{QString()};
    ToolbarButton digit(QStringLiteral("5"));
    for (ToolbarButton *b : {&plain, &digit}) {
        b->setImageSize(74, 74);
        b->setImage(kRes + QStringLiteral("votebuttonbk.png"), false);
    }
    QVERIFY(!alike(paintedButton(plain), paintedButton(digit)));
}

QTEST_MAIN(TestToolbarButton)
#include "tst_toolbarbutton.moc"
