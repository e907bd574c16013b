// The main window against a class server and a teacher on 127.0.0.1: every teacher command
// reaches its screen, the answers go back in order, malformed commands change nothing.
#include "app/MainWidget.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/Document.h"
#include "pages/HSPage.h"
#include "pages/PageView.h"
#include "pages/PolylineItem.h"
#include "pages/TaskToolManager.h"
#include "pages/TextEdit.h"
#include "pages/TextItem.h"
#include "pdf/XPDFRenderer.h"
#include "platform/PowerStatus.h"
#include "screens/ChatWidget.h"
#include "screens/DisplayWidget.h"
#include "screens/ENoteWidget.h"
#include "screens/LineEdit.h"
#include "screens/LockWidget.h"
#include "screens/SavePdfDialog.h"
#include "screens/ToolbarButton.h"
#include "screens/VoteWidget.h"
#include "screens/eBrowserWidget.h"
#include "support/DialogAnswer.h"
#include "support/FakeClassServer.h"
#include "support/FakeTeacher.h"
#include "support/PdfFixtures.h"
#include "support/ScreenPixels.h"

#include <QBuffer>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <memory>

namespace {
const QByteArray kStroke = "3#255,0,0,255#6#40,40 300,60 220,260 ";

int strokesOn(PageView *view)
{
    int count = 0;
    for (QGraphicsItem *item : view->pageScene()->items())
        count += dynamic_cast<PolylineItem *>(item) ? 1 : 0;
    return count;
}

QStringList textsOn(PageView *view)
{
    QStringList texts;
    for (QGraphicsItem *item : view->pageScene()->items()) {
        if (auto *text = dynamic_cast<TextItem *>(item))
            texts << text->toPlainText();
    }
    return texts;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Fills in and answers the save dialog once it is up: a name and OK, or Cancel.
void answerSaveDialog(const QString &name)
{
    QTimer::singleShot(50, [name] {
        auto *dialog = qobject_cast<SavePdfDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->nameEdit()->setText(name);
        dialog->findChild<QPushButton *>(name.isEmpty() ? "cancel" : "ok")->click();
    });
}

// Keys typed on a window as the window system hands them over, to the widget with its focus.
void typeOn(QWidget *focus, const QByteArray &keys, Qt::Key last = Qt::Key_Return)
{
    focus->setFocus();
    for (char key : keys)
        QTest::keyClick(focus->window()->windowHandle(), key);
    QTest::keyClick(focus->window()->windowHandle(), last);
}

// Counts the key presses that reach a widget.
struct KeyCount : QObject
{
    int presses = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        presses += event->type() == QEvent::KeyPress;
        return false;
    }
};
} // namespace

class TestTeacherCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void eBookFollowsTheTeacher();
    void eNoteFollowsTheTeacher();
    void toolsDrawOnTheScreenShown();
    void shareAndPreviewByMode();
    void lessonViews();
    void lockTakesTheInput();
    void chatFloodKeepsTheProgramAnswering();
    void kickEndsTheLessonAndADropRejoins();
    void toolbarActions();
    void studentInkOutlivesAReJoin();
    void inkBegunOnTheBookStaysTheBooks();

private:
    bool join();
    // Sends one frame and gives every frame the student answers within the wait.
    QList<QByteArray> exchange(const QByteArray &word, const QByteArray &args, int expected,
                               int settleMs = 100);
    MainWidget *w() const { return m_window.get(); }

    FakeClassServer m_server;
    FakeTeacher m_teacher;
    FakePeer m_images;
    QTemporaryDir m_noBattery;
    qint64 m_now = 0;
    std::unique_ptr<MainWidget> m_window;
};

void TestTeacherCommands::initTestCase()
{
    QVERIFY(m_server.listen() && m_teacher.listen() && m_images.listen());
    QDir(Settings::instance()->localBookDir()).removeRecursively(); // books of an earlier run
    QSettings ini(Settings::instance()->dataRoot() + "setting.ini", QSettings::IniFormat);
    ini.setValue("init/Ip", "127.0.0.1");
    ini.setValue("init/Port", QString::number(m_server.port()));
    ini.sync();
    TcpManager::instance()->setTeacherPorts(m_teacher.port(), m_images.port());
    PowerStatus::setSupplyRoot(m_noBattery.path()); // 255: no battery

    m_window = std::make_unique<MainWidget>();
    m_window->setClock([this] { return m_now; });
    m_window->resize(1280, 800);
    m_window->show();
    m_window->onBattleryTimer(); // read once, so later ticks have nothing new to send
    QVERIFY(m_server.waitUntil([this] { return !m_server.received().isEmpty(); }));
    QVERIFY(join());
}

