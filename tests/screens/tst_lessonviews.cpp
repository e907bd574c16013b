// screen sizes: 1920x1080 1280x800
#include "link/TcpManager.h"
#include "screens/ChatWidget.h"
#include "screens/LineEdit.h"
#include "screens/LockWidget.h"
#include "screens/ScreenCover.h"
#include "screens/ToolbarButton.h"
#include "screens/VoteWidget.h"
#include "screens/WaitingDialog.h"
#include "support/FakeTeacher.h"
#include "support/TestArtifacts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTextEdit>
#include <QTranslator>
#include <QWindow>
#include <QtTest>

namespace {
// Shows the vote digits as words, as a language with numerals of its own would.
class WordDigits : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        static const char *const words[] = {"eins", "zwei", "drei", "vier", "fünf", "sechs"};
        if (qstrcmp(context, "VoteWidget") != 0 || qstrlen(source) != 1 || source[0] < '1' ||
            source[0] > '6')
            return QString();
        return QString::fromUtf8(words[source[0] - '1']);
    }
    bool isEmpty() const override { return false; }
};

// Paints every window now, then saves the whole screen.
bool saveScreen(const QString &name, QWidget *fallback)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->repaint();
    }
    QApplication::processEvents();
    return TestArtifacts::saveScreen(name, fallback);
}

// The program's window the X server shows in the middle of the screen (no window manager).
QWidget *windowOnTop()
{
    return QApplication::topLevelAt(QGuiApplication::primaryScreen()->geometry().center());
}
} // namespace

class TestLessonViews : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init()
    {
        m_teacher.clearFrames();
        m_nSeen = 0;
    }
    void chatShowsTeacherTextLiterallyAndSends();
    void chatKeepsTheLastMessagesWhole();
    void voteSendsOnlyTheLastDigitOnce();
    void lockCannotBeLeftByTheStudent();
    void warningBlinksAndClosesAfterSixTicks();

private:
    void centreOnMain(QWidget *view)
    {
        view->move((m_main.width() - view->width()) / 2, (m_main.height() - view->height()) / 2);
    }
    // The teacher's next frame, as "word@args"; empty when none comes.
    QByteArray nextFrame()
    {
        const int seen = m_nSeen;
        if (!m_teacher.waitForFrames(seen + 1))
            return QByteArray();
        ++m_nSeen;
        return m_teacher.frameTexts().at(seen);
    }
    // True when the teacher gets nothing before a marker sent now.
    bool nothingSent()
    {
        TcpManager::instance()->sendChat(QStringLiteral("marker"));
        return nextFrame() == "chat@marker";
    }

    FakeTeacher m_teacher;
    FakePeer m_images;
    QWidget m_main; // stands in for the full-screen main window
    int m_nSeen = 0;
};

void TestLessonViews::initTestCase()
{
    QVERIFY(m_teacher.listen());
    QVERIFY(m_images.listen());
    TcpManager *tcp = TcpManager::instance();
    tcp->m_strStudentName = QStringLiteral("anna");
    tcp->setTeacherPorts(m_teacher.port(), m_images.port());
    tcp->connectToTeacher(QStringLiteral("127.0.0.1"));
    QVERIFY(m_teacher.waitForConnection());
    QCOMPARE(nextFrame(), QByteArray("information@anna"));

    m_main.setWindowFlags(Qt::FramelessWindowHint);
    QPalette pal = m_main.palette();
    pal.setColor(QPalette::Window, QColor(0xf0, 0xf0, 0xe8));
    m_main.setPalette(pal);
    m_main.setAutoFillBackground(true);
    m_main.setGeometry(QGuiApplication::primaryScreen()->geometry());
    m_main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_main));
}

