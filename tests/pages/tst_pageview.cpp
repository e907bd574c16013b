#include "tst_canvas_support.h"

#include "pages/HSPage.h"
#include "pages/TextEdit.h"
#include "platform/OnScreenKeyboard.h"

#include <QDialog>
#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTouchDevice>

using namespace canvas;

class TestPageView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void fingerStrokeGoesToTeacher();
    void sharingOffSendsNothing();
    void twoFingersDrawAtOnce();
    void mouseIsTouchPoint28671();
    void tapMakesTwoPointStroke();
    void pinchZoomStaysInRange();
    void pinchReleasesFingerAlreadyDown();
    void oneFingerPointerDragsThePage();
    void textModeByTouch();
    void touchCancelEndsStroke();
    void pageSwitchWhileFingerDown();
    void strokeEndedByPageSwitchKeepsItsRow();
    void strokeGoesToItsCanvasPageWhateverTheMode();
    void quickSecondMousePressDraws();
    void moveWithNoButtonEndsTheMouseStroke();
    void writeBackKeepsStrokesOfTheOtherCanvas();
    void screenshotOfEveryTool();

private:
    QWidget *viewport() const { return m_view->viewport(); }
    // Viewport points in the canvas window, for mouse input through the window system path
    // (double-clicks, modal blocking).
    QWindow *window() const { return m_view->windowHandle(); }
    QPoint inWindow(const QPoint &p) const { return viewport()->mapTo(m_view.get(), p); }
    void tap(const QPoint &at)
    {
        QTest::touchEvent(viewport(), m_device).press(0, at, viewport());
        QTest::touchEvent(viewport(), m_device).release(0, at, viewport());
    }
    QPointF sceneAt(const QPoint &p) const { return m_view->mapToScene(p); }
    // An e-note canvas of two pages beside the e-book one, showing `page`; the page rows are
    // those the two canvases show.
    bool showNoteCanvas(PageView &note, int page);

    TeacherLink m_link;
    QTouchDevice *m_device = nullptr;
    std::unique_ptr<PageView> m_view;
};

void TestPageView::initTestCase()
{
    QVERIFY(m_link.connect());
    m_device = QTest::createTouchDevice();
    OnScreenKeyboard::setLauncher([](const QString &) { return true; });
}

void TestPageView::init()
{
    m_view = makeCanvas(2, QSize(400, 300));
    QVERIFY(m_view);
    TcpManager::instance()->m_bShare = false;
    m_link.teacher.clearFrames();
}

void TestPageView::cleanup()
{
    m_view.reset();
    dropCanvasHooks();
}

void TestPageView::cleanupTestCase()
{
    resetTools(nullptr);
    OnScreenKeyboard::setLauncher(nullptr);
}

bool TestPageView::showNoteCanvas(PageView &note, int page)
{
    note.addBlankPage(400, 300, false);
    note.addBlankPage(400, 300, false);
    note.onCurrentPageChanged(page);
    note.resize(400, 300);
    note.move(450, 0);
    note.show();
    PageView *book = m_view.get();
    PageToolHooks::currentPageRow = [&note, book](int mode) {
        return mode == 1 ? note.currentIndex() : book->currentIndex();
    };
    return QTest::qWaitForWindowExposed(&note);
}

void TestPageView::fingerStrokeGoesToTeacher()
{
    TcpManager::instance()->m_bShare = true;
    QSignalSpy thumbs(m_view.get(), SIGNAL(updateThunmbianl()));
    QTest::touchEvent(viewport(), m_device).press(3, QPoint(20, 30), viewport());
    QTest::touchEvent(viewport(), m_device).move(3, QPoint(60, 50), viewport());
    QTest::touchEvent(viewport(), m_device).move(3, QPoint(100, 120), viewport());
    QCOMPARE(itemsOf<LiveSegment>(m_view->pageScene()).size(), 1);
    QCOMPARE(thumbs.count(), 0);
    QTest::touchEvent(viewport(), m_device).release(3, QPoint(100, 120), viewport());
    QCOMPARE(thumbs.count(), 1);

    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first()->m_points,
             (QList<QPointF>{sceneAt(QPoint(20, 30)), sceneAt(QPoint(60, 50)),
                             sceneAt(QPoint(100, 120))}));
    QVERIFY(itemsOf<LiveSegment>(m_view->pageScene()).isEmpty());
    QVERIFY(m_link.teacher.waitForFrames(1));
    QCOMPARE(m_link.teacher.frameTexts(),
             QList<QByteArray>{"line@ebook&0&" + strokes.first()->toString().toUtf8()});
    QCOMPARE(m_link.teacher.received(),
             FakeTeacher::frame("line@", "ebook&0&" + strokes.first()->toString().toUtf8()));
}

