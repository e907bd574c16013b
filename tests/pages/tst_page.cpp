#include "pages/HSPage.h"
#include "pages/PageFile.h"

#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QtTest>

class TestPage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QByteArray fileBytes(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeBytes(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }

    static QPixmap pixmap(int w, int h)
    {
        QPixmap p(w, h);
        p.fill(QColor(30, 160, 90));
        return p;
    }

    static HSPage fullPage()
    {
        HSPage page;
        page.setSize(800, 600);
        page.setPixmap(pixmap(800, 600));
        page.appendItem("3#0,0,0,255#3#1,2 3,4 ");
        page.appendItem("6#{x}$$1,2,-1,20$$a$$b & c");
        page.m_strVote = "1,0.5#2,0.5#3,0#4,0#5,0#6,0";
        page.setInit(true);
        return page;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void freshRecordBytes()
    {
        HSPage page;
        QVERIFY(page.save(path("fresh.crp")));
        const QByteArray expected = QByteArray::fromHex("ffffffff"
                                                        "ffffffff"
                                                        "00"
                                                        "00000000"
                                                        "ffffffff"
                                                        "00");
        QCOMPARE(fileBytes(path("fresh.crp")), expected);

        HSPage back;
        back.m_strVote = "old";
        QVERIFY(back.read(path("fresh.crp")));
        QCOMPARE(back.m_size, QSize(-1, -1));
        QVERIFY(back.m_strVote.isNull());
        QVERIFY(back.m_listItems.isEmpty());
        QVERIFY(!back.m_bInit);
        QVERIFY(back == page);
    }

    void itemAndEmptyVoteBytes()
    {
        HSPage page;
        page.setSize(2, 3);
        page.appendItem("abc");
        page.m_strVote = QString("");
        QVERIFY(page.save(path("item.crp")));
        const QByteArray expected = QByteArray::fromHex("00000002"
                                                        "00000003"
                                                        "00"
                                                        "00000001"
                                                        "00000006"
                                                        "006100620063"
                                                        "00000000"
                                                        "00");
        QCOMPARE(fileBytes(path("item.crp")), expected);

        HSPage back;
        QVERIFY(back.read(path("item.crp")));
        QVERIFY(!back.m_strVote.isNull());
        QVERIFY(back.m_strVote.isEmpty());
        QVERIFY(back == page);
    }

    void pictureRoundTrip()
    {
        const HSPage page = fullPage();
        QVERIFY(page.save(path("full.crp")));
        const QByteArray bytes = fileBytes(path("full.crp"));
        QCOMPARE(bytes.mid(8, 1), QByteArray::fromHex("01"));
        const quint32 stored = qFromBigEndian<quint32>(bytes.constData() + 9);
        QCOMPARE(int(stored), page.m_baImage.size()); // the Base64 length

        HSPage back;
        QVERIFY(back.read(path("full.crp")));
        QVERIFY(back == page);
        QVERIFY(back.m_bInit);

        // Saving what was read gives the same bytes.
        QVERIFY(back.save(path("full2.crp")));
        QCOMPARE(fileBytes(path("full2.crp")), bytes);
    }

    void fileWithoutPictureKeepsOldPicture()
    {
        HSPage page = fullPage();
        HSPage blank;
        blank.setSize(5, 5);
        QVERIFY(blank.save(path("blank.crp")));
        QVERIFY(page.read(path("blank.crp")));
        QVERIFY(!page.m_baImage.isEmpty());
        QCOMPARE(page.m_size, QSize(5, 5));
        QVERIFY(page.m_listItems.isEmpty());
    }

    // A page file that cannot be read leaves the record as it was.
    void truncatedFileLeavesRecord()
    {
        const HSPage page = fullPage();
        QVERIFY(page.save(path("whole.crp")));
        const QByteArray bytes = fileBytes(path("whole.crp"));
        // Cut inside the second item text.
        const int cut = bytes.size() - (2 * 26 + 4 + 1 + 4);
        QVERIFY(cut > 0);
        writeBytes(path("cut.crp"), bytes.left(cut));

        HSPage back = fullPage();
        back.m_strVote = "stale";
        const HSPage before = back;
        QVERIFY(!back.read(path("cut.crp")));
        QVERIFY(back == before);

        // Every shorter prefix fails cleanly.
        for (int n = 0; n < bytes.size(); n += 97) {
            writeBytes(path("prefix.crp"), bytes.left(n));
            HSPage p;
            QVERIFY(!p.read(path("prefix.crp")));
            QVERIFY(p == HSPage());
        }
    }

    void hugeItemCountIsRefused()
    {
        QByteArray bytes = QByteArray::fromHex("00000010"
                                               "00000020"
                                               "00"
                                               "7fffffff"
                                               "00000002"
                                               "0041");
        writeBytes(path("huge.crp"), bytes);
        HSPage back = fullPage();
        QVERIFY(!back.read(path("huge.crp")));
        QVERIFY(back == fullPage());

        // Huge picture and string lengths, an odd string length.
        const QList<QByteArray> damaged{
            QByteArray::fromHex("00000001"
                                "00000001"
                                "01"
                                "fffffff0"
                                "41"),
            QByteArray::fromHex("00000001"
                                "00000001"
                                "00"
                                "00000001"
                                "fffffff0"
                                "0041"),
            QByteArray::fromHex("00000001"
                                "00000001"
                                "00"
                                "00000001"
                                "00000003"
                                "004100"),
        };
        for (const QByteArray &b : damaged) {
            writeBytes(path("damaged.crp"), b);
            HSPage p;
            QVERIFY(!p.read(path("damaged.crp")));
            QCOMPARE(p.m_size, QSize(-1, -1));
        }
    }

    void missingFileLeavesRecord()
    {
        HSPage page = fullPage();
        QVERIFY(!page.read(path("nowhere.crp")));
        QVERIFY(page == fullPage());
    }

    // save() checks the size it would write against what read() takes, before writing.
    void fileSizeIsWhatSaveWrites()
    {
        HSPage odd;
        odd.m_strVote = QString("");
        odd.appendItem(QString());
        odd.appendItem(QStringLiteral("é漢"));
        for (const HSPage &page : {HSPage(), fullPage(), odd}) {
            QVERIFY(page.save(path("sized.crp")));
            QCOMPARE(page.fileSize(), QFileInfo(path("sized.crp")).size());
        }
    }

    void failedSaveKeepsOldFile()
    {
        const HSPage page = fullPage();
        QVERIFY(page.save(path("keep.crp")));
        const QByteArray before = fileBytes(path("keep.crp"));
        HSPage other;
        QVERIFY(!other.save(path("no/such/folder/keep.crp")));
        QVERIFY(!other.save(m_dir.path())); // a folder, not a file
        QCOMPARE(fileBytes(path("keep.crp")), before);
    }

    void rotate()
    {
        HSPage page;
        page.setSize(800, 600);
        page.setPixmap(pixmap(800, 600));
        page.rotate();
        QCOMPARE(page.m_size, QSize(600, 800));
        page.rotate();
        page.rotate();
        page.rotate();
        QCOMPARE(page.m_size, QSize(800, 600));

        HSPage bare;
        bare.setSize(800, 600);
        bare.rotate();
        QCOMPARE(bare.m_size, QSize(800, 600));
        QVERIFY(bare.m_baImage.isEmpty());

        HSPage broken;
        broken.setSize(800, 600);
        broken.m_baImage = "bm90IGEgcG5n";
        const HSPage before = broken;
        broken.rotate();
        QVERIFY(broken == before);
    }

    void copies()
    {
        const HSPage page = fullPage();
        HSPage copy;
        copy = page;
        QVERIFY(copy == page);
        HSPage constructed(page);
        QVERIFY(constructed == page);
        copy.appendItem("x");
        QVERIFY(copy != page);
    }
};

QTEST_MAIN(TestPage)
#include "tst_page.moc"
