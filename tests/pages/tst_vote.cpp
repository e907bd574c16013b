#include "pages/VoteItem.h"

#include <QImage>
#include <QtTest>
#include <limits>

class TestVote : public QObject
{
    Q_OBJECT

private:
    // Bar geometry of option i at value v, in pixmap coordinates.
    static QPoint barPoint(const VoteItem &item, int option, double fromBase)
    {
        const double b = (item.m_pixmap.width() - 95) / 12.0;
        const double x0 = (2 * option + 1) * b;
        return QPoint(int(x0 + b / 2), int(item.m_pixmap.height() - 5 - fromBase));
    }

    static QColor at(const VoteItem &item, const QPoint &p)
    {
        return item.m_pixmap.toImage().pixelColor(p);
    }

private slots:
    void sizeAndStart()
    {
        VoteItem item;
        // The offscreen screen is smaller than 1280 x 800.
        QCOMPARE(item.boundingRect(), QRectF(0, 0, 450, 450));
        QCOMPARE(item.m_pixmap.size(), QSize(445, 450));
        QCOMPARE(item.voteText(), QString("1,0#2,0#3,0#4,0#5,0#6,0"));
        QCOMPARE(at(item, QPoint(100, 100)).alpha(), 0);
        QCOMPARE(item.m_colors[0], QColor(13, 142, 207));
        QCOMPARE(item.m_colors[5], QColor(175, 220, 6));
    }

    void barsFollowValues()
    {
        VoteItem item;
        item.setValue(0, 0.25f);
        item.setValue(1, 1.0f);
        const double b = (445 - 95) / 12.0;
        const double fullHeight = 450 - 2 * b;
        QCOMPARE(at(item, barPoint(item, 0, fullHeight * 0.25 - 4)), item.m_colors[0]);
        const double d = b / 4;
        QCOMPARE(at(item, barPoint(item, 0, fullHeight * 0.25 + 2 * d + b + 3)).alpha(), 0);
        // A full bar reaches up to 2b - 5.
        QCOMPARE(at(item, barPoint(item, 1, fullHeight - 4)), item.m_colors[1]);
        // A value of 0 draws a bar 5 high.
        QCOMPARE(at(item, barPoint(item, 2, 2)), item.m_colors[2]);
        QCOMPARE(at(item, barPoint(item, 2, 5 + 2 * d + b + 3)).alpha(), 0);
        QCOMPARE(item.voteText(), QString("1,0.25#2,1#3,0#4,0#5,0#6,0"));
        item.m_pixmap.save(qEnvironmentVariable("CORVANE_TEST_ARTIFACTS") + "/vote_chart.png");
    }

    void valuesClampedWhenDrawn()
    {
        VoteItem item;
        item.setValue(0, 2.5f);
        item.setValue(1, std::numeric_limits<float>::quiet_NaN());
        item.setValue(2, -3.0f);
        item.setValue(3, std::numeric_limits<float>::infinity());
        VoteItem expected;
        expected.setValue(0, 1.0f);
        expected.setValue(1, 0.0f);
        QCOMPARE(item.m_pixmap.toImage(), expected.m_pixmap.toImage());
        QVERIFY(item.voteText().startsWith("1,2.5#2,nan#3,-3#4,inf#"));
    }

    void indexOutsideOptions()
    {
        VoteItem item;
        item.setValue(9, 0.5f);
        QVERIFY(item.m_values.contains(9));
        QCOMPARE(item.voteText(), QString("1,0#2,0#3,0#4,0#5,0#6,0"));
    }
};

QTEST_MAIN(TestVote)
#include "tst_vote.moc"