bool TestTeacherCommands::join()
{
    TcpManager *tcp = TcpManager::instance();
    m_teacher.clearFrames();
    tcp->connectToTeacher("127.0.0.1");
    if (!m_teacher.waitForFrames(1) || !m_teacher.sendFrame("information@", ""))
        return false;
    // Accepted: online, and the status asked for.
    return m_teacher.waitForFrames(2) && m_teacher.frameTexts().last() == "query@status" &&
           tcp->m_bTeacherConnected && !w()->statusLabel()->pixmap(Qt::ReturnByValue).isNull();
}

QList<QByteArray> TestTeacherCommands::exchange(const QByteArray &word, const QByteArray &args,
                                                int expected, int settleMs)
{
    m_teacher.clearFrames();
    m_teacher.sendFrame(word, args);
    // Frames are handled in turn: once the heartbeat after it is answered, so is this one.
    m_teacher.sendFrame("heart@", "");
    m_teacher.waitUntil([this] { return m_teacher.removeFrame("heart@student"); }, 10000);
    if (expected > 0)
        m_teacher.waitForFrames(expected, 10000);
    QTest::qWait(settleMs);
    return m_teacher.frameTexts();
}

void TestTeacherCommands::eBookFollowsTheTeacher()
{
    const QString books = Settings::instance()->localBookDir();
    QVERIFY(PdfFixtures::book(books + "Math.pdf", 4));
    DisplayWidget *ebook = w()->displayWidget();

    QCOMPARE(exchange("query@", "status#ebook", 3),
             (QList<QByteArray>{"battery@255", "query@ebook#bookpath", "status@ebook"}));
    QCOMPARE(w()->stack()->currentIndex(), int(MainWidget::EBookPage));
    QCOMPARE(Settings::instance()->m_nMode, 0);

    // A book on disk opens without a download, then its page is asked for.
    QCOMPARE(exchange("query@", "ebook#bookpath#/srv/books/Math.pdf", 1),
             QList<QByteArray>{"query@ebook#pageindex"});
    QCOMPARE(ebook->pageCount(), 4);
    QCOMPARE(TcpManager::instance()->m_strDownloadPath, QString("/srv/books/Math.pdf"));
    QCOMPARE(exchange("query@", "ebook#pageindex#2", 1), QList<QByteArray>{"sync@ebook#2"});
    QCOMPARE(ebook->currentPage(), 2);
    for (const char *bad : {"ebook#pageindex#9", "ebook#pageindex#x", "ebook#pageindex#-1",
                            "ebook#pageindex", "ebook#other#1"})
        QVERIFY2(exchange("query@", bad, 0).isEmpty(), bad);
    QCOMPARE(ebook->currentPage(), 2);

    // Strokes go to the page they name; garbled rows never reach page 0.
    exchange("line@", "ebook&1&" + kStroke, 0);
    QCOMPARE(ebook->currentPage(), 1);
    QCOMPARE(strokesOn(ebook->pageView()), 1);
    for (const char *bad : {"ebook&x&", "ebook&1", "ebook&-1&", "page&1&", "ebook&99&"})
        exchange("line@", QByteArray(bad) + kStroke, 0, 0);
    exchange("moveimage@", "ebook#1#id#5,5", 0, 0); // moves are for e-note pages only
    QCOMPARE(ebook->currentPage(), 1);
    QCOMPARE(strokesOn(ebook->pageView()), 1);
    for (const char *bad : {"ebook#", "ebook#x", "page#1", "ebook#1#2"})
        exchange("clear@", bad, 0, 0);
    QCOMPARE(strokesOn(ebook->pageView()), 1);
    exchange("clear@", "ebook#1", 0);
    QCOMPARE(strokesOn(ebook->pageView()), 0);

    // A rotation turns the page named.
    const QRectF before = ebook->pageView()->pageScene()->sceneRect();
    exchange("rotate@", "ebook#1", 0, 0);
    QTRY_COMPARE(ebook->pageView()->pageScene()->sceneRect().size(), before.size().transposed());

    // A book that is not on disk is downloaded from the class server and opens by itself.
    QTemporaryDir temp;
    QVERIFY(PdfFixtures::book(temp.filePath("o.pdf"), 2));
    const QByteArray other = readAll(temp.filePath("o.pdf"));
    const QString path = "/srv/books/Other.pdf";
    m_server.clearReceived();
    QVERIFY(exchange("query@", "ebook#bookpath#" + path.toUtf8(), 0).isEmpty());
    QVERIFY(m_server.waitUntil([&] { return m_server.received().startsWith("download@"); }));
    QCOMPARE(FakeClassServer::argumentOf(m_server.received()), path);
    m_server.clearReceived();
    m_server.sendCommand("download@", path + '#' + QString::number(other.size()));
    QVERIFY(m_server.waitUntil([&] { return !m_server.received().isEmpty(); }));
    m_teacher.clearFrames();
    m_server.write(other);
    QVERIFY(m_teacher.waitForFrames(1, 10000));
    QCOMPARE(m_teacher.frameTexts(), QList<QByteArray>{"query@ebook#pageindex"});
    QCOMPARE(ebook->pageCount(), 2);
    QCOMPARE(readAll(books + "Other.pdf"), other);

    // Names that are not plain PDF book names are neither fetched nor opened.
    m_server.clearReceived();
    for (const char *bad :
         {"/srv/books/a:b.pdf", "/srv/books/Math.PDF", "/srv/books/..", "/srv/books/\x01.pdf"})
        QVERIFY2(exchange("query@", QByteArray("ebook#bookpath#") + bad, 0, 30).isEmpty(), bad);
    QCOMPARE(m_server.received(), QByteArray());
    QCOMPARE(ebook->pageCount(), 2);
}

