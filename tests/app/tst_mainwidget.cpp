#include "app/MainWidget.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/TaskToolManager.h"
#include "platform/PowerStatus.h"
#include "screens/ScreenPointers.h"
#include "screens/ToolbarButton.h"
#include "support/FakeTeacher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestMainWidget : public QObject
{
    Q_OBJECT

private:
    // Presses the button with the given text on the next message box that opens.
    static void answerNextMessageBox(const QString &buttonText, bool *answered)
    {
        QTimer::singleShot(50, [buttonText, answered]() {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == buttonText) {
                    *answered = true;
                    button->click();
                    return;
                }
            }
        });
    }

private slots:
    void constructionEmptiesTemporaryFoldersAndShowsLogin()
    {
        Settings *s = Settings::instance();
        QDir(s->tempBooksDir()).mkpath("old");
        QFile book(s->tempBooksDir() + "old/page1.crp");
        QVERIFY(book.open(QIODevice::WriteOnly));
        book.close();
        QFile note(s->tempNotesDir() + "enote_1.png");
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.close();
        s->m_nMode = 0;

        MainWidget window;
        QVERIFY(!QFile::exists(s->tempBooksDir() + "old/page1.crp"));
        QVERIFY(!QFile::exists(s->tempNotesDir() + "enote_1.png"));
        QVERIFY(QDir(s->localBookDir()).exists());
        QCOMPARE(s->m_nMode, 3);
        QCOMPARE(ScreenPointers::mainWidget(), &window);
        QCOMPARE(window.stack()->count(), 5);
        QCOMPARE(window.stack()->currentIndex(), 0);
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.shareLabel()->isVisible());
        QVERIFY(window.statusLabel()->isVisible());
        QCOMPARE(window.statusLabel()->size(), QSize(70, 62));
        QVERIFY(!window.statusLabel()->pixmap(Qt::ReturnByValue).isNull());

        // The toolbar row: status label, twelve buttons, hands-up; no browser button shown.
        const QList<QAbstractButton *> buttons = window.findChildren<QAbstractButton *>();
        int visible = 0;
        for (QAbstractButton *b : buttons) {
            if (b->isVisible() && !window.stack()->isAncestorOf(b)) {
                ++visible;
                QCOMPARE(b->size(), QSize(70, 62));
            }
        }
        QCOMPARE(visible, 13);

        const QString artifacts = qEnvironmentVariable("CORVANE_TEST_ARTIFACTS");
        if (!artifacts.isEmpty() && QDir().mkpath(artifacts)) {
            window.resize(1280, 800);
            QVERIFY(window.grab().save(artifacts + "/mainwidget.png"));
        }
    }

    void screenButtonsSwitchTheStack()
    {
        MainWidget window;
        window.onbtnLocalBooks();
        QCOMPARE(window.stack()->currentIndex(), 1);
        window.onBtnServerBooks();
        QCOMPARE(window.stack()->currentIndex(), 2);
        window.onSwitchEBook();
        QCOMPARE(window.stack()->currentIndex(), 3);
        QCOMPARE(Settings::instance()->m_nMode, 0);
        window.onBtnLogin();
        QCOMPARE(window.stack()->currentIndex(), 0);
    }

    void toolButtonsChooseToolAndColour()
    {
        MainWidget window;
        TaskToolManager *tools = TaskToolManager::instance();
        window.onBtnMarker();
        QCOMPARE(tools->mode(), int(TaskToolManager::PenMode));
        window.onBtnHighlighter();
        QCOMPARE(tools->mode(), int(TaskToolManager::HighlighterMode));
        window.onBtnEraser();
        QCOMPARE(tools->mode(), int(TaskToolManager::EraserMode));
        window.onBtnTextEdit();
        QCOMPARE(tools->mode(), int(TaskToolManager::TextMode));
        window.onBtnArrow();
        QCOMPARE(tools->mode(), int(TaskToolManager::PointerMode));

        // Four presses from black: the button shows red, blue, green, black in turn.
        auto *colour = window.findChild<ToolbarButton *>(QStringLiteral("Colors_black.svg"));
        QVERIFY(colour);
        QCOMPARE(tools->color(), QColor(Qt::black));
        const struct
        {
            const char *image;
            Qt::GlobalColor pen;
        } steps[] = {{"Colors_red.svg", Qt::red},
                     {"Colors_blue.svg", Qt::blue},
                     {"Colors_green.svg", Qt::green},
                     {"Colors_black.svg", Qt::black}};
        for (const auto &step : steps) {
            window.onBtnColor();
            QCOMPARE(tools->color(), QColor(step.pen));
            ToolbarButton expected(QString(), nullptr);
            expected.setImage(QStringLiteral(":/res/res/") + step.image, false);
            QCOMPARE(colour->normalImage().toImage(), expected.normalImage().toImage());
        }
    }

    void handsUpAndBatteryReachTheTeacher()
    {
        FakeTeacher teacher;
        FakePeer images;
        QVERIFY(teacher.listen());
        QVERIFY(images.listen());
        TcpManager *tcp = TcpManager::instance();
        tcp->setTeacherPorts(teacher.port(), images.port());
        tcp->connectToTeacher(QStringLiteral("127.0.0.1"));
        QVERIFY(teacher.waitForFrames(1)); // the student's introduction
        teacher.sendFrame("information@", "");
        QVERIFY(FakePeer::waitUntil([&] { return tcp->m_bTeacherConnected; }));
        QVERIFY(teacher.waitForFrames(2)); // "query@status"
        teacher.clearFrames();

        // The battery is reported once per change: 255 on a machine without one. Taken first,
        // so that the window's own battery timer has nothing new to send afterwards.
        QTemporaryDir supplies;
        PowerStatus::setSupplyRoot(supplies.path());
        MainWidget window;
        window.onBattleryTimer();
        window.onBattleryTimer();
        QVERIFY(teacher.waitForFrames(1));
        QTest::qWait(50);
        QCOMPARE(teacher.frameTexts(), QList<QByteArray>{"battery@255"});
        teacher.clearFrames();

        qint64 now = 0;
        window.setClock([&now] { return now; });
        window.onBtnHansdsUp();
        window.onBtnHansdsUp(); // ignored during the lockout
        QVERIFY(teacher.waitForFrames(1));
        now = MainWidget::HandsUpLockout; // the 30 s lockout is over
        window.onBtnHansdsUp();
        QVERIFY(teacher.waitForFrames(2));
        QCOMPARE(teacher.frameTexts(), (QList<QByteArray>{"handsup@", "handsup@"}));

        tcp->teacherSocket()->abort();
    }

    void answeringNoKeepsTheWindow()
    {
        MainWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool answered = false;
        answerNextMessageBox(QStringLiteral("No"), &answered);
        window.close();
        QVERIFY(answered);
        QVERIFY(window.isVisible());
    }

    void answeringYesEndsTheProgramWhileAnotherWindowIsShown()
    {
        MainWidget window;
        window.show();
        QWidget lockScreen; // another top-level window, as the lock screen is
        lockScreen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        bool answered = false;
        bool loopEnded = false;
        QTimer::singleShot(0, [&]() {
            answerNextMessageBox(QStringLiteral("Yes"), &answered);
            window.close();
        });
        QTimer::singleShot(5000, []() { QApplication::exit(99); });
        const int code = QApplication::exec();
        loopEnded = true;
        QVERIFY(answered);
        QVERIFY(loopEnded);
        QCOMPARE(code, 0);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
