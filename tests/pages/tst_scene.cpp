#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/DisplayPage.h"
#include "pages/HSPage.h"
#include "pages/ImageItem.h"
#include "pages/PageToolHooks.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"
#include "pages/VoteItem.h"

#include <QGraphicsPixmapItem>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class TestScene : public QObject
{
    Q_OBJECT

private:
    static QPixmap filled(int w, int h, const QColor &color)
    {
        QPixmap p(w, h);
        p.fill(color);
        return p;
    }

    static HSPage samplePage()
    {
        HSPage page;
        page.setSize(400, 300);
        page.setPixmap(filled(400, 300, QColor(200, 220, 240)));
        page.appendItem("3#255,0,0,255#8#20,20 200,20 380,20 ");
        ImageItem picture;
        picture.setPixmap(filled(50, 40, Qt::green));
        picture.setPos(100, 150);
        page.appendItem(picture.toString());
        TextItem text;
        text.setHtml("<b>hello</b> $$ & more");
        text.setPos(10, 250);
        page.appendItem(text.toString());
        page.appendItem("9#not an item");
        page.m_strVote = "1,0.25#2,0.75#3,0#4,0#5,0#6,0";
        return page;
    }

private slots:
    void cleanup()
    {
        PageToolHooks::endStrokes = nullptr;
        PageToolHooks::clearToolItems = nullptr;
        PageToolHooks::currentPageRow = nullptr;
        Settings::instance()->m_nMode = 3;
    }

    void showsAndWritesBack()
    {
        const HSPage page = samplePage();
        HSPage shown = page;
        DisplayPage scene;
        scene.setPage(shown);
        QCOMPARE(scene.sceneRect(), QRectF(0, 0, 400, 300));

        const QList<QGraphicsItem *> items = scene.items(Qt::AscendingOrder);
        QCOMPARE(items.size(), 5); // background, 3 items, vote chart
        QVERIFY(dynamic_cast<QGraphicsPixmapItem *>(items.at(0)));
        QVERIFY(dynamic_cast<PolylineItem *>(items.at(1)));
        QVERIFY(dynamic_cast<ImageItem *>(items.at(2)));
        QVERIFY(dynamic_cast<TextItem *>(items.at(3)));
        QCOMPARE(items.at(4), static_cast<QGraphicsItem *>(scene.m_pVoteItem));
        QVERIFY(scene.m_pVoteItem->isVisible());
        QCOMPARE(scene.m_pVoteItem->zValue(), 1000.0);
        QCOMPARE(scene.m_pVoteItem->value(1), 0.75f);

        QList<QGraphicsScene *> ended; // only the strokes of this scene end
        PageToolHooks::endStrokes = [&ended](QGraphicsScene *s) { ended << s; };
        HSPage out;
        out.m_strVote = page.m_strVote;
        scene.storeToPage(out);
        QCOMPARE(ended, QList<QGraphicsScene *>{&scene});
        QCOMPARE(out.m_size, page.m_size);
        QCOMPARE(out.m_baImage, page.m_baImage); // not re-encoded
        QCOMPARE(out.m_listItems, page.m_listItems.mid(0, 3));

        // Showing the written-back record again gives the same record.
        scene.setPage(out);
        HSPage again;
        again.m_strVote = out.m_strVote;
        scene.storeToPage(again);
        QVERIFY(again == out);
    }

    void changedBackgroundIsEncoded()
    {
        HSPage page = samplePage();
        DisplayPage scene;
        scene.setPage(page);
        auto *background = dynamic_cast<QGraphicsPixmapItem *>(scene.items(Qt::AscendingOrder)[0]);
        QVERIFY(background);
        background->setPixmap(filled(400, 300, Qt::yellow));
        HSPage out;
        scene.storeToPage(out);
        QVERIFY(out.m_baImage != page.m_baImage);
        QImage image = QImage::fromData(QByteArray::fromBase64(out.m_baImage));
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::yellow));
    }

    void storeBeforeSetPageChangesNothing()
    {
        DisplayPage scene;
        HSPage page = samplePage();
        const HSPage before = page;
        scene.storeToPage(page);
        QVERIFY(page == before);
    }

    void pictureFirstIsNoBackground()
    {
        HSPage page = samplePage();
        page.clearImage();
        page.m_listItems = {page.m_listItems.at(1)};
        DisplayPage scene;
        scene.setPage(page);
        HSPage out;
        scene.storeToPage(out);
        QVERIFY(out.m_baImage.isEmpty());
        QCOMPARE(out.m_listItems, page.m_listItems);
    }

    void clearKeepsBackgroundOnly()
    {
        QList<QGraphicsScene *> cleared; // outlives the scene, whose destructor calls the hook
        HSPage page = samplePage();
        DisplayPage scene;
        scene.setPage(page);
        PageToolHooks::clearToolItems = [&cleared](QGraphicsScene *s) { cleared << s; };
        scene.clear(false);
        QCOMPARE(cleared, QList<QGraphicsScene *>{&scene});
        cleared.clear();
        QCOMPARE(scene.items().size(), 1);
        QVERIFY(dynamic_cast<QGraphicsPixmapItem *>(scene.items().first()));
        QVERIFY(!scene.m_pVoteItem);
        HSPage out;
        scene.storeToPage(out);
        QCOMPARE(out.m_baImage, page.m_baImage);
        QVERIFY(out.m_listItems.isEmpty());

        scene.setShowVote(page);
        QVERIFY(scene.m_pVoteItem && scene.m_pVoteItem->isVisible());
        scene.clear(true);
        QVERIFY(scene.items().isEmpty());
        QVERIFY(!scene.m_pVoteItem);
        QCOMPARE(cleared, QList<QGraphicsScene *>{&scene});
    }

    void voteVisibility()
    {
        HSPage page = samplePage();
        page.m_strVote = "1,0.5#2,0.5";
        DisplayPage scene;
        scene.setPage(page);
        QVERIFY(scene.m_pVoteItem->isVisible());
        QCOMPARE(scene.m_pVoteItem->value(0), 0.0f); // two parts: no value set
        page.m_strVote = QString();
        scene.setShowVote(page);
        QVERIFY(!scene.m_pVoteItem->isVisible());
        page.m_strVote = "1,0.1#2,0.2#3,0.3#4,0.4#-2147483648,1#x";
        scene.setShowVote(page);
        QCOMPARE(scene.m_pVoteItem->value(3), 0.4f);
    }

    void renderThumbnail()
    {
        HSPage page = samplePage();
        page.m_strVote.clear();
        page.setSize(1000, 1000);
        DisplayPage scene;
        scene.setPage(page);
        QPixmap thumb(150, 200);
        scene.renderToPixmap(thumb);
        QCOMPARE(thumb.size(), QSize(150, 150));

        page = samplePage();
        page.m_strVote.clear();
        scene.setPage(page);
        QPixmap full(400, 300);
        scene.renderToPixmap(full);
        QCOMPARE(full.size(), QSize(400, 300));
        const QImage image = full.toImage();
        QCOMPARE(image.pixelColor(200, 100), QColor(200, 220, 240)); // background
        QCOMPARE(image.pixelColor(200, 20), QColor(Qt::red));        // stroke
        QCOMPARE(image.pixelColor(125, 170), QColor(Qt::green));     // picture
        image.save(qEnvironmentVariable("CORVANE_TEST_ARTIFACTS") + "/scene_render.png");
    }

    void textMessage()
    {
        TextItem item;
        item.m_strId = "{t}";
        Settings::instance()->m_nMode = 0;
        PageToolHooks::currentPageRow = [](int mode) { return mode == 0 ? 4 : 7; };
        QVERIFY(DisplayPage::textMessage(&item).startsWith("line@ebook&4&6#{t}$$0,0,-1,"));
        Settings::instance()->m_nMode = 1;
        QVERIFY(DisplayPage::textMessage(&item).startsWith("line@enote&7&6#{t}$$"));
        // No page addressed: no message (modes 2 and 3, or no current row).
        Settings::instance()->m_nMode = 3;
        QVERIFY(DisplayPage::textMessage(&item).isEmpty());
        Settings::instance()->m_nMode = 2;
        QVERIFY(DisplayPage::textMessage(&item).isEmpty());
        Settings::instance()->m_nMode = 0;
        PageToolHooks::currentPageRow = [](int) { return -1; };
        QVERIFY(DisplayPage::textMessage(&item).isEmpty());
        QVERIFY(DisplayPage::textMessage(nullptr).isEmpty());
    }

    void sendTextReachesTeacher()
    {
        QTcpServer teacher;
        QVERIFY(teacher.listen(QHostAddress::LocalHost));
        QTcpServer images;
        QVERIFY(images.listen(QHostAddress::LocalHost));
        TcpManager *link = TcpManager::instance();
        link->setTeacherPorts(teacher.serverPort(), images.serverPort());
        link->connectToTeacher("127.0.0.1");
        QVERIFY(teacher.waitForNewConnection(3000));
        QTcpSocket *peer = teacher.nextPendingConnection();
        QVERIFY(peer);
        QTRY_COMPARE_WITH_TIMEOUT(link->teacherSocket()->state(), QAbstractSocket::ConnectedState,
                                  3000);

        TextItem item;
        item.setHtml("a&b $$ c");
        Settings::instance()->m_nMode = 1;
        PageToolHooks::currentPageRow = [](int) { return 2; };
        DisplayPage scene;
        scene.sendText(&item);

        const QByteArray args = ("enote&2&" + item.toString()).toUtf8();
        const QByteArray frame = "line@" + QByteArray::number(args.size()) + "_" + args;
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT((received += peer->readAll()).contains(frame), 10000);
    }
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