void TestPageView::sharingOffSendsNothing()
{
    QTest::touchEvent(viewport(), m_device).press(1, QPoint(20, 30), viewport());
    QTest::touchEvent(viewport(), m_device).move(1, QPoint(60, 50), viewport());
    QTest::touchEvent(viewport(), m_device).release(1, QPoint(60, 50), viewport());
    QCOMPARE(itemsOf<PolylineItem>(m_view->pageScene()).size(), 1);

    // Sharing on but no page addressed: a scene of neither canvas in mode 3, or no page row.
    TcpManager::instance()->m_bShare = true;
    Settings::instance()->m_nMode = 3;
    PageTarget::setViewProvider(nullptr);
    QTest::touchEvent(viewport(), m_device).press(1, QPoint(20, 30), viewport());
    QTest::touchEvent(viewport(), m_device).release(1, QPoint(20, 30), viewport());
    Settings::instance()->m_nMode = 0;
    PageToolHooks::currentPageRow = [](int) { return -1; };
    QTest::touchEvent(viewport(), m_device).press(1, QPoint(20, 30), viewport());
    QTest::touchEvent(viewport(), m_device).release(1, QPoint(20, 30), viewport());
    QCOMPARE(itemsOf<PolylineItem>(m_view->pageScene()).size(), 3);
    QVERIFY(m_link.framesAfter(300).isEmpty());
}

void TestPageView::twoFingersDrawAtOnce()
{
    QSignalSpy thumbs(m_view.get(), SIGNAL(updateThunmbianl()));
    QTest::touchEvent(viewport(), m_device)
        .press(1, QPoint(20, 20), viewport())
        .press(2, QPoint(200, 20), viewport());
    TaskToolManager *tools = TaskToolManager::instance();
    QCOMPARE(tools->activeToolCount(), 2); // one tool per finger
    QTest::touchEvent(viewport(), m_device)
        .move(1, QPoint(30, 60), viewport())
        .move(2, QPoint(210, 60), viewport());
    QTest::touchEvent(viewport(), m_device)
        .move(1, QPoint(40, 90), viewport())
        .move(2, QPoint(210, 60), viewport());
    QTest::touchEvent(viewport(), m_device)
        .release(1, QPoint(40, 90), viewport())
        .move(2, QPoint(210, 60), viewport());
    QCOMPARE(thumbs.count(), 1);
    QTest::touchEvent(viewport(), m_device).release(2, QPoint(210, 60), viewport());
    QCOMPARE(thumbs.count(), 2);

    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 2);
    QCOMPARE(strokes.at(0)->m_points.size(), 3);
    QVERIFY(strokes.at(1)->m_points.size() >= 2);
    QCOMPARE(tools->activeToolCount(), 0);
}

void TestPageView::mouseIsTouchPoint28671()
{
    QSignalSpy thumbs(m_view.get(), SIGNAL(updateThunmbianl()));
    TaskToolManager *tools = TaskToolManager::instance();
    QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    QVERIFY(tools->boundTool(28671));
    QCOMPARE(tools->activeToolCount(), 1);
    // QTest::mouseMove only moves the cursor on this platform.
    QMouseEvent move(QEvent::MouseMove, QPointF(80, 90), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport(), &move);
    QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 90));
    QVERIFY(!tools->boundTool(28671));
    QCOMPARE(thumbs.count(), 1);
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first()->m_points.first(), sceneAt(QPoint(30, 40)));
    QCOMPARE(strokes.first()->m_points.last(), sceneAt(QPoint(80, 90)));

    // A release no tool takes still asks for a thumbnail.
    tools->setMode(TaskToolManager::PointerMode);
    PageTarget::setViewProvider(nullptr);
    QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(thumbs.count(), 2);
}