void TestTeacherCommands::eNoteFollowsTheTeacher()
{
    ENoteWidget *enote = w()->eNoteWidget();
    QCOMPARE(exchange("query@", "status#enote", 3),
             (QList<QByteArray>{"battery@255", "query@enote#pagecount", "status@enote"}));
    QCOMPARE(w()->stack()->currentIndex(), int(MainWidget::ENotePage));
    QCOMPARE(Settings::instance()->m_nMode, 1);

    const struct
    {
        const char *count;
        int pages;
    } counts[] = {{"3", 3}, {"5", 5}, {"2", 2}, {"0", 0}, {"4", 4}};
    for (const auto &c : counts) {
        QCOMPARE(exchange("query@", QByteArray("enote#pagecount#") + c.count, 1),
                 QList<QByteArray>{"query@enote#pageindex"});
        QCOMPARE(enote->pageCount(), c.pages);
    }
    for (const char *bad : {"enote#pagecount#x", "enote#pagecount#-2", "enote#pagecount#1001",
                            "enote#pagecount#", "enote#pageindex#x"})
        QVERIFY2(exchange("query@", bad, 0, 20).isEmpty(), bad);
    QCOMPARE(enote->pageCount(), 4);

    // The page index selects the page, which is asked for on the page-image channel.
    m_images.clearReceived();
    exchange("query@", "enote#pageindex#1", 0);
    QVERIFY(m_images.waitForBytes(1));
    QCOMPARE(m_images.received(), QByteArray("sync@enote#query#1"));
    QCOMPARE(enote->currentPage(), 1);

    // Pages the teacher adds; sizes out of range are ignored.
    exchange("query@", "enote#add#800,600#0", 0, 20);
    QCOMPARE(enote->pageCount(), 5);
    for (const char *bad : {"enote#add#0,600#0", "enote#add#800#0", "enote#add#800,99999#0"})
        exchange("query@", bad, 0, 0);
    QCOMPARE(enote->pageCount(), 5);

    // Strokes and moves for e-note pages; rotations do nothing there.
    exchange("line@", "enote&4&" + kStroke, 0);
    QCOMPARE(enote->currentPage(), 4);
    QCOMPARE(strokesOn(enote->pageView()), 1);
    const QRectF rect = enote->pageView()->pageScene()->sceneRect();
    exchange("rotate@", "enote#4", 0, 250);
    QCOMPARE(enote->pageView()->pageScene()->sceneRect(), rect);
    exchange("clear@", "enote#4", 0);
    QCOMPARE(strokesOn(enote->pageView()), 0);
    // Any other target word clears the e-note page named too.
    exchange("line@", "enote&4&" + kStroke, 0);
    QCOMPARE(strokesOn(enote->pageView()), 1);
    exchange("clear@", "board#4", 0);
    QCOMPARE(strokesOn(enote->pageView()), 0);
}

