#include "tst_canvas_support.h"

#include "pages/DisplayPage.h"
#include "pages/HSPage.h"
#include "pages/ItemText.h"
#include "pages/StrokeTool.h"
#include "pages/TextEdit.h"
#include "platform/OnScreenKeyboard.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QPainter>
#include <QScrollBar>

using namespace canvas;

class TestTools : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void colourAndWidthCycles();
    void penStrokesAndPool();
    void tapMakesDot();
    void liveSegmentsFollowTheFinger();
    void highlighterAndEraser();
    void slotsAreLimited();
    void pressOnBusyTouchEndsOldStroke();
    void forceReleaseAllFinishesStrokes();
    void emptiedSceneLeavesNoDanglingTool();
    void textEntryPlacesEscapedText();
    void textEntryEdgeCases();
    void textEditGrowsWithText();
    void pointerDragsTheView();
    void longStrokeGoesOnAsNewStroke();
    void longShadingReadsBackAsOneStroke();

private:
    QStringList m_keyboardStarts;
    std::unique_ptr<DisplayPage> m_scene;
    HSPage m_page;
};

void TestTools::initTestCase()
{
    OnScreenKeyboard::setLauncher([this](const QString &program) {
        m_keyboardStarts << program;
        return true;
    });
    m_page.setSize(800, 600);
}

void TestTools::init()
{
    m_scene = std::make_unique<DisplayPage>();
    m_scene->setPage(m_page);
    resetTools(m_scene.get());
    m_keyboardStarts.clear();
    Settings::instance()->m_nMode = 0;
}

void TestTools::cleanupTestCase()
{
    resetTools(nullptr);
    m_scene.reset();
    OnScreenKeyboard::setLauncher(nullptr);
}

void TestTools::colourAndWidthCycles()
{
    TaskToolManager *tools = TaskToolManager::instance();
    QList<QColor> colours;
    for (int i = 0; i < 4; ++i) {
        tools->switchColor();
        colours << tools->color();
    }
    QCOMPARE(colours, (QList<QColor>{Qt::red, Qt::blue, Qt::green, Qt::black}));
    QList<int> widths;
    for (int i = 0; i < 4; ++i) {
        tools->cycleWidth();
        widths << tools->width();
    }
    QCOMPARE(widths, (QList<int>{5, 7, 10, 3}));

    // Tools get the colour and width at binding.
    tools->switchColor();
    tools->cycleWidth();
    QVERIFY(tools->press(1, QPointF(5, 5)));
    QCOMPARE(tools->boundTool(1)->color(), QColor(Qt::red));
    QCOMPARE(tools->boundTool(1)->width(), 5);
    QVERIFY(tools->release(1, QPointF(5, 5)));
    QCOMPARE(itemsOf<PolylineItem>(m_scene.get()).first()->toString().left(13),
             QStringLiteral("3#255,0,0,255"));
}

void TestTools::penStrokesAndPool()
{
    TaskToolManager *tools = TaskToolManager::instance();
    const int poolBefore = tools->poolSize(TaskToolManager::PenMode);
    QVERIFY(tools->press(1, QPointF(10, 10)));
    QVERIFY(tools->press(2, QPointF(100, 10)));
    QVERIFY(tools->boundTool(1) != tools->boundTool(2));
    QVERIFY(tools->move(1, QPointF(20, 20)));
    QVERIFY(tools->move(2, QPointF(110, 20)));
    QVERIFY(tools->move(1, QPointF(30, 40)));
    TaskTool *first = tools->boundTool(1);
    QVERIFY(tools->release(1, QPointF(30, 40)));
    QVERIFY(tools->release(2, QPointF(110, 20)));
    QCOMPARE(tools->activeToolCount(), 0);
    QCOMPARE(first->touchId(), -1);

    QVERIFY(tools->press(3, QPointF(50, 50)));
    QVERIFY(tools->release(3, QPointF(60, 60)));
    QCOMPARE(tools->poolSize(TaskToolManager::PenMode), qMax(poolBefore, 2));

    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_scene.get());
    QCOMPARE(strokes.size(), 3);
    QCOMPARE(strokes.at(0)->m_points,
             (QList<QPointF>{QPointF(10, 10), QPointF(20, 20), QPointF(30, 40)}));
    QCOMPARE(strokes.at(0)->m_nWidth, 3);
    QCOMPARE(strokes.at(0)->m_color, QColor(Qt::black));
    QVERIFY(itemsOf<LiveSegment>(m_scene.get()).isEmpty());

    // Without a press nothing happens.
    QVERIFY(!tools->move(9, QPointF(1, 1)));
    QVERIFY(!tools->release(9, QPointF(1, 1)));
}