void TestLessonViews::chatShowsTeacherTextLiterallyAndSends()
{
    ChatWidget chat(&m_main);
    QCOMPARE(chat.size(), QSize(500, 400));
    QCOMPARE(chat.peerName(), QStringLiteral("Teacher"));
    QCOMPARE(chat.myName(), QStringLiteral("Me"));
    chat.setPeerName(QStringLiteral("Mr Li"));
    auto route =
        connect(TcpManager::instance(), &TcpManager::receChat, &chat, &ChatWidget::onChatting);
    centreOnMain(&chat);
    auto *send = chat.findChild<QPushButton *>(QStringLiteral("send"));

    // The teacher's markup arrives as characters: no bold, no picture fetched, no link.
    const QByteArray html = "<b>Look</b> <img src=\"http://127.0.0.1:9/x.png\"> "
                            "<a href=\"file:///etc/passwd\">here</a> & 5 < 6";
    QVERIFY(!chat.isVisible());
    QVERIFY(m_teacher.sendFrame("chat@", html));
    QTRY_VERIFY(chat.isVisible());
    QString history = QStringLiteral("Mr Li: ") + QString::fromUtf8(html) + QLatin1Char('\n');
    QCOMPARE(chat.history(), history);
    QCOMPARE(chat.historyView()->toPlainText() + QLatin1Char('\n'), history);
    const QString rendered = chat.historyView()->toHtml();
    for (const char *markup : {"<img", "<a ", "font-weight:600"})
        QVERIFY2(!rendered.contains(QLatin1String(markup)), markup);

    // Send and Return both send, with the length in UTF-8 bytes; an empty input sends nothing.
    const QString typed = QStringLiteral("héllo #&@ 你好");
    chat.input()->setText(typed);
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(nextFrame(), QByteArray("chat@") + typed.toUtf8());
    QVERIFY(chat.input()->text().isEmpty());
    QTest::mouseClick(send, Qt::LeftButton);
    QVERIFY(nothingSent());
    QTest::keyClicks(chat.input(), QStringLiteral("ok"));
    QTest::keyClick(chat.input(), Qt::Key_Return);
    QCOMPARE(nextFrame(), QByteArray("chat@ok"));
    history += QStringLiteral("Me: ") + typed + QStringLiteral("\nMe: ok\n");
    QCOMPARE(chat.history(), history);
    QCOMPARE(chat.historyView()->toPlainText() + QLatin1Char('\n'), history);

    // The newest line stays in view.
    for (int i = 0; i < 6; ++i)
        QVERIFY(m_teacher.sendFrame("chat@", "Open your books at page " + QByteArray::number(i)));
    QTRY_COMPARE(chat.history().count(QLatin1Char('\n')), 9);
    QScrollBar *bar = chat.historyView()->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(saveScreen(QStringLiteral("chat"), &chat));
    // Only the last messages are kept.
    for (int i = 0; i < ChatWidget::MaxMessages; ++i)
        chat.onChatting(QStringLiteral("line %1").arg(i));
    QCOMPARE(chat.history().count(QLatin1Char('\n')), ChatWidget::MaxMessages);
    QVERIFY(chat.history().startsWith(QStringLiteral("Mr Li: line 0\n")));
    QCOMPARE(chat.historyView()->document()->blockCount(), ChatWidget::MaxMessages);

    // The student can put the panel away; the next message brings it back.
    QTest::mouseClick(chat.findChild<QPushButton *>(QStringLiteral("close")), Qt::LeftButton);
    QVERIFY(!chat.isVisible());
    QVERIFY(m_teacher.sendFrame("chat@", "Back?"));
    QTRY_VERIFY(chat.isVisible());
    QVERIFY(chat.history().endsWith(QStringLiteral("Mr Li: Back?\n")));

    chat.setMyName(QStringLiteral("Anna"));
    QVERIFY(chat.historyView()->toPlainText().isEmpty());
    chat.input()->setText(QStringLiteral("hi"));
    chat.onSend();
    QCOMPARE(chat.history(), QStringLiteral("Anna: hi\n"));
    QCOMPARE(nextFrame(), QByteArray("chat@hi"));
    disconnect(route);
}