// The pen is chosen on the book; the class moves to the notes: the pen and the eraser draw on
// the note page shown, and the stroke goes to the teacher as the note page's.
void TestTeacherCommands::toolsDrawOnTheScreenShown()
{
    PageView *book = w()->displayWidget()->pageView();
    PageView *note = w()->eNoteWidget()->pageView();
    exchange("query@", "status#ebook", 3);
    QTest::mouseClick(w()->findChild<ToolbarButton *>("Pen.svg"), Qt::LeftButton);
    exchange("share@", "1", 1);
    exchange("query@", "status#enote", 2);
    QCOMPARE(w()->stack()->currentIndex(), int(MainWidget::ENotePage));
    const int bookStrokes = strokesOn(book);
    const QList<QPoint> path{{40, 40}, {140, 90}, {240, 60}};
    const auto draw = [this, note, &path] {
        QWindow *window = w()->windowHandle();
        const auto at = [this, note](const QPoint &p) { return note->viewport()->mapTo(w(), p); };
        QTest::mousePress(window, Qt::LeftButton, {}, at(path.at(0)));
        QTest::mouseMove(window, at(path.at(1)));
        QTest::mouseRelease(window, Qt::LeftButton, {}, at(path.at(2)));
    };
    m_teacher.clearFrames();
    draw();
    QCOMPARE(strokesOn(note), 1);
    QCOMPARE(strokesOn(book), bookStrokes);
    QVERIFY(m_teacher.waitForFrames(1));
    const QList<QByteArray> frames = m_teacher.frameTexts();
    QVERIFY2(frames.size() == 1 && frames.first().startsWith("line@enote&4&3#0,0,0,255#3#"),
             frames.value(0).constData());

    QTest::mouseClick(w()->findChild<ToolbarButton *>("Eraser.svg"), Qt::LeftButton);
    m_teacher.clearFrames();
    draw();
    QCOMPARE(strokesOn(note), 2);
    QCOMPARE(strokesOn(book), bookStrokes);
    QVERIFY(m_teacher.waitForFrames(1));
    QVERIFY(m_teacher.frameTexts().first().startsWith("line@enote&4&3#255,255,255,255#64#"));
    exchange("share@", "0", 1);
    exchange("clear@", "enote#4", 0);
    w()->onBtnArrow();
}

void TestTeacherCommands::shareAndPreviewByMode()
{
    const struct
    {
        int mode;
        QByteArray line; // a page message of that mode's screen, empty for none
    } modes[] = {{0, "line@ebook&1&" + kStroke}, {1, "line@enote&4&" + kStroke}, {3, ""}};
    for (const auto &m : modes) {
        if (!m.line.isEmpty())
            exchange("line@", m.line.mid(5), 0, 20);
        Settings::instance()->m_nMode = m.mode;
        const QList<QByteArray> shared = exchange("share@", "2", m.line.isEmpty() ? 1 : 2);
        QVERIFY(!shared.isEmpty() && shared.first() == "share@1");
        // Every item of the page shown goes to the teacher; in mode 3 nothing more.
        QCOMPARE(shared.size() > 1, !m.line.isEmpty());
        for (int i = 1; i < shared.size(); ++i)
            QVERIFY(shared.at(i).startsWith(m.line.left(13)));
        QVERIFY(w()->shareLabel()->isVisibleTo(w()));

        const QList<QByteArray> preview = exchange("preview@", "query", m.mode == 3 ? 0 : 1);
        QCOMPARE(preview.size(), m.mode == 3 ? 0 : 1);
        if (!preview.isEmpty())
            QVERIFY(preview.first().startsWith("preview@"));
    }
    QCOMPARE(exchange("share@", "0", 1), QList<QByteArray>{"share@0"});
    QVERIFY(!w()->shareLabel()->isVisibleTo(w()));
    QCOMPARE(exchange("share@", "1", 1), QList<QByteArray>{"share@1"});
    QVERIFY(w()->shareLabel()->isVisibleTo(w()));
    exchange("share@", "7", 1); // not a share mode: sharing off, no indicator
    QVERIFY(!w()->shareLabel()->isVisibleTo(w()));
    Settings::instance()->m_nMode = 1;
}

void TestTeacherCommands::lessonViews()
{
    // Chat: shown over the middle of the window, under the teacher's name; hidden on request.
    exchange("chat@", "Open your books", 0);
    ChatWidget *chat = w()->chatWidget();
    QVERIFY(chat->isVisible());
    QCOMPARE(chat->pos(),
             QPoint((w()->width() - chat->width()) / 2, (w()->height() - chat->height()) / 2));
    QVERIFY(chat->history().endsWith(": Open your books\n"));
    exchange("closechat@", "", 0);
    QVERIFY(!chat->isVisible());

    exchange("vote@", "1", 0);
    QVERIFY(w()->voteWidget()->isVisible());
    exchange("vote@", "0", 0);
    QVERIFY(!w()->voteWidget()->isVisible());

    // A second warning replaces the first at once.
    exchange("warning@", "Sit down", 0);
    QPointer<LockWidget> first = w()->warningWidget();
    QVERIFY(first && first->isVisible() && first->isBlinking());
    exchange("warning@", "Quiet please", 0);
    QVERIFY(!first);
    QCOMPARE(w()->warningWidget()->message(), QString("Quiet please"));

    // Each lock command is answered with the state of the lock screen after it.
    const struct
    {
        const char *command, *answer;
        bool locked;
        const char *message;
    } locks[] = {
        {"1", "0", false, ""},
        {"1#Eyes on the teacher", "1", true, "Eyes on the teacher"},
        {"0#x", "1", true, "Eyes on the teacher"},
        {"1#Still #1", "1", true, "Still #1"},
        {"2#x", "1", true, "Still #1"},
        {"0", "0", false, "Still #1"},
        {"0", "0", false, "Still #1"},
        {"", "0", false, "Still #1"},
        {"1#", "1", true, ""},
        {"0", "0", false, ""},
    };
    for (const auto &l : locks) {
        QCOMPARE(exchange("lockscreen@", l.command, 1, 20),
                 QList<QByteArray>{QByteArray("lockscreen@") + l.answer});
        QVERIFY2(w()->lockWidget()->isLocked() == l.locked, l.command);
        QCOMPARE(w()->lockWidget()->message(), QString(l.message));
    }

    // The browser comes up on the teacher's address; a command while it is hidden raises it.
    exchange("browser@", "x", 0, 20);
    QVERIFY(!w()->browserUp());
    exchange("browser@", "url#127.0.0.1:1/page", 0);
    QVERIFY(w()->browserUp());
    exchange("query@", "status#enote", 2);
    QVERIFY(!w()->browserUp());
    exchange("browser@", "url#127.0.0.1:1/again", 0);
    QVERIFY(w()->browserUp());
}