void TestTools::tapMakesDot()
{
    TaskToolManager *tools = TaskToolManager::instance();
    QVERIFY(tools->press(TaskToolManager::MouseTouchId, QPointF(40, 50)));
    QVERIFY(tools->release(TaskToolManager::MouseTouchId, QPointF(40, 50)));
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_scene.get());
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first()->m_points, (QList<QPointF>{QPointF(40, 50), QPointF(41, 51)}));
    QCOMPARE(strokes.first()->toString(), QStringLiteral("3#0,0,0,255#3#40,50 41,51 "));
}

void TestTools::liveSegmentsFollowTheFinger()
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->switchColor(); // red
    QVERIFY(tools->press(1, QPointF(10, 10)));
    QVERIFY(tools->move(1, QPointF(20, 10)));
    QVERIFY(tools->move(1, QPointF(20, 30)));
    // One live item for the stroke, in its colour and width, over the points so far.
    const QList<LiveSegment *> live = itemsOf<LiveSegment>(m_scene.get());
    QCOMPARE(live.size(), 1);
    QCOMPARE(live.first()->color(), QColor(Qt::red));
    QCOMPARE(live.first()->width(), 3);
    QVERIFY(live.first()->boundingRect().contains(QRectF(10, 10, 10, 20)));
    QVERIFY(tools->release(1, QPointF(20, 30)));
    QVERIFY(itemsOf<LiveSegment>(m_scene.get()).isEmpty());
    QCOMPARE(itemsOf<PolylineItem>(m_scene.get()).size(), 1);
}

void TestTools::highlighterAndEraser()
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->switchColor(); // red
    tools->setMode(TaskToolManager::HighlighterMode);
    QVERIFY(tools->press(1, QPointF(10, 10)));
    QVERIFY(tools->move(1, QPointF(50, 10)));
    QCOMPARE(itemsOf<LiveSegment>(m_scene.get()).first()->width(), 9);
    QCOMPARE(itemsOf<LiveSegment>(m_scene.get()).first()->color().alpha(), 180);
    QVERIFY(tools->release(1, QPointF(50, 10)));

    tools->cycleWidth(); // 5: the eraser ignores it
    tools->setMode(TaskToolManager::EraserMode);
    QVERIFY(tools->press(2, QPointF(10, 100)));
    QVERIFY(tools->move(2, QPointF(60, 100)));
    QCOMPARE(itemsOf<LiveSegment>(m_scene.get()).first()->width(), 64);
    QCOMPARE(itemsOf<LiveSegment>(m_scene.get()).first()->color(), QColor(Qt::white));
    QVERIFY(tools->release(2, QPointF(60, 100)));

    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_scene.get());
    QCOMPARE(strokes.size(), 2);
    QCOMPARE(strokes.at(0)->m_nWidth, 9);
    QCOMPARE(strokes.at(0)->m_color, QColor(255, 0, 0, 180));
    QVERIFY(strokes.at(0)->toString().startsWith(QStringLiteral("3#255,0,0,180#9#")));
    QCOMPARE(strokes.at(1)->m_nWidth, 64);
    QCOMPARE(strokes.at(1)->m_color, QColor(Qt::white));
    QVERIFY(strokes.at(1)->toString().startsWith(QStringLiteral("3#255,255,255,255#64#")));
}