// Messages of many lines, with the line breaks of any system, are kept or dropped whole, in the
// view as in the history.
void TestLessonViews::chatKeepsTheLastMessagesWhole()
{
    ChatWidget chat(&m_main);
    chat.setPeerName(QStringLiteral("Mr Li"));
    auto route =
        connect(TcpManager::instance(), &TcpManager::receChat, &chat, &ChatWidget::onChatting);
    centreOnMain(&chat);
    QStringList sent;
    for (int i = 0; i < ChatWidget::MaxMessages - 3; ++i) {
        sent << QStringLiteral("Mr Li: note %1").arg(i);
        QVERIFY(m_teacher.sendFrame("chat@", "note " + QByteArray::number(i)));
    }
    const QByteArray breaks[] = {"\n", "\r\n", "\r", "\xe2\x80\xa9"}; // the last: U+2029
    for (const QByteArray &lineBreak : breaks) {
        QByteArray text;
        QStringList lines;
        for (int line = 0; line < 60; ++line) {
            text += (line ? lineBreak : QByteArray()) + "row " + QByteArray::number(line);
            lines << QStringLiteral("row %1").arg(line);
        }
        sent << QStringLiteral("Mr Li: ") + lines.join(QLatin1Char('\n'));
        QVERIFY(m_teacher.sendFrame("chat@", text));
    }
    QTRY_VERIFY_WITH_TIMEOUT(chat.history().endsWith(QStringLiteral("row 59\n")) &&
                                 chat.history().count(QStringLiteral("row 0\n")) == 4,
                             20000);
    const QString kept = sent.mid(1).join(QLatin1Char('\n')) + QLatin1Char('\n');
    QCOMPARE(chat.history(), kept);
    QCOMPARE(chat.historyView()->toPlainText() + QLatin1Char('\n'), kept);
    QCOMPARE(chat.historyView()->document()->blockCount(), ChatWidget::MaxMessages);
    QScrollBar *bar = chat.historyView()->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(saveScreen(QStringLiteral("chat_lines"), &chat));

    disconnect(route);
}

void TestLessonViews::voteSendsOnlyTheLastDigitOnce()
{
    VoteWidget vote(&m_main);
    QCOMPARE(vote.size(), QSize(250, 370));
    QVERIFY(vote.windowFlags() & Qt::FramelessWindowHint);
    centreOnMain(&vote);
    vote.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vote));

    // Two rows of three digits under the answer, which sits inside its picture; send below.
    auto digit = [&vote](int n) {
        return vote.findChild<ToolbarButton *>(QStringLiteral("vote%1").arg(n));
    };
    auto *send = vote.findChild<ToolbarButton *>(QStringLiteral("send"));
    const QRect inside(QPoint(), vote.size());
    for (int n = 1; n <= 6; ++n) {
        QCOMPARE(digit(n)->size(), QSize(74, 74));
        QCOMPARE(digit(n)->caption(), QString::number(n));
        QVERIFY(inside.contains(digit(n)->geometry()));
    }
    QCOMPARE(digit(3)->y(), digit(1)->y());
    QVERIFY(digit(4)->y() > digit(1)->geometry().bottom());
    QCOMPARE(send->size(), QSize(200, 64));
    QVERIFY(send->y() > digit(6)->geometry().bottom() && inside.contains(send->geometry()));
    QVERIFY(QRect(25, 24, 200, 56).contains(vote.answerLabel()->geometry()));

    QTest::mouseClick(send, Qt::LeftButton);
    QVERIFY(nothingSent());
    QTest::mouseClick(digit(2), Qt::LeftButton);
    QTest::mouseClick(digit(5), Qt::LeftButton);
    QCOMPARE(vote.answerLabel()->text(), QStringLiteral("5"));
    QVERIFY(saveScreen(QStringLiteral("vote"), &vote));
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(nextFrame(), QByteArray("vote@5"));
    QVERIFY(vote.answerLabel()->text().isEmpty());
    QVERIFY(vote.isVisible());
    QTest::mouseClick(send, Qt::LeftButton);
    QVERIFY(nothingSent());

    // Whatever the language shows, the teacher gets the digit.
    WordDigits words;
    QVERIFY(QCoreApplication::installTranslator(&words));
    QTest::mouseClick(digit(3), Qt::LeftButton);
    QCOMPARE(vote.answerLabel()->text(), QStringLiteral("drei"));
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(nextFrame(), QByteArray("vote@3"));
    QCoreApplication::removeTranslator(&words);
}