void TestTeacherCommands::lockTakesTheInput()
{
    // A stroke under way when the lock comes ends there; the rest of it goes nowhere.
    w()->onBtnMarker();
    PageView *canvas = w()->eNoteWidget()->pageView();
    QWindow *main = w()->windowHandle();
    const QPoint at = canvas->viewport()->mapTo(w(), canvas->viewport()->rect().center());
    QTest::mousePress(main, Qt::LeftButton, {}, at);
    QTest::mouseMove(main, at + QPoint(40, 20));
    exchange("lockscreen@", "1#Hands down", 1);
    QCOMPARE(TaskToolManager::instance()->activeToolCount(), 0);
    const int strokes = strokesOn(canvas);
    QTest::mouseMove(main, at + QPoint(80, 60));
    QTest::mouseRelease(main, Qt::LeftButton, {}, at + QPoint(80, 60));

    // Keys for the browser the teacher opens, the chat, the toolbar; clicks, touches and
    // input-method text: none of them reaches its window.
    exchange("browser@", "url#127.0.0.1:1/locked", 0);
    exchange("chat@", "Anyone there?", 0, 0);
    LineEdit *address = w()->browserWidget()->addressLine();
    // The view names its address once it has taken it.
    QTRY_COMPARE(address->text(), QString("http://127.0.0.1:1/locked"));
    const QString url = address->text();
    const QColor colour = TaskToolManager::instance()->color();
    typeOn(address, "evil.example");
    typeOn(w()->chatWidget()->input(), "hi");
    typeOn(w()->colorButton(), "", Qt::Key_Tab);
    QTest::keyClick(main, ' ');
    QTest::mouseClick(main, Qt::LeftButton, {}, w()->colorButton()->mapTo(w(), QPoint(9, 9)));
    QTouchDevice *screen = QTest::createTouchDevice();
    QTest::touchEvent(main, screen).press(1, at, main);
    QTest::touchEvent(main, screen).move(1, at + QPoint(50, 50), main);
    QTest::touchEvent(main, screen).release(1, at + QPoint(50, 50), main);
    QInputMethodEvent text;
    text.setCommitString("typed");
    QApplication::sendEvent(address, &text);
    {
        DialogAnswer exitQuestion(QStringLiteral("No"), 300);
        QCloseEvent close; // as the window system's close button sends it
        QApplication::sendEvent(main, &close);
        QVERIFY(!close.isAccepted() && w()->isVisible() && !exitQuestion.answered());
    }
    QTest::qWait(100);
    QCOMPARE(address->text(), url);
    QVERIFY(w()->chatWidget()->input()->text().isEmpty());
    QCOMPARE(w()->focusWidget(), w()->colorButton());
    QCOMPARE(TaskToolManager::instance()->color(), colour);
    QCOMPARE(strokesOn(canvas), strokes);
    QVERIFY(m_teacher.frameTexts().isEmpty());

    // The lock and the teacher's warning over it take keys.
    exchange("warning@", "Eyes up", 0);
    KeyCount lockKeys, warningKeys;
    w()->lockWidget()->installEventFilter(&lockKeys);
    w()->warningWidget()->installEventFilter(&warningKeys);
    QTest::keyClick(w()->lockWidget()->windowHandle(), 'a');
    QTest::keyClick(w()->warningWidget()->windowHandle(), 'a');
    QCOMPARE(lockKeys.presses + warningKeys.presses, 2);
    w()->warningWidget()->close();
    exchange("lockscreen@", "0", 1);

    // A dialog open when the lock comes is left unanswered; it is still there afterwards.
    const QString books = Settings::instance()->localBookDir();
    bool unanswered = false;
    QTimer::singleShot(0, [&] {
        SavePdfDialog *dialog = w()->savePdfDialog();
        exchange("lockscreen@", "1#Pens down", 1);
        typeOn(dialog->nameEdit(), "blind");
        unanswered = dialog->isVisible() && dialog->nameEdit()->text().isEmpty();
        exchange("lockscreen@", "0", 1);
        typeOn(dialog->nameEdit(), "seen");
    });
    w()->onBtnSave();
    QVERIFY(unanswered);
    QVERIFY(!QFile::exists(books + "blind.pdf") && QFile::exists(books + "seen.pdf"));
}