void TestTools::slotsAreLimited()
{
    TaskToolManager *tools = TaskToolManager::instance();
    for (int id = 0; id < TaskToolManager::MaxActiveTools; ++id) {
        QVERIFY(tools->press(id, QPointF(id * 10, 10)));
        QVERIFY(tools->move(id, QPointF(id * 10, 20)));
    }
    // A free pooled tool still holds a scene from an earlier use: it must not draw.
    QVERIFY(!tools->press(100, QPointF(5, 300)));
    QVERIFY(!tools->move(100, QPointF(5, 310)));
    QVERIFY(!tools->release(100, QPointF(5, 310)));
    QCOMPARE(tools->activeToolCount(), TaskToolManager::MaxActiveTools);
    for (int id = 0; id < TaskToolManager::MaxActiveTools; ++id)
        QVERIFY(tools->release(id, QPointF(id * 10, 20)));
    QCOMPARE(itemsOf<PolylineItem>(m_scene.get()).size(), TaskToolManager::MaxActiveTools);
    QCOMPARE(tools->activeToolCount(), 0);
}

void TestTools::pressOnBusyTouchEndsOldStroke()
{
    TaskToolManager *tools = TaskToolManager::instance();
    QVERIFY(tools->press(7, QPointF(10, 10)));
    QVERIFY(tools->move(7, QPointF(30, 10)));
    QVERIFY(tools->press(7, QPointF(100, 100)));
    QCOMPARE(tools->activeToolCount(), 1);
    QCOMPARE(itemsOf<PolylineItem>(m_scene.get()).size(), 1);
    QVERIFY(itemsOf<LiveSegment>(m_scene.get()).isEmpty());
    QVERIFY(tools->release(7, QPointF(100, 100)));
    QCOMPARE(itemsOf<PolylineItem>(m_scene.get()).size(), 2);
}

void TestTools::forceReleaseAllFinishesStrokes()
{
    TaskToolManager *tools = TaskToolManager::instance();
    QVERIFY(tools->press(1, QPointF(10, 10)));
    QVERIFY(tools->move(1, QPointF(20, 20)));
    QVERIFY(tools->press(2, QPointF(50, 50)));
    tools->forceReleaseAll();
    QCOMPARE(tools->activeToolCount(), 0);
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_scene.get());
    QCOMPARE(strokes.size(), 2);
    QCOMPARE(strokes.at(0)->m_points.last(), QPointF(51, 51)); // the tap of touch 2
    QCOMPARE(strokes.at(1)->m_points.last(), QPointF(20, 20));

    // The scene writes back only finished strokes.
    QVERIFY(tools->press(3, QPointF(5, 5)));
    QVERIFY(tools->move(3, QPointF(9, 9)));
    HSPage record;
    m_scene->storeToPage(record);
    QCOMPARE(record.m_listItems.size(), 3);
    QCOMPARE(tools->activeToolCount(), 0);
}

void TestTools::emptiedSceneLeavesNoDanglingTool()
{
    TaskToolManager *tools = TaskToolManager::instance();
    // Strokes in progress, and a text entry, when the scene shows another page.
    QVERIFY(tools->press(1, QPointF(10, 10)));
    QVERIFY(tools->move(1, QPointF(20, 20)));
    QVERIFY(tools->move(1, QPointF(30, 20)));
    m_scene->setPage(m_page);
    QVERIFY(!tools->move(1, QPointF(40, 20)));
    QVERIFY(!tools->release(1, QPointF(40, 20)));
    QVERIFY(m_scene->items().size() <= 1); // the vote chart only

    QVERIFY(tools->press(2, QPointF(10, 10)));
    QVERIFY(tools->move(2, QPointF(20, 20)));
    m_scene->clear(false);
    QVERIFY(!tools->move(2, QPointF(40, 20)));
    QVERIFY(!tools->release(2, QPointF(40, 20)));

    tools->setMode(TaskToolManager::TextMode);
    QVERIFY(!tools->press(3, QPointF(10, 10)));
    QVERIFY(tools->isTextEntryOpen());
    m_scene->clear(true);
    QVERIFY(!tools->isTextEntryOpen());
    QVERIFY(!tools->press(3, QPointF(10, 10))); // opens a new one
    QVERIFY(tools->isTextEntryOpen());

    // The whole scene goes away mid-stroke.
    tools->setMode(TaskToolManager::PenMode);
    QVERIFY(tools->press(4, QPointF(10, 10)));
    QVERIFY(tools->move(4, QPointF(20, 20)));
    m_scene.reset();
    QVERIFY(!tools->isTextEntryOpen());
    QVERIFY(!tools->move(4, QPointF(30, 20)));
    QVERIFY(!tools->release(4, QPointF(30, 20)));
    tools->clearToolItems();
}