void TestLessonViews::lockCannotBeLeftByTheStudent()
{
    LockWidget lock(QString(), false);
    QVERIFY(lock.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(lock.windowFlags() & Qt::WindowStaysOnTopHint);
    lock.setMessage(QStringLiteral("Eyes on the teacher, please"));
    lock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lock));
    QVERIFY(lock.isLocked());
    // Every screen covered, though no window manager honours full-screen requests here.
    QCOMPARE(lock.geometry(), ScreenCover::allScreens());
    QCOMPARE(lock.geometry(), QGuiApplication::primaryScreen()->geometry());
    QTRY_COMPARE(windowOnTop(), &lock);
    QVERIFY(saveScreen(QStringLiteral("lock"), &lock));
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QCOMPARE(QColor(shot.pixel(5, 5)), QColor(Qt::black));
    QCOMPARE(QColor(shot.pixel(shot.width() - 5, shot.height() - 5)), QColor(Qt::black));

    // Close requests from code, from the window system and by keys are all refused.
    QVERIFY(!lock.close());
    lock.windowHandle()->close();
    QTest::keyClick(&lock, Qt::Key_F4, Qt::AltModifier);
    QTest::keyClick(&lock, Qt::Key_Escape);
    QApplication::processEvents();
    QVERIFY(lock.isVisible());
    lock.showFullScreen();
    QCOMPARE(lock.geometry(), ScreenCover::allScreens());

    // Windows of the program that come up later stay under it: a dialog over the main window,
    // a full-screen window, the main window raised.
    ChatWidget chat(&m_main);
    chat.onChatting(QStringLiteral("Are you there?"));
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    QTRY_COMPARE(windowOnTop(), &lock);
    QWidget browser;
    browser.setGeometry(QGuiApplication::primaryScreen()->geometry());
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    QTRY_COMPARE(windowOnTop(), &lock);
    QTRY_COMPARE(QApplication::activeWindow(), &lock);
    m_main.raise();
    m_main.activateWindow();
    QTRY_COMPARE(windowOnTop(), &lock);
    // So does the busy indicator, shown and raised again as a rotation does it.
    WaitingDialog busy;
    busy.move(windowOnTop()->geometry().center());
    for (int i = 0; i < 2; ++i) {
        busy.show();
        busy.raise();
        QTRY_COMPARE(windowOnTop(), &lock);
    }

    // The teacher's warning shows over it, also when a vote comes up meanwhile; once the
    // warning closes, the lock is on top again, over the vote, and has the keyboard.
    LockWidget warning(QStringLiteral("Sit down"), true);
    warning.showFullScreen();
    QVERIFY(QTest::qWaitForWindowExposed(&warning));
    QTRY_COMPARE(windowOnTop(), &warning);
    VoteWidget vote(&m_main);
    centreOnMain(&vote);
    vote.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vote));
    QTRY_COMPARE(windowOnTop(), &warning);
    QVERIFY(saveScreen(QStringLiteral("warning_over_lock"), &warning));
    for (int tick = 0; tick < LockWidget::BlinkTicks; ++tick)
        warning.onTimer();
    QVERIFY(!warning.isVisible());
    QTRY_COMPARE(windowOnTop(), &lock);
    QTRY_COMPARE(QApplication::activeWindow(), &lock);
    QTest::qWait(50);
    QCOMPARE(windowOnTop(), &lock);
    QVERIFY(vote.isVisible());

    // Hidden by the teacher, it lets other windows over it and may close.
    lock.hide();
    QVERIFY(!lock.isLocked());
    browser.raise();
    QTRY_COMPARE(windowOnTop(), &browser);
    lock.show();
    QTRY_COMPARE(windowOnTop(), &lock);
    lock.hide();
    QVERIFY(lock.close());
}

void TestLessonViews::warningBlinksAndClosesAfterSixTicks()
{
    LockWidget warning(QStringLiteral("Please stop talking and look at the board"), true);
    QCOMPARE(warning.countdown(), 6);
    QCOMPARE(warning.blinkTimer().interval(), 1000);
    warning.showFullScreen();
    QVERIFY(QTest::qWaitForWindowExposed(&warning));
    QCOMPARE(warning.geometry(), ScreenCover::allScreens());
    QVERIFY(!warning.isLocked() && warning.isTextShown());
    QVERIFY(saveScreen(QStringLiteral("warning"), &warning));
    for (int tick = 1; tick <= 5; ++tick) {
        warning.onTimer();
        QCOMPARE(warning.isTextShown(), tick % 2 == 0);
        QVERIFY(warning.isVisible());
    }
    warning.onTimer();
    QVERIFY(warning.isTextShown() && !warning.isVisible());
    QVERIFY(!warning.blinkTimer().isActive());

    // On its own timer: six ticks of a second, then closed. The steady view has no timer.
    LockWidget timed(QStringLiteral("Look up"), true);
    QSignalSpy ticks(&timed.blinkTimer(), &QTimer::timeout);
    QElapsedTimer clock;
    clock.start();
    timed.show();
    QTRY_VERIFY_WITH_TIMEOUT(!timed.isVisible(), 20000);
    QCOMPARE(ticks.count(), 6);
    QVERIFY(clock.elapsed() >= 5500);
    QVERIFY(!LockWidget(QString(), false).blinkTimer().isActive());
}

QTEST_MAIN(TestLessonViews)
#include "tst_lessonviews.moc"