void TestTeacherCommands::chatFloodKeepsTheProgramAnswering()
{
    // Long enough to be cut, short enough that a view laying out all of it still answers soon;
    // the real program takes the flood of megabytes.
    const QByteArray big(64 * 1024, 'w');
    for (int i = 0; i < 3; ++i)
        m_teacher.sendFrame("chat@", big);
    QCOMPARE(exchange("lockscreen@", "0", 1, 0), QList<QByteArray>{"lockscreen@0"});
    ChatWidget *chat = w()->chatWidget();
    QVERIFY(chat->history().size() < 3 * (ChatWidget::MaxMessageLength + 64));
    QVERIFY(chat->historyView()->toPlainText().endsWith(QChar(0x2026)));
    w()->chatWidget()->hide();
}

void TestTeacherCommands::kickEndsTheLessonAndADropRejoins()
{
    TcpManager *tcp = TcpManager::instance();
    exchange("lockscreen@", "1#Stop", 1, 0);
    exchange("vote@", "1", 0, 0);
    exchange("chat@", "Bye", 0, 0);
    exchange("warning@", "Last warning", 0, 0);
    exchange("share@", "1", 1, 0);
    exchange("kick@", "1", 0, 0);
    m_teacher.closeConnection();
    QTRY_VERIFY(!tcp->m_bTeacherConnected);
    QCOMPARE(w()->stack()->currentIndex(), int(MainWidget::LoginPage));
    QVERIFY(!w()->lockWidget()->isVisible() && !w()->voteWidget()->isVisible());
    QVERIFY(!w()->chatWidget()->isVisible() && !w()->warningWidget()->isVisible());
    QVERIFY(!w()->browserUp() && !w()->shareLabel()->isVisibleTo(w()));
    QVERIFY(!w()->reconnectTimer().isActive());
    QVERIFY(!Settings::instance()->m_bReconnecting);

    // A drop without a kick keeps the screen and starts the re-join.
    QVERIFY(join());
    w()->onSwitchEBook();
    m_teacher.closeConnection();
    QTRY_VERIFY(w()->reconnectTimer().isActive());
    QVERIFY(Settings::instance()->m_bReconnecting);
    QCOMPARE(w()->stack()->currentIndex(), int(MainWidget::EBookPage));
    QVERIFY(join());
    QVERIFY(!Settings::instance()->m_bReconnecting);
    w()->tryReconnect(); // the next tick finds the teacher back
    QVERIFY(!w()->reconnectTimer().isActive());
}