void TestTools::textEntryPlacesEscapedText()
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->switchColor(); // red
    tools->setMode(TaskToolManager::TextMode);
    QVERIFY(!tools->press(1, QPointF(10.7, 20.9)));
    QVERIFY(tools->isTextEntryOpen());
    QCOMPARE(m_keyboardStarts.size(), 1);
    TextEdit *edit = tools->textEdit();
    QCOMPARE(edit->pos(), QPoint(10, 20));
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(edit->palette().color(QPalette::Text), QColor(Qt::red));

    const QString typed = QStringLiteral("a<b> & c");
    edit->setText(typed);
    QVERIFY(!tools->press(1, QPointF(300, 300)));
    QCOMPARE(tools->mode(), int(TaskToolManager::PointerMode));
    QVERIFY(!tools->isTextEntryOpen());
    QVERIFY(itemsOf<QGraphicsProxyWidget>(m_scene.get()).isEmpty());

    const QList<TextItem *> texts = itemsOf<TextItem>(m_scene.get());
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts.first()->toPlainText(), typed);
    QCOMPARE(texts.first()->pos(), QPointF(10, 20));
    QVERIFY(texts.first()->toHtml().contains(QStringLiteral("#ff0000")));
    QVERIFY(texts.first()->toHtml().contains(QStringLiteral("a&lt;b&gt; &amp; c")));
}

void TestTools::textEntryEdgeCases()
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->setMode(TaskToolManager::TextMode);
    QVERIFY(!tools->press(1, QPointF(10, 10)));
    QVERIFY(!tools->press(1, QPointF(10, 10))); // nothing typed
    QVERIFY(!tools->isTextEntryOpen());
    QVERIFY(itemsOf<TextItem>(m_scene.get()).isEmpty());
    QCOMPARE(tools->mode(), int(TaskToolManager::PointerMode));

    // Black gives 000000; a "$$" shows as typed.
    tools->setMode(TaskToolManager::TextMode);
    QVERIFY(!tools->press(1, QPointF(10, 10)));
    tools->textEdit()->setText(QStringLiteral("1$$2"));
    QVERIFY(!tools->press(1, QPointF(10, 10)));
    TextItem *placed = itemsOf<TextItem>(m_scene.get()).first();
    QCOMPARE(placed->toPlainText(), QStringLiteral("1$$2"));
    TextItem readBack;
    readBack.fromString(placed->toString());
    QCOMPARE(readBack.toPlainText(), QStringLiteral("1$$2"));
    QVERIFY(placed->toHtml().contains(QStringLiteral("#000000")));

    // A scene that is not a page scene keeps the entry open but still leaves text mode.
    QGraphicsScene plain;
    tools->setScene(&plain);
    tools->setMode(TaskToolManager::TextMode);
    QVERIFY(!tools->press(1, QPointF(10, 10)));
    tools->textEdit()->setText(QStringLiteral("x"));
    QVERIFY(!tools->press(1, QPointF(10, 10)));
    QVERIFY(tools->isTextEntryOpen());
    QCOMPARE(tools->mode(), int(TaskToolManager::PointerMode));
    plain.clear();
    QVERIFY(!tools->isTextEntryOpen());

    // Without a scene text mode does nothing.
    tools->setScene(nullptr);
    tools->setMode(TaskToolManager::TextMode);
    m_keyboardStarts.clear();
    QVERIFY(!tools->press(1, QPointF(10, 10)));
    QVERIFY(!tools->isTextEntryOpen());
    QVERIFY(m_keyboardStarts.isEmpty());
    QCOMPARE(tools->mode(), int(TaskToolManager::TextMode));
}

void TestTools::textEditGrowsWithText()
{
    TextEdit edit;
    const QFontMetrics metrics = edit.fontMetrics();
    QCOMPARE(edit.size(), QSize(20, metrics.height() + 10));
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    const int ww = metrics.horizontalAdvance(QStringLiteral("WW"));
    QCOMPARE(edit.width(), metrics.horizontalAdvance(QStringLiteral("abc")) + ww);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.width(), metrics.horizontalAdvance(QStringLiteral("ab")) + ww);
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.width(), ww);
}