void TestPageView::tapMakesTwoPointStroke()
{
    QTest::touchEvent(viewport(), m_device).press(5, QPoint(50, 60), viewport());
    QTest::touchEvent(viewport(), m_device).release(5, QPoint(50, 60), viewport());
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 1);
    const QPointF p = sceneAt(QPoint(50, 60));
    QCOMPARE(strokes.first()->m_points, (QList<QPointF>{p, p + QPointF(1, 1)}));
}

void TestPageView::pinchZoomStaysInRange()
{
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
    QCOMPARE(m_view->zoomScale(), 1.0f);
    QVERIFY(!m_view->isZooming());
    QTest::touchEvent(viewport(), m_device).press(0, QPoint(150, 150), viewport());
    QTest::touchEvent(viewport(), m_device)
        .move(0, QPoint(150, 150), viewport())
        .press(1, QPoint(160, 150), viewport());
    QVERIFY(m_view->isZooming());
    QCOMPARE(m_view->zoomScale(), 1.0f);
    for (int step = 1; step <= 20; ++step)
        QTest::touchEvent(viewport(), m_device)
            .move(0, QPoint(150 - step, 150), viewport())
            .move(1, QPoint(160, 150), viewport());
    QVERIFY(m_view->zoomScale() > 1.99f);
    QVERIFY(m_view->zoomScale() < 2.0f); // float steps
    QTest::touchEvent(viewport(), m_device)
        .move(0, QPoint(120, 150), viewport())
        .move(1, QPoint(160, 150), viewport());
    QCOMPARE(m_view->zoomScale(), 2.0f);
    QTest::touchEvent(viewport(), m_device)
        .move(0, QPoint(100, 150), viewport())
        .move(1, QPoint(160, 150), viewport());
    QCOMPARE(m_view->zoomScale(), 2.0f);
    QCOMPARE(m_view->transform().m11(), 2.0);

    // Same distance lowers it too; closing down to 1.0.
    QTest::touchEvent(viewport(), m_device)
        .move(0, QPoint(100, 150), viewport())
        .move(1, QPoint(160, 150), viewport());
    QVERIFY(m_view->zoomScale() < 2.0f);
    for (int step = 1; step <= 30; ++step)
        QTest::touchEvent(viewport(), m_device)
            .move(0, QPoint(100 + step, 150), viewport())
            .move(1, QPoint(160, 150), viewport());
    QCOMPARE(m_view->zoomScale(), 1.0f);
    QTest::touchEvent(viewport(), m_device)
        .release(0, QPoint(130, 150), viewport())
        .move(1, QPoint(160, 150), viewport());
    QVERIFY(!m_view->isZooming());
    QTest::touchEvent(viewport(), m_device).release(1, QPoint(160, 150), viewport());
    QVERIFY(itemsOf<PolylineItem>(m_view->pageScene()).isEmpty());

    // A page switch shows the new page unzoomed.
    m_view->scale(2, 2);
    m_view->onCurrentPageChanged(1);
    QCOMPARE(m_view->transform().m11(), 1.0);
}

void TestPageView::pinchReleasesFingerAlreadyDown()
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->setMode(TaskToolManager::PointerMode);
    QTest::touchEvent(viewport(), m_device).press(0, QPoint(150, 150), viewport());
    QCOMPARE(tools->activeToolCount(), 1);
    QTest::touchEvent(viewport(), m_device)
        .move(0, QPoint(150, 150), viewport())
        .press(1, QPoint(200, 150), viewport());
    QCOMPARE(tools->activeToolCount(), 0);
    QTest::touchEvent(viewport(), m_device)
        .release(0, QPoint(150, 150), viewport())
        .move(1, QPoint(200, 150), viewport());
    // The finger left over moves nothing and releases cleanly.
    QTest::touchEvent(viewport(), m_device).move(1, QPoint(220, 150), viewport());
    QTest::touchEvent(viewport(), m_device).release(1, QPoint(220, 150), viewport());
    QCOMPARE(tools->activeToolCount(), 0);

    // In pen mode three fingers draw three strokes and no zoom happens.
    tools->setMode(TaskToolManager::PenMode);
    QTest::touchEvent(viewport(), m_device)
        .press(0, QPoint(10, 10), viewport())
        .press(1, QPoint(50, 10), viewport())
        .press(2, QPoint(90, 10), viewport());
    QTest::touchEvent(viewport(), m_device)
        .release(0, QPoint(10, 20), viewport())
        .release(1, QPoint(50, 20), viewport())
        .release(2, QPoint(90, 20), viewport());
    QCOMPARE(itemsOf<PolylineItem>(m_view->pageScene()).size(), 3);
    QCOMPARE(m_view->zoomScale(), 1.0f);
}