void TestTeacherCommands::toolbarActions()
{
    // One hand in 30 s: at 0 s, not at 10 s, again at 31 s and at 61.5 s, not at 61.6 s though
    // a late lockout timer fires before it; none without a teacher.
    const struct
    {
        qint64 at;
        bool sent;
    } hands[] = {{100000, true}, {110000, false}, {131000, true}, {161500, true}, {161600, false}};
    for (const auto &h : hands) {
        m_now = h.at;
        m_teacher.clearFrames();
        if (h.at == 161600)
            w()->onCanHandsUp();
        w()->onBtnHansdsUp();
        if (h.sent)
            QVERIFY(m_teacher.waitForFrames(1));
        QTest::qWait(50);
        QCOMPARE(m_teacher.frameTexts(),
                 h.sent ? QList<QByteArray>{"handsup@"} : QList<QByteArray>());
    }
    exchange("kick@", "1", 0, 0);
    m_teacher.closeConnection();
    QTRY_VERIFY(!TcpManager::instance()->m_bTeacherConnected);
    m_now = 200000;
    w()->onBtnHansdsUp();
    QVERIFY(join());
    QVERIFY(!m_teacher.frameTexts().contains("handsup@"));

    // Save: nothing to save opens no dialog; Cancel keeps the dialog; OK writes the PDF.
    Settings::instance()->m_nMode = 3;
    w()->onBtnSave();
    QVERIFY(!w()->savePdfDialog());
    w()->onSwitchEBook();
    answerSaveDialog(QString());
    w()->onBtnSave();
    SavePdfDialog *kept = w()->savePdfDialog();
    QVERIFY(kept);
    const QString saved = Settings::instance()->localBookDir() + "lesson.pdf";
    answerSaveDialog("lesson");
    w()->onBtnSave();
    QVERIFY(!w()->savePdfDialog());
    QVERIFY(readAll(saved).startsWith("%PDF-"));

    // An export that fails is told to the student.
    QVERIFY(QDir().mkpath(Settings::instance()->localBookDir() + "locked.pdf/x"));
    answerSaveDialog("locked");
    QTimer::singleShot(300, [] {
        // The replace question for the existing name, then the failure notice.
        if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            box->accept();
    });
    w()->onBtnSave();
    QMessageBox *notice = nullptr;
    QTRY_VERIFY((notice = w()->findChild<QMessageBox *>()) && notice->isVisible());
    QVERIFY(notice->text().contains("PDF"));
    notice->close();
    QTRY_VERIFY(!w()->findChild<QMessageBox *>());

    // Pages whose files are damaged or gone, or whose pictures do not decode, are saved blank,
    // the others as they are, and the student is told which.
    QVERIFY(PdfFixtures::book(Settings::instance()->localBookDir() + "Four.pdf", 4));
    exchange("query@", "status#ebook", 0);
    exchange("query@", "ebook#bookpath#/srv/books/Four.pdf", 0);
    QVERIFY(m_teacher.waitUntil(
        [&] { return m_teacher.frameTexts().contains("query@ebook#pageindex"); }));
    exchange("query@", "ebook#pageindex#0", 1);
    Document *pages = w()->displayWidget()->pageView()->document();
    QCOMPARE(pages->pageCount(), 4);
    QCOMPARE(w()->displayWidget()->pageView()->currentIndex(), 0);
    QFile damaged(pages->pagePath(1));
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate) && damaged.write("x") == 1);
    damaged.close();
    QVERIFY(QFile::remove(pages->pagePath(3)));
    HSPage third;
    QVERIFY(third.read(pages->pagePath(2)));
    QByteArray png = QByteArray::fromBase64(third.m_baImage);
    QVERIFY(png.size() > 1000);
    for (int i = png.size() / 2; i < png.size() / 2 + 64; ++i)
        png[i] = char(~png.at(i));
    third.m_baImage = png.toBase64();
    QVERIFY(third.save(pages->pagePath(2)));
    answerSaveDialog("lost");
    w()->onBtnSave();
    QTRY_VERIFY((notice = w()->findChild<QMessageBox *>()) && notice->isVisible());
    QVERIFY2(notice->text().endsWith(": 2, 3, 4"), qPrintable(notice->text()));
    notice->close();
    XPDFRenderer pdf(Settings::instance()->localBookDir() + "lost.pdf");
    QCOMPARE(pdf.pageCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const QImage page = pdf.pageImage(i + 1);
        const int white = ScreenPixels::count(page, page.rect(), Qt::white, 8);
        const int box = ScreenPixels::count(page, page.rect(), QColor(30, 60, 200), 40);
        QVERIFY2(i ? white == page.width() * page.height() : box > 100,
                 qPrintable(QString::number(i)));
    }
}

// A stroke the student drew on a note page outlives the teacher's dropped link: the page is
// synchronised again, the teacher's stroke comes back once, and the page file holds both.
void TestTeacherCommands::studentInkOutlivesAReJoin()
{
    ENoteWidget *enote = w()->eNoteWidget();
    PageView *view = enote->pageView();
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
    // The teacher's side of page 0: its size and picture, its stroke, the line-sync end.
    const auto servePage0 = [&] {
        return m_images.waitUntil([&] { return m_images.received() == "sync@enote#query#0"; }) &&
               m_images.write("sync@enote#0#400,300,1," + QByteArray::number(png.size())) &&
               m_images.waitUntil([&] { return m_images.received().endsWith("ready#0"); }) &&
               m_images.write(png) && m_teacher.sendFrame("line@", "enote&0&" + kStroke) &&
               m_teacher.sendFrame("sync@", "enote#end") &&
               m_teacher.waitUntil([&] { return view->checkIsUpdate(); });
    };
    const auto followTheNote = [&](const QByteArray &pageCountAnswer) {
        exchange("query@", "status#enote", 0);
        QVERIFY(
            m_teacher.waitUntil([&] { return m_teacher.frameTexts().contains("status@enote"); }));
        exchange("query@", pageCountAnswer, 1);
        m_images.clearReceived();
        exchange("query@", "enote#pageindex#0", 0);
        QVERIFY(servePage0());
    };
    followTheNote("enote#pagecount#2");

    w()->onBtnMarker();
    const QPoint from = view->mapFromScene(QPointF(60, 200));
    const QPoint to = view->mapFromScene(QPointF(300, 240));
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, to);
    QCOMPARE(strokesOn(view), 2);

    m_teacher.closeConnection();
    QTRY_VERIFY(w()->reconnectTimer().isActive());
    QVERIFY(!view->checkIsUpdate());
    QVERIFY(join());
    w()->tryReconnect();
    followTheNote("enote#pagecount#2");

    QCOMPARE(strokesOn(view), 2);
    const QList<QString> items = view->document()->m_currPage.m_listItems;
    QCOMPARE(items.count(QString::fromLatin1(kStroke)), 1);
    QCOMPARE(items.size(), 2);
    exchange("query@", "enote#pageindex#1", 0);
    QCOMPARE(view->currentIndex(), 1);
    HSPage saved;
    QVERIFY(saved.read(view->document()->pagePath(0)));
    QCOMPARE(saved.m_listItems, items);
    QVERIFY(saved.m_bInit && !saved.m_baImage.isEmpty());
}

