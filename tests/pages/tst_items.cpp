#include "tst_canvas_support.h"

#include "pages/DecimalText.h"
#include "pages/ImageItem.h"
#include "pages/ItemText.h"
#include "pages/PageToolHooks.h"
#include "pages/PictureData.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

class TestItems : public QObject
{
    Q_OBJECT

private:
    static QPixmap colouredPixmap(int w, int h, const QColor &color)
    {
        QPixmap pixmap(w, h);
        pixmap.fill(color);
        return pixmap;
    }

private slots:
    void numberForms_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("million") << 1000000.0 << "1e+06";
        QTest::newRow("small") << 0.0001 << "0.0001";
        QTest::newRow("smaller") << 0.00001 << "1e-05";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("whole") << 100000.0 << "100000";
        QTest::newRow("rounded") << 123456.7 << "123457";
        QTest::newRow("negative") << -3.25 << "-3.25";
        QTest::newRow("big rounded") << 1234567.0 << "1.23457e+06";
    }
    void numberForms()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ItemText::number(value), text);
        QCOMPARE(ItemText::number(value), QString("%1").arg(value));
    }

    void strokeRoundTrip()
    {
        PolylineItem item;
        item.m_color = QColor(10, 20, 30, 180);
        item.m_nWidth = 5;
        QList<QPointF> points{{1.5, 2.25}, {10, 20}, {1000000, 0.0001}, {-3.5, 7}};
        item.setPoints(points);
        const QString text = item.toString();
        QCOMPARE(text, QString("3#10,20,30,180#5#1.5,2.25 10,20 1e+06,0.0001 -3.5,7 "));

        PolylineItem back;
        back.fromString(text);
        QCOMPARE(back.m_color, item.m_color);
        QCOMPARE(back.m_nWidth, 5);
        QCOMPARE(back.m_points.size(), 4);
        QCOMPARE(back.m_points.at(2), QPointF(1000000, float(0.0001)));
        QCOMPARE(back.toString(), text); // idempotent
        QVERIFY(!back.boundingRect().isEmpty());
        QVERIFY(!back.shape().isEmpty());
    }

    void strokeShapes()
    {
        PolylineItem one;
        one.fromString("3#0,0,0,255#3#4,5 ");
        QCOMPARE(one.m_points.size(), 1);
        QCOMPARE(one.toString(), QString("3#0,0,0,255#3#4,5 "));
        QCOMPARE(one.m_path.elementCount(), 1); // only the start point

        PolylineItem noSpace;
        noSpace.fromString("3#0,0,0,255#3#4,5");
        QVERIFY(noSpace.m_points.isEmpty());

        const QStringList ignored{"3#0,0,0,255#3", "3#0,0,0,255#3#1,2 #x", "03#0,0,0,255#3#1,2 ",
                                  "5#0,0,0,255#3#1,2 ", ""};
        for (const QString &text : ignored) {
            PolylineItem item;
            item.fromString(text);
            QVERIFY2(!item.m_color.isValid() && item.m_nWidth == 3 && item.m_points.isEmpty(),
                     qPrintable(text));
        }

        PolylineItem badColour;
        badColour.fromString("3#1,2,3#7#1,2 3,4 ");
        QVERIFY(!badColour.m_color.isValid());
        QCOMPARE(badColour.m_nWidth, 7);
        QCOMPARE(badColour.m_points.size(), 2);

        PolylineItem junk;
        junk.fromString("3#a,b,c,d#w#x,y 1,2,3 nan,1 inf,2 5,6 ");
        QCOMPARE(junk.m_color, QColor(0, 0, 0, 0));
        QCOMPARE(junk.m_nWidth, 0);
        // "x,y" counts as 0,0; three pieces and non-finite values are skipped.
        QCOMPARE(junk.m_points, (QList<QPointF>{{0, 0}, {5, 6}}));
    }

    void strokeClampsPeerValues()
    {
        PolylineItem item;
        item.fromString("3#300,-5,999999999999,128#100000#0,0 10,10 ");
        QCOMPARE(item.m_color, QColor(255, 0, 0, 128));
        QCOMPARE(item.m_nWidth, 100000);                             // kept for the text
        QCOMPARE(item.boundingRect(), QRectF(-200, -200, 410, 410)); // drawn at 200

        QString many = "3#0,0,0,255#3#";
        for (int i = 0; i < ItemText::kMaxStrokePoints + 50; ++i)
            many += QString::number(i % 500) + ',' + QString::number(i / 500) + ' ';
        PolylineItem big;
        big.fromString(many);
        QCOMPARE(big.m_points.size(), ItemText::kMaxStrokePoints);
    }

    void longStrokeIsThinnedQuickly()
    {
        // A zigzag in which every point stands out: thinned whole, it takes n * n steps
        // (over 15 s here); thinned in chunks, the time goes to stroking the outline.
        const int n = ItemText::kMaxStrokePoints;
        QList<QPointF> points;
        points.reserve(n);
        for (int i = 0; i < n; ++i) {
            const double a = 1000 - i * (900.0 / n);
            points.append(QPointF(i, i % 2 ? a : -a));
        }
        QElapsedTimer timer;
        timer.start();
        PolylineItem item;
        item.setPoints(points);
        QCOMPARE(item.m_points.size(), n);
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    }

    void strokeSmoothing()
    {
        PolylineItem item;
        item.m_nWidth = 3;
        QList<QPointF> points{{0, 0}, {1, 1}, {1.5, 0.5}, {1, 1.9}};
        item.setPoints(points);
        // All points lie within 2 of the line from the first to the last: one span.
        QCOMPARE(item.m_path.elementCount(), 1 + 3);
        QCOMPARE(item.m_path.currentPosition(), QPointF(1, 1.9));
        QCOMPARE(points, (QList<QPointF>{{0, 0}, {1, 1.9}})); // the caller gets the thinned points

        // A scribble: the line runs through every tip, the last point included.
        PolylineItem scribble;
        QList<QPointF> tips;
        for (int i = 0; i < 12; ++i)
            tips << QPointF(20 * i, i % 2 ? 0 : 60 + i);
        QList<QPointF> copy = tips;
        scribble.setPoints(copy);
        for (const QPointF &tip : qAsConst(tips))
            QVERIFY2(scribble.shape().contains(tip),
                     qPrintable(QStringLiteral("%1,%2").arg(tip.x()).arg(tip.y())));
        QCOMPARE(scribble.m_path.currentPosition(), tips.last());
    }

    void pictureRoundTrip()
    {
        ImageItem item;
        item.setPixmap(colouredPixmap(40, 30, Qt::red));
        item.setPos(12.5, -3);
        const QString text = item.toString();
        QVERIFY(text.startsWith("5#" + item.m_strId + "#12.5,-3,40,30#"));

        ImageItem back;
        back.fromString(text);
        QCOMPARE(back.m_strId, item.m_strId);
        QCOMPARE(back.pos(), QPointF(12.5, -3));
        QCOMPARE(back.rect(), QRectF(0, 0, 40, 30));
        QCOMPARE(back.m_imageData, item.m_imageData);
        QCOMPARE(back.toString(), text);

        QImage canvas(60, 50, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        back.paint(&painter, nullptr);
        back.paint(&painter, nullptr);
        painter.end();
        QCOMPARE(canvas.pixelColor(20, 15), QColor(Qt::red));
        QCOMPARE(canvas.pixelColor(45, 40), QColor(Qt::white));
    }

    void pictureShapes()
    {
        ImageItem threeNumbers;
        const QString oldId = threeNumbers.m_strId;
        threeNumbers.fromString("5#{id}#1,2,3#AAAA");
        QCOMPARE(threeNumbers.m_strId, QString("{id}"));
        QVERIFY(threeNumbers.m_imageData.isEmpty());
        QVERIFY(oldId != threeNumbers.m_strId);

        ImageItem wrong;
        const QString id = wrong.m_strId;
        wrong.fromString("5#{id}#1,2,3,4");
        wrong.fromString("6#{id}#1,2,3,4#AAAA");
        QCOMPARE(wrong.m_strId, id);

        ImageItem huge;
        huge.fromString("5#{id}#nan,inf,1e300,-7#");
        QCOMPARE(huge.pos(), QPointF(0, 0));
        QCOMPARE(huge.rect(), QRectF(0, 0, ItemText::kMaxPictureSide, 0));
    }

    void pictureTooLargeIsNotDecoded()
    {
        // A tiny PNG that announces 20000 x 10 pixels.
        QImage wide(20000, 1, QImage::Format_Mono);
        wide.fill(0);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(wide.save(&buffer, "png"));
        ImageItem item;
        item.fromString("5#{x}#0,0,100,100#" + QString::fromLatin1(png.toBase64()));
        QImage canvas(100, 100, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        item.paint(&painter, nullptr);
        painter.end();
        QCOMPARE(canvas.pixelColor(0, 0), QColor(Qt::white));
    }

    void vectorPictureIsNotDecoded()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath("local.png");
        QImage local(50, 50, QImage::Format_RGB32);
        local.fill(Qt::red);
        QVERIFY(local.save(file));
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' "
                               "xmlns:xlink='http://www.w3.org/1999/xlink' width='50' height='50'>"
                               "<image width='50' height='50' xlink:href='" +
                               file.toUtf8() + "'/></svg>";
        QVERIFY(PictureData::decode(svg).isNull());

        ImageItem item;
        item.fromString("5#{x}#0,0,50,50#" + QString::fromLatin1(svg.toBase64()));
        QImage canvas(50, 50, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        item.paint(&painter, nullptr);
        painter.end();
        QCOMPARE(canvas.pixelColor(25, 25), QColor(Qt::white));
    }

    void textRoundTrip()
    {
        TextItem item;
        item.setHtml("<font color=#ff0000>a$$b & c</font>");
        item.setPos(3, 4.5);
        const QString text = item.toString();
        QVERIFY(text.startsWith("6#" + item.m_strId + "$$3,4.5,-1,"));

        TextItem back;
        back.fromString(text);
        QCOMPARE(back.m_strId, item.m_strId);
        QCOMPARE(back.pos(), QPointF(3, 4.5));
        QCOMPARE(back.textWidth(), -1.0);
        QCOMPARE(back.toPlainText(), QString("a$$b & c"));
        QCOMPARE(back.toString(), text);

        back.setTextWidth(120);
        TextItem wide;
        wide.fromString(back.toString());
        QCOMPARE(wide.textWidth(), 120.0);
    }

    void textShapes()
    {
        TextItem item;
        const QString id = item.m_strId;
        item.fromString("6#{a}$$1,2,3$$<b>x</b>"); // three numbers: id only
        QCOMPARE(item.m_strId, QString("{a}"));
        QVERIFY(item.toPlainText().isEmpty());

        item.fromString("6{b}$$1,2,3,4$$x");
        item.fromString("6#{b}$$1,2,3,4");
        QCOMPARE(item.m_strId, QString("{a}"));

        item.fromString(QString("6#{c}$$1,2,-1,4$$ab") + QChar(0) + "cd");
        QCOMPARE(item.toPlainText(), QString("ab"));
        QCOMPARE(item.pos(), QPointF(1, 2));
    }

    void textReadsNoLocalFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath("local.png");
        QImage local(300, 200, QImage::Format_RGB32);
        local.fill(Qt::red);
        QVERIFY(local.save(file));

        const QStringList sources{file, QUrl::fromLocalFile(file).toString()};
        for (const QString &source : sources) {
            const QString text = "6#{i}$$0,0,-1,0$$<img src=\"" + source + "\">";
            TextItem item;
            item.fromString(text);
            // A file read from disk would size the text to the 300 x 200 picture.
            QVERIFY2(item.boundingRect().width() < 100, qPrintable(source));
            QVERIFY(item.toString().contains(source));
        }
    }

    void textTakesToolColour()
    {
        PageToolHooks::currentColor = [] { return QColor(Qt::blue); };
        TextItem item;
        PageToolHooks::currentColor = nullptr;
        QCOMPARE(item.defaultTextColor(), QColor(Qt::blue));
        TextItem plain;
        QCOMPARE(plain.defaultTextColor(), QColor(Qt::black));
    }

    // Item texts are read fast, to the same float Qt's reading gives, whatever the form.
    void numbersReadAsQtReadsThem()
    {
        QStringList texts{"0",
                          "-0",
                          "00.5",
                          ".5",
                          "5.",
                          "1e",
                          "1e+",
                          "+1",
                          " 1",
                          "1 ",
                          "nan",
                          "inf",
                          "-inf",
                          "1E5",
                          "1e-45",
                          "1e-50",
                          "1e39",
                          "-1e39",
                          "3.4e38",
                          "",
                          "-",
                          "1,5",
                          "0x10",
                          "1e400",
                          "1e-400",
                          "١٢",
                          "1.5e+06",
                          "123456789012345678901234",
                          "0.000000000000000000000000001",
                          "9007199254740993",
                          "4.35e-22",
                          "1.7976931348623157e308",
                          "1e0005"};
        QRandomGenerator random(14);
        for (int i = 0; i < 20000; ++i) {
            const double magnitude = std::pow(10.0, random.bounded(-30, 30));
            const double value = (random.generateDouble() - 0.5) * magnitude;
            texts << ItemText::number(value) << QString::number(value, 'f', random.bounded(0, 12))
                  << QString::number(value, 'e', random.bounded(0, 20))
                  << QString::number(value, 'g', 17);
        }
        for (const QString &text : qAsConst(texts)) {
            const float fast = DecimalText::toFloat(text.constData(), text.size());
            const float qt = text.toFloat();
            QVERIFY2(memcmp(&fast, &qt, sizeof(float)) == 0, qPrintable(text));
        }
    }

    // The cap counts every token looked at, so a field of blanks costs no more than a
    // field of points.
    void pointFieldStopsAtTheCap()
    {
        const QString text = QStringLiteral("3#0,0,0,255#3#1,2") + QString(8000000, ' ') + "3,4 ";
        QElapsedTimer timer;
        timer.start();
        PolylineItem item;
        item.fromString(text);
        QCOMPARE(item.m_points, QList<QPointF>{QPointF(1, 2)});
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));

        ImageItem picture;
        const QString id = picture.m_strId;
        picture.fromString("5#" + QString(4000000, '#'));
        QCOMPARE(picture.m_strId, id);
    }

    // A stroke keeps the text it was read from while it stays as read.
    void strokeTextKeptWhileUnchanged()
    {
        const QString text = QStringLiteral("3#255,0,0,255#3#1.5,2 3,4 ");
        PolylineItem item;
        item.fromString(text);
        QVERIFY(item.toString().constData() == text.constData()); // the text itself
        item.m_points.append(QPointF(5, 6));
        QCOMPARE(item.toString(), QString("3#255,0,0,255#3#1.5,2 3,4 5,6 "));

        PolylineItem recoloured;
        recoloured.fromString(text);
        recoloured.m_color = Qt::blue;
        QCOMPARE(recoloured.toString(), QString("3#0,0,255,255#3#1.5,2 3,4 "));

        for (const QString &loose : {QStringLiteral("3#255,0,0,255#3#1,2 x 3,4 "),
                                     QStringLiteral("3#255,0,0,999#3#1,2 3,4 "),
                                     QStringLiteral("3#255,0,0,255#w#1,2 3,4 ")}) {
            PolylineItem read;
            read.fromString(loose);
            QCOMPARE(read.toString(),
                     ItemText::writeStroke(read.m_color, read.m_nWidth, read.m_points));
        }
    }

    // A stroke text comes back as read only when it is already in the written form; any
    // other form of the same stroke is written anew.
    void strokeTextComesBackInWrittenForm()
    {
        PolylineItem example;
        example.fromString("3#255,0,0,255#03#1.0000001,2 123456789,1 ");
        QCOMPARE(example.toString(), QString("3#255,0,0,255#3#1,2 1.23457e+08,1 "));

        QRandomGenerator random(19);
        const QStringList loose{"1.50",    "-0",       "0.0",    "+1",      " 1",
                                "1e5",     "1E+05",    "1e+5",   "1.0e+06", "0.00001",
                                "1234567", "1.234567", "01",     ".5",      "1e+100",
                                "1e-38",   "0x1",      "1e-05 ", "",        "١"};
        const QStringList colours{"255,0,0,255", "255,00,0,255", "255,0,0,+255", "1,2,3,4"};
        const QStringList widths{"3", "03", "-2", "-0", "+3", "2147483648", "0"};
        for (int i = 0; i < 4000; ++i) {
            QString text = "3#" + colours.at(random.bounded(colours.size())) + '#' +
                           widths.at(random.bounded(widths.size())) + '#';
            const int points = random.bounded(1, 5);
            for (int p = 0; p < 2 * points; ++p) {
                const float value = float((random.generateDouble() - 0.5) *
                                          std::pow(10.0, random.bounded(-40, 40)));
                const int form = random.bounded(6);
                text += form == 0   ? loose.at(random.bounded(loose.size()))
                        : form == 1 ? QString::number(value, 'f', random.bounded(0, 8))
                        : form == 2 ? QString::number(value, 'e', random.bounded(0, 8))
                                    : ItemText::number(value);
                text += p % 2 ? ' ' : ',';
            }
            PolylineItem item;
            item.fromString(text);
            const QString written =
                ItemText::writeStroke(item.m_color, item.m_nWidth, item.m_points);
            QVERIFY2(item.m_points.isEmpty() || item.toString() == written, qPrintable(text));
            // Written texts are kept as they are, but for points too small for 6 digits.
            bool normal = true;
            for (const QPointF &point : qAsConst(item.m_points)) {
                for (const qreal v : {point.x(), point.y()})
                    normal = normal && (v == 0 || qAbs(v) >= 1e-37);
            }
            PolylineItem again;
            again.fromString(written);
            if (normal && !again.m_points.isEmpty())
                QVERIFY2(again.toString().constData() == written.constData(), qPrintable(written));
        }
    }

    // Pictures are refused by their pixel count before they are decoded.
    void pictureOverPixelCapIsRefused()
    {
        using canvas::monoPng;
        QVERIFY(!PictureData::decode(monoPng(4096, 4096)).isNull()); // 16 Mi pixels
        QVERIFY(PictureData::decode(monoPng(4097, 4096)).isNull());
        QVERIFY(PictureData::decode(monoPng(16384, 1100)).isNull());
        QVERIFY(PictureData::decodeBase64(monoPng(5000, 4000).toBase64()).isNull());
    }
};

QTEST_MAIN(TestItems)
#include "tst_items.moc"