void TestPageView::oneFingerPointerDragsThePage()
{
    m_view->clearPages();
    m_view->addBlankPage(2000, 2000, false);
    m_view->onCurrentPageChanged(0);
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
    QScrollBar *h = m_view->horizontalScrollBar();
    QScrollBar *v = m_view->verticalScrollBar();
    h->setValue(500);
    v->setValue(500);
    QTest::touchEvent(viewport(), m_device).press(0, QPoint(200, 150), viewport());
    QTest::touchEvent(viewport(), m_device).move(0, QPoint(170, 140), viewport());
    QCOMPARE(h->value(), 530);
    QCOMPARE(v->value(), 510);
    QTest::touchEvent(viewport(), m_device).release(0, QPoint(170, 140), viewport());
    QVERIFY(itemsOf<PolylineItem>(m_view->pageScene()).isEmpty());
}

void TestPageView::textModeByTouch()
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->setMode(TaskToolManager::TextMode);
    QTest::touchEvent(viewport(), m_device).press(0, QPoint(40, 50), viewport());
    QVERIFY(tools->isTextEntryOpen());
    const QPointF at = sceneAt(QPoint(40, 50));
    QCOMPARE(tools->textEdit()->pos(), QPoint(int(at.x()), int(at.y())));
    QTest::touchEvent(viewport(), m_device).release(0, QPoint(40, 50), viewport());
    tools->textEdit()->setText(QStringLiteral("Hi <3"));

    TcpManager::instance()->m_bShare = true;
    QTest::touchEvent(viewport(), m_device).press(0, QPoint(200, 200), viewport());
    QTest::touchEvent(viewport(), m_device).release(0, QPoint(200, 200), viewport());
    QCOMPARE(tools->mode(), int(TaskToolManager::PointerMode));
    const QList<TextItem *> texts = itemsOf<TextItem>(m_view->pageScene());
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts.first()->toPlainText(), QStringLiteral("Hi <3"));
    QVERIFY(m_link.teacher.waitForFrames(1));
    QCOMPARE(m_link.teacher.frameTexts().first(),
             "line@ebook&0&" + texts.first()->toString().toUtf8());

    // Two fingers in text mode go back to the pointer.
    tools->setMode(TaskToolManager::TextMode);
    QTest::touchEvent(viewport(), m_device)
        .press(0, QPoint(10, 10), viewport())
        .press(1, QPoint(90, 90), viewport());
    QCOMPARE(tools->mode(), int(TaskToolManager::PointerMode));
    QVERIFY(!tools->isTextEntryOpen());
    QTest::touchEvent(viewport(), m_device)
        .release(0, QPoint(10, 10), viewport())
        .release(1, QPoint(90, 90), viewport());
}

void TestPageView::touchCancelEndsStroke()
{
    TaskToolManager *tools = TaskToolManager::instance();
    QTest::touchEvent(viewport(), m_device).press(4, QPoint(20, 20), viewport());
    QTest::touchEvent(viewport(), m_device).move(4, QPoint(60, 60), viewport());
    QCOMPARE(tools->activeToolCount(), 1);
    QTouchEvent cancel(QEvent::TouchCancel, m_device);
    QApplication::sendEvent(viewport(), &cancel);
    QCOMPARE(tools->activeToolCount(), 0);
    QCOMPARE(itemsOf<PolylineItem>(m_view->pageScene()).size(), 1);
    QVERIFY(itemsOf<LiveSegment>(m_view->pageScene()).isEmpty());
}