// A stroke and a text begun on the book while the class moves to the notes are finished on the
// book page, and the teacher is told they are the book page's.
void TestTeacherCommands::inkBegunOnTheBookStaysTheBooks()
{
    PageView *book = w()->displayWidget()->pageView();
    PageView *note = w()->eNoteWidget()->pageView();
    QWindow *window = w()->windowHandle();
    const auto at = [this](PageView *view, const QPoint &p) {
        return view->viewport()->mapTo(w(), p);
    };
    // The class moves; the queries the status brings are left unanswered.
    const auto moveTo = [this](const QByteArray &status, int mode) {
        m_teacher.clearFrames();
        m_teacher.sendFrame("query@", "status#" + status);
        QVERIFY(m_teacher.waitUntil(
            [&] { return m_teacher.frameTexts().contains("status@" + status); }));
        QCOMPARE(Settings::instance()->m_nMode, mode);
    };
    QVERIFY(PdfFixtures::book(Settings::instance()->localBookDir() + "Ink.pdf", 3));
    moveTo("ebook", 0);
    QCOMPARE(exchange("query@", "ebook#bookpath#/srv/books/Ink.pdf", 1),
             QList<QByteArray>{"query@ebook#pageindex"});
    QCOMPARE(exchange("query@", "ebook#pageindex#1", 1), QList<QByteArray>{"sync@ebook#1"});
    QTRY_COMPARE(book->currentIndex(), 1);
    const QByteArray bookPage = "line@ebook&1&";
    exchange("share@", "1", 1);
    QTest::mouseClick(w()->findChild<ToolbarButton *>("Pen.svg"), Qt::LeftButton);
    const int bookStrokes = strokesOn(book);
    const int noteStrokes = strokesOn(note);

    m_teacher.clearFrames();
    QTest::mousePress(window, Qt::LeftButton, {}, at(book, QPoint(60, 60)));
    QTest::mouseMove(window, at(book, QPoint(160, 90)));
    moveTo("enote", 1);
    QCOMPARE(w()->stack()->currentIndex(), int(MainWidget::ENotePage));
    m_teacher.clearFrames();
    QTest::mouseMove(window, at(book, QPoint(260, 120)));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(book, QPoint(260, 120)));
    QCOMPARE(strokesOn(book), bookStrokes + 1);
    QCOMPARE(strokesOn(note), noteStrokes);
    QVERIFY(m_teacher.waitForFrames(1));
    QVERIFY2(m_teacher.frameTexts().first().startsWith(bookPage + "3#0,0,0,255#3#"),
             m_teacher.frameTexts().first().left(40).constData());

    // The text tool is chosen on the notes, the text begun on the book and placed once the
    // class is back on the notes.
    QTest::mouseClick(w()->findChild<ToolbarButton *>("Texting.svg"), Qt::LeftButton);
    moveTo("ebook", 0);
    QTest::mouseClick(window, Qt::LeftButton, {}, at(book, QPoint(120, 150)));
    QVERIFY(TaskToolManager::instance()->isTextEntryOpen());
    TaskToolManager::instance()->textEdit()->setText("on the book");
    moveTo("enote", 1);
    m_teacher.clearFrames();
    QTest::mouseClick(window, Qt::LeftButton, {}, at(note, QPoint(300, 220)));
    QVERIFY(!TaskToolManager::instance()->isTextEntryOpen());
    QCOMPARE(textsOn(book), QStringList{"on the book"});
    QVERIFY(textsOn(note).isEmpty());
    QVERIFY(m_teacher.waitForFrames(1));
    QVERIFY2(m_teacher.frameTexts().first().startsWith(bookPage + "6#"),
             m_teacher.frameTexts().first().left(40).constData());
    exchange("share@", "0", 1);
    w()->onBtnArrow();
}

QTEST_MAIN(TestTeacherCommands)
#include "tst_teachercommands.moc"