void TestTools::pointerDragsTheView()
{
    QGraphicsView view(m_scene.get());
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PageTarget::setViewProvider([&view](int) -> QGraphicsView * { return &view; });
    view.horizontalScrollBar()->setValue(100);
    view.verticalScrollBar()->setValue(100);

    TaskToolManager *tools = TaskToolManager::instance();
    tools->setMode(TaskToolManager::PointerMode);
    const QPointF start = view.mapToScene(QPoint(150, 100));
    QVERIFY(tools->press(1, start));
    QVERIFY(tools->move(1, view.mapToScene(QPoint(120, 90))));
    QCOMPARE(view.horizontalScrollBar()->value(), 130);
    QCOMPARE(view.verticalScrollBar()->value(), 110);
    QVERIFY(tools->release(1, start));
    QVERIFY(!tools->release(1, start));
    QCOMPARE(itemsOf<PolylineItem>(m_scene.get()).size(), 0);

    // Without a page view the pointer still takes the input and scrolls nothing.
    PageTarget::setViewProvider(nullptr);
    QVERIFY(tools->press(2, start));
    QVERIFY(tools->move(2, start + QPointF(50, 50)));
    QVERIFY(tools->release(2, start));
    QCOMPARE(view.horizontalScrollBar()->value(), 130);
}

// A stroke holds no more points than reading its text keeps: drawing on past that makes a
// new stroke from the last point, and nothing drawn is lost. (A finger circling in one spot:
// a stroke that goes far is cut into pieces long before.)
void TestTools::longStrokeGoesOnAsNewStroke()
{
    TaskToolManager *tools = TaskToolManager::instance();
    const int cap = ItemText::kMaxStrokePoints;
    QVERIFY(tools->press(1, QPointF(0, 0)));
    for (int i = 1; i < cap + 5; ++i)
        QVERIFY(tools->move(1, QPointF(100 + i % 2, 100 + (i / 2) % 2)));
    QVERIFY(tools->release(1, QPointF(1, 1)));
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_scene.get());
    QCOMPARE(strokes.size(), 2);
    QCOMPARE(strokes.at(0)->m_points.size(), cap);
    QCOMPARE(strokes.at(1)->m_points.size(), 6);
    QCOMPARE(strokes.at(1)->m_points.first(), strokes.at(0)->m_points.last());
    PolylineItem back;
    back.fromString(strokes.at(0)->toString());
    QCOMPARE(back.m_points, strokes.at(0)->m_points);
    QVERIFY(itemsOf<LiveSegment>(m_scene.get()).isEmpty());
}

// A long shading is kept as pieces that draw as one stroke, on its page and on a page read back
// from them: one coat where they overlap, and still so once a piece goes.
void TestTools::longShadingReadsBackAsOneStroke()
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->switchColor(); // red
    tools->setMode(TaskToolManager::HighlighterMode);
    QVERIFY(tools->press(1, QPointF(20, 20)));
    for (int y = 20, row = 0; y <= 560; y += 4, ++row)
        for (int x = 0; x <= 720; x += 16)
            QVERIFY(tools->move(1, QPointF(row % 2 ? 760 - x : 40 + x, y)));
    QVERIFY(tools->release(1, QPointF(40, 560)));
    HSPage record;
    m_scene->storeToPage(record);
    QVERIFY(record.m_listItems.size() > 2);

    // One coat of red at alpha 180 over white is 255,75,75.
    const auto twoCoats = [](QGraphicsScene &scene) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene.render(&painter, QRectF(image.rect()), scene.sceneRect());
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += image.pixelColor(x, y).green() < 60 ? 1 : 0;
        return dark;
    };
    QCOMPARE(twoCoats(*m_scene), 0);
    DisplayPage read;
    read.setPage(record);
    QCOMPARE(twoCoats(read), 0);
    for (int piece : {0, 1}) {
        delete itemsOf<PolylineItem>(&read).at(piece);
        QCOMPARE(twoCoats(read), 0);
    }
}

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