void TestPageView::pageSwitchWhileFingerDown()
{
    QTest::touchEvent(viewport(), m_device).press(1, QPoint(20, 20), viewport());
    QTest::touchEvent(viewport(), m_device).move(1, QPoint(60, 60), viewport());
    QTest::touchEvent(viewport(), m_device).move(1, QPoint(90, 60), viewport());
    m_view->onCurrentPageChanged(1);
    QTest::touchEvent(viewport(), m_device).move(1, QPoint(120, 60), viewport());
    QTest::touchEvent(viewport(), m_device).release(1, QPoint(120, 60), viewport());
    QVERIFY(itemsOf<PolylineItem>(m_view->pageScene()).isEmpty());
    QVERIFY(itemsOf<LiveSegment>(m_view->pageScene()).isEmpty());

    m_view->onCurrentPageChanged(0);
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first()->m_points.size(), 3);

    // An incoming item for another page while a finger is down.
    QTest::touchEvent(viewport(), m_device).press(2, QPoint(20, 20), viewport());
    QTest::touchEvent(viewport(), m_device).move(2, QPoint(60, 60), viewport());
    m_view->procLineData(1, QStringLiteral("3#0,0,255,255#3#1,1 9,9 "));
    QTest::touchEvent(viewport(), m_device).move(2, QPoint(70, 60), viewport());
    QTest::touchEvent(viewport(), m_device).release(2, QPoint(70, 60), viewport());
    m_view->clearCurrentPage(false);
    m_view->onCurrentPageChanged(0);
    QCOMPARE(itemsOf<PolylineItem>(m_view->pageScene()).size(), 2);
}

void TestPageView::strokeEndedByPageSwitchKeepsItsRow()
{
    // The thumbnail list moves to its new row before the canvas follows it.
    int listRow = 0;
    PageToolHooks::currentPageRow = [&listRow](int) { return listRow; };
    TcpManager::instance()->m_bShare = true;
    QTest::touchEvent(viewport(), m_device).press(1, QPoint(20, 20), viewport());
    QTest::touchEvent(viewport(), m_device).move(1, QPoint(60, 60), viewport());
    listRow = 1;
    m_view->onCurrentPageChanged(1);
    QTest::touchEvent(viewport(), m_device).release(1, QPoint(60, 60), viewport());

    m_view->onCurrentPageChanged(0);
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 1);
    QVERIFY(m_link.teacher.waitForFrames(1));
    QCOMPARE(m_link.framesAfter(100),
             QList<QByteArray>{"line@ebook&0&" + strokes.first()->toString().toUtf8()});

    // Strokes finished afterwards go to the list's row again.
    m_link.teacher.clearFrames();
    listRow = 0;
    QTest::touchEvent(viewport(), m_device).press(2, QPoint(20, 20), viewport());
    QTest::touchEvent(viewport(), m_device).release(2, QPoint(20, 20), viewport());
    QVERIFY(m_link.teacher.waitForFrames(1));
    QVERIFY(m_link.teacher.frameTexts().first().startsWith("line@ebook&0&3#"));
}

// A stroke is sent as the page of the canvas that holds it, though the class has moved on to
// the other screen, the browser or no screen while the finger was down.
void TestPageView::strokeGoesToItsCanvasPageWhateverTheMode()
{
    PageView note(true);
    QVERIFY(showNoteCanvas(note, 1));
    PageView *book = m_view.get();
    PageTarget::setViewProvider([&note, book](int mode) -> QGraphicsView * {
        return mode == 1 ? &note : mode == 0 ? book : nullptr;
    });
    TcpManager::instance()->m_bShare = true;
    const auto stroke = [this](PageView *view, int modeBefore, int modeAfter) {
        QWidget *pad = view->viewport();
        Settings::instance()->m_nMode = modeBefore;
        QTest::touchEvent(pad, m_device).press(1, QPoint(20, 20), pad);
        QTest::touchEvent(pad, m_device).move(1, QPoint(80, 60), pad);
        Settings::instance()->m_nMode = modeAfter;
        QTest::touchEvent(pad, m_device).release(1, QPoint(80, 60), pad);
        const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(view->pageScene());
        return strokes.isEmpty() ? QByteArray() : strokes.last()->toString().toUtf8();
    };
    const QByteArray toBrowser = stroke(&note, 1, 2);
    const QByteArray toNone = stroke(book, 0, 3);
    const QByteArray toNote = stroke(book, 0, 1);
    QVERIFY(m_link.teacher.waitForFrames(3));
    QCOMPARE(m_link.framesAfter(100),
             (QList<QByteArray>{"line@enote&1&" + toBrowser, "line@ebook&0&" + toNone,
                                "line@ebook&0&" + toNote}));
}

