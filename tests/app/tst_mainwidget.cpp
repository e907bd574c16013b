#include "app/MainWidget.h"
#include "link/Settings.h"
#include "screens/ScreenPointers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QStackedWidget>
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
            if (b->isVisible()) {
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