// A press within the double-click time comes as a double-click only: it still starts a stroke.
// A text-mode tap delivered that way leaves nothing behind that swallows the next pen press.
void TestPageView::quickSecondMousePressDraws()
{
    QTest::mouseClick(window(), Qt::LeftButton, {}, inWindow(QPoint(50, 60)));
    // The next press 100 ms after that release.
    QTest::lastMouseTimestamp -= QGuiApplication::styleHints()->mouseDoubleClickInterval() - 100;
    QTest::mousePress(window(), Qt::LeftButton, {}, inWindow(QPoint(50, 60)));
    QTest::mouseMove(window(), inWindow(QPoint(90, 100)));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, inWindow(QPoint(130, 100)));
    QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 2);
    QCOMPARE(strokes.at(1)->m_points,
             (QList<QPointF>{sceneAt(QPoint(50, 60)), sceneAt(QPoint(90, 100)),
                             sceneAt(QPoint(130, 100))}));

    TaskToolManager *tools = TaskToolManager::instance();
    tools->setMode(TaskToolManager::TextMode);
    tap(QPoint(200, 200));
    tools->textEdit()->setText(QStringLiteral("ok"));
    tap(QPoint(200, 200));
    QCOMPARE(itemsOf<TextItem>(m_view->pageScene()).size(), 1);

    // A stylus press the way Qt hands on an unaccepted tablet press.
    tools->setMode(TaskToolManager::PenMode);
    const auto stylus = [this](QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, viewport()->mapTo(m_view.get(), at),
                          viewport()->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier,
                          Qt::MouseEventSynthesizedByQt);
        QApplication::sendEvent(viewport(), &event);
    };
    stylus(QEvent::MouseButtonPress, QPoint(20, 250), Qt::LeftButton);
    stylus(QEvent::MouseMove, QPoint(120, 250), Qt::LeftButton);
    stylus(QEvent::MouseButtonRelease, QPoint(120, 250), Qt::NoButton);
    strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 3);
    QCOMPARE(strokes.last()->m_points.first(), sceneAt(QPoint(20, 250)));
}

// A modal view that opens while the button is down takes its release; a move with no button
// then ends the stroke where it was, though the viewport tracks the mouse.
void TestPageView::moveWithNoButtonEndsTheMouseStroke()
{
    TcpManager::instance()->m_bShare = true;
    m_view->procLineData(0, QStringLiteral("6#{t}$$250,10,-1,20$$<p>hover me</p>"));
    QVERIFY(viewport()->hasMouseTracking());
    QTest::mousePress(window(), Qt::LeftButton, {}, inWindow(QPoint(30, 40)));
    QTest::mouseMove(window(), inWindow(QPoint(60, 70)));
    QDialog chat(m_view.get());
    chat.setWindowModality(Qt::WindowModal);
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, inWindow(QPoint(60, 70)));
    chat.close();
    QTest::mouseMove(window(), inWindow(QPoint(150, 160)));
    QTest::mouseMove(window(), inWindow(QPoint(200, 100)));

    QVERIFY(!TaskToolManager::instance()->boundTool(PageView::MouseTouchId));
    QVERIFY(itemsOf<LiveSegment>(m_view->pageScene()).isEmpty());
    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(m_view->pageScene());
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first()->m_points,
             (QList<QPointF>{sceneAt(QPoint(30, 40)), sceneAt(QPoint(60, 70))}));
    QVERIFY(m_link.teacher.waitForFrames(1));
    QCOMPARE(m_link.framesAfter(100),
             QList<QByteArray>{"line@ebook&0&" + strokes.first()->toString().toUtf8()});
}

// A finger drawing on the e-note page goes on drawing while the e-book canvas changes page and
// while the e-note page is shared and synchronised; its stroke is sent once.
void TestPageView::writeBackKeepsStrokesOfTheOtherCanvas()
{
    PageView note(true);
    QVERIFY(showNoteCanvas(note, 0));
    PageView *book = m_view.get();
    Settings::instance()->m_nMode = 1;
    TcpManager::instance()->m_bShare = true;
    QWidget *pad = note.viewport();
    const QList<QPoint> path{{20, 20}, {60, 60}, {100, 60}, {140, 80}, {180, 80}};

    QTest::touchEvent(pad, m_device).press(1, path.at(0), pad);
    QTest::touchEvent(pad, m_device).move(1, path.at(1), pad);
    book->procLineData(1, QStringLiteral("3#0,0,255,255#3#1,1 9,9 "));
    QTest::touchEvent(pad, m_device).move(1, path.at(2), pad);
    note.shareLines();
    QTest::touchEvent(pad, m_device).move(1, path.at(3), pad);
    note.setSyncFinish();
    QCOMPARE(itemsOf<LiveSegment>(note.pageScene()).size(), 1);
    QTest::touchEvent(pad, m_device).move(1, path.at(4), pad);
    QTest::touchEvent(pad, m_device).release(1, path.at(4), pad);

    const QList<PolylineItem *> strokes = itemsOf<PolylineItem>(note.pageScene());
    QCOMPARE(strokes.size(), 1);
    QList<QPointF> points;
    for (const QPoint &p : path)
        points << note.mapToScene(p);
    QCOMPARE(strokes.first()->m_points, points);
    QVERIFY(itemsOf<LiveSegment>(note.pageScene()).isEmpty());
    const QString sent = strokes.first()->toString();
    QVERIFY(m_link.teacher.waitForFrames(1));
    QCOMPARE(m_link.framesAfter(200), QList<QByteArray>{"line@enote&0&" + sent.toUtf8()});
    note.onCurrentPageChanged(1);
    HSPage saved;
    saved.read(note.document()->pagePath(0));
    QCOMPARE(saved.m_listItems, QList<QString>{sent});
}

void TestPageView::screenshotOfEveryTool()
{
    TaskToolManager *tools = TaskToolManager::instance();
    auto stroke = [this](int id, const QList<QPoint> &points) {
        QTest::touchEvent(viewport(), m_device).press(id, points.first(), viewport());
        for (const QPoint &p : points.mid(1))
            QTest::touchEvent(viewport(), m_device).move(id, p, viewport());
        QTest::touchEvent(viewport(), m_device).release(id, points.last(), viewport());
    };
    tools->cycleWidth(); // 5
    stroke(1, {QPoint(20, 40), QPoint(120, 60), QPoint(220, 40), QPoint(320, 80)});
    tools->switchColor(); // red
    tools->setMode(TaskToolManager::HighlighterMode);
    stroke(2, {QPoint(20, 120), QPoint(180, 130), QPoint(340, 120)});
    tools->switchColor(); // blue
    tools->setMode(TaskToolManager::PenMode);
    stroke(3, {QPoint(40, 200), QPoint(200, 180), QPoint(360, 220)});
    tools->setMode(TaskToolManager::EraserMode);
    stroke(4, {QPoint(180, 150), QPoint(200, 260)});
    tools->setMode(TaskToolManager::PointerMode);
    stroke(5, {QPoint(100, 100), QPoint(110, 110)});
    tools->setMode(TaskToolManager::TextMode);
    QTest::touchEvent(viewport(), m_device).press(6, QPoint(30, 250), viewport());
    QTest::touchEvent(viewport(), m_device).release(6, QPoint(30, 250), viewport());
    tools->textEdit()->setText(QStringLiteral("Corvane <ink> & $$"));
    QTest::touchEvent(viewport(), m_device).press(6, QPoint(300, 280), viewport());
    QTest::touchEvent(viewport(), m_device).release(6, QPoint(300, 280), viewport());
    QCOMPARE(itemsOf<PolylineItem>(m_view->pageScene()).size(), 4);
    QCOMPARE(itemsOf<TextItem>(m_view->pageScene()).size(), 1);

    const QImage shot = m_view->grab().toImage();
    QVERIFY(!shot.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4)
            colours.insert(shot.pixel(x, y));
    QVERIFY(colours.size() > 3);
    const QString folder = qEnvironmentVariable("CORVANE_TEST_ARTIFACTS", QDir::tempPath());
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(shot.save(folder + QStringLiteral("/canvas_tools.png"), "PNG"));
}

QTEST_MAIN(TestPageView)
#include "tst_pageview.moc"
