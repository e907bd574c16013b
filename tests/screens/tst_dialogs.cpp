#include "platform/OnScreenKeyboard.h"
#include "screens/CRMessageBox.h"
#include "screens/LineEdit.h"
#include "screens/QuestionDlg.h"
#include "screens/ScreenPointers.h"
#include "screens/WaitingDialog.h"
#include "support/ScreenPixels.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QtTest>
#include <memory>

namespace {
// Clicks the named button of the dialog once its event loop runs.
void clickLater(QDialog *dialog, const char *button)
{
    QTimer::singleShot(0, dialog, [dialog, button] {
        auto *btn = dialog->findChild<QPushButton *>(QLatin1String(button));
        QVERIFY(btn);
        QTest::mouseClick(btn, Qt::LeftButton);
    });
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void screenPointersAreSetOnce();
    void messageBoxDefaultsAndAnswers_data();
    void messageBoxDefaultsAndAnswers();
    void messageBoxClosedByFrameRejects();
    void messageBoxCentresOverMainWindow();
    void messageBoxWithoutMainWindowUsesScreen();
    void questionDialog();
    void lineEditKeyboardButtonFollowsResize();
    void lineEditButtonStartsKeyboard();
    void lineEditKeepsWorkingWhenKeyboardFails();
    void waitingIndicatorPlaysAnimation();
    void dialogsShowTranslatedTexts();

private:
    std::unique_ptr<QWidget> m_main;
};

void TestDialogs::init()
{
    if (!m_main) {
        m_main = std::make_unique<QWidget>();
        m_main->resize(1920, 1080);
        QVERIFY(ScreenPointers::setMainWidget(m_main.get()));
    }
    OnScreenKeyboard::setLauncher(OnScreenKeyboard::Launcher());
}

void TestDialogs::screenPointersAreSetOnce()
{
    QCOMPARE(ScreenPointers::mainWidget(), m_main.get());
    QWidget other;
    QVERIFY(!ScreenPointers::setMainWidget(&other));
    QCOMPARE(ScreenPointers::mainWidget(), m_main.get());

    QVERIFY(!ScreenPointers::displayWidget());
    {
        QWidget screen;
        QVERIFY(ScreenPointers::setDisplayWidget(&screen));
        QVERIFY(ScreenPointers::setDisplayWidget(&screen));
        QVERIFY(!ScreenPointers::setDisplayWidget(&other));
        QCOMPARE(ScreenPointers::displayWidget(), &screen);
    }
    // A destroyed screen reads null and may be replaced.
    QVERIFY(!ScreenPointers::displayWidget());
    QVERIFY(ScreenPointers::setDisplayWidget(&other));
    QCOMPARE(ScreenPointers::displayWidget(), &other);
    QVERIFY(ScreenPointers::setENoteWidget(&other));
    QVERIFY(ScreenPointers::setLocalBooksWidget(&other));
    QCOMPARE(ScreenPointers::eNoteWidget(), &other);
    QCOMPARE(ScreenPointers::localBooksWidget(), &other);
}

void TestDialogs::messageBoxDefaultsAndAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("yes") << "yes" << int(QDialog::Accepted);
    QTest::newRow("no") << "no" << int(QDialog::Rejected);
}

void TestDialogs::messageBoxDefaultsAndAnswers()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    QWidget screen;
    CRMessageBox box(&screen);
    QCOMPARE(box.windowTitle(), QStringLiteral("Confirm Delete"));
    QCOMPARE(box.message(), QStringLiteral("Sure to delete this file?"));
    QCOMPARE(box.size(), QSize(350, 120));
    QCOMPARE(box.windowModality(), Qt::WindowModal);
    QCOMPARE(box.findChild<QPushButton *>(QStringLiteral("yes"))->text(), QStringLiteral("Yes"));
    QCOMPARE(box.findChild<QPushButton *>(QStringLiteral("no"))->text(), QStringLiteral("No"));

    box.setMessage(QStringLiteral("Logout"), QStringLiteral("Sure to Logout?"));
    QCOMPARE(box.windowTitle(), QStringLiteral("Logout"));
    QCOMPARE(box.message(), QStringLiteral("Sure to Logout?"));
    box.centerOnMainWidget();
    const QByteArray name = button.toLatin1();
    clickLater(&box, name.constData());
    QCOMPARE(box.exec(), result);
}

void TestDialogs::messageBoxClosedByFrameRejects()
{
    CRMessageBox box(nullptr);
    QTimer::singleShot(0, &box, [&box] { box.close(); });
    QCOMPARE(box.exec(), int(QDialog::Rejected));
}

void TestDialogs::messageBoxCentresOverMainWindow()
{
    CRMessageBox box(nullptr);
    box.centerOnMainWidget();
    QCOMPARE(box.pos(), QPoint((1920 - 350) / 2, (1080 - 120) / 2));

    // The language-change box is centred for its own size, then widened: 25 px right of middle.
    box.setFixedSize(400, 120);
    QCOMPARE(box.x(), 785);
    QCOMPARE(box.x() + box.width() / 2 - 1920 / 2, 25);

    m_main->resize(1001, 601);
    box.setFixedSize(350, 120);
    box.centerOnMainWidget();
    QCOMPARE(box.pos(), QPoint(325, 240));
    m_main->resize(1920, 1080);
}

void TestDialogs::messageBoxWithoutMainWindowUsesScreen()
{
    m_main.reset();
    QVERIFY(!ScreenPointers::mainWidget());
    CRMessageBox box(nullptr);
    box.centerOnMainWidget();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QCOMPARE(box.pos(), QPoint((screen.width() - 350) / 2, (screen.height() - 120) / 2));
}

void TestDialogs::questionDialog()
{
    QuestionDlg dlg(nullptr);
    QCOMPARE(dlg.size(), QSize(350, 120));
    QCOMPARE(dlg.windowModality(), Qt::WindowModal);
    QVERIFY(dlg.styleSheet().contains(QStringLiteral("border:2px solid gray")));
    const QList<QLabel *> labels = dlg.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first()->text(), QStringLiteral("Are you sure to exit?"));
    clickLater(&dlg, "yes");
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    clickLater(&dlg, "no");
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
}

void TestDialogs::lineEditKeyboardButtonFollowsResize()
{
    LineEdit edit;
    QPushButton *btn = edit.keyboardButton();
    QCOMPARE(btn->parentWidget(), &edit);
    QVERIFY(!btn->icon().isNull());
    edit.resize(200, 40);
    edit.show();
    QCOMPARE(btn->geometry(), QRect(168, 0, 32, 40));
    QCOMPARE(btn->iconSize(), QSize(32, 40));
    edit.resize(300, 56);
    QCOMPARE(btn->geometry(), QRect(268, 0, 32, 56));
    // Typed text stays clear of the button, also when it runs longer than the field.
    QTest::keyClicks(&edit, QString(60, QLatin1Char('W')));
    btn->hide();
    const QRect under(btn->x() + 2, 12, 26, 32);
    QCOMPARE(ScreenPixels::count(edit.grab().toImage(), under, edit.palette().base().color()),
             under.width() * under.height());
}

void TestDialogs::lineEditButtonStartsKeyboard()
{
    QStringList started;
    OnScreenKeyboard::setLauncher([&started](const QString &program) {
        started << program;
        return true;
    });
    LineEdit edit;
    edit.resize(200, 40);
    edit.show();
    QTest::mouseClick(edit.keyboardButton(), Qt::LeftButton);
    QCOMPARE(started.size(), 1);
    // A second press starts it again.
    QTest::mouseClick(edit.keyboardButton(), Qt::LeftButton);
    QCOMPARE(started.size(), 2);
    QCOMPARE(started.at(1), started.at(0));
}

void TestDialogs::lineEditKeepsWorkingWhenKeyboardFails()
{
    int calls = 0;
    OnScreenKeyboard::setLauncher([&calls](const QString &) {
        ++calls;
        return false;
    });
    LineEdit edit;
    edit.resize(200, 40);
    edit.show();
    edit.setFocus();
    QTest::mouseClick(edit.keyboardButton(), Qt::LeftButton);
    QVERIFY(calls >= 1);
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    QCOMPARE(edit.text(), QStringLiteral("abc"));
}

void TestDialogs::waitingIndicatorPlaysAnimation()
{
    auto waiting = std::make_unique<WaitingDialog>();
    QCOMPARE(waiting->size(), QSize(128, 15));
    QVERIFY(waiting->isWindow());
    QVERIFY(waiting->windowFlags() & Qt::CustomizeWindowHint);
    QMovie *movie = waiting->movie();
    QVERIFY(movie->isValid());
    QVERIFY(movie->frameCount() > 1);
    QCOMPARE(movie->state(), QMovie::Running);
    QCOMPARE(movie->currentPixmap().size(), QSize(128, 15));
    // Runs while hidden, and through show and hide.
    const int first = movie->currentFrameNumber();
    QTRY_VERIFY_WITH_TIMEOUT(movie->currentFrameNumber() != first, 3000);
    waiting->show();
    waiting->move(100, 100);
    waiting->hide();
    QCOMPARE(movie->state(), QMovie::Running);
    waiting.reset();
}

void TestDialogs::dialogsShowTranslatedTexts()
{
    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/lang/lang/de_DE.qm")));
    QVERIFY(QCoreApplication::installTranslator(&german));
    {
        CRMessageBox box(nullptr);
        QCOMPARE(box.windowTitle(), QStringLiteral("Löschen bestätigen"));
        QCOMPARE(box.findChild<QPushButton *>(QStringLiteral("yes"))->text(), QStringLiteral("Ja"));
        QuestionDlg dlg(nullptr);
        QCOMPARE(dlg.findChild<QPushButton *>(QStringLiteral("no"))->text(),
                 QStringLiteral("Nein"));
    }
    QCoreApplication::removeTranslator(&german);
    QTranslator japanese;
    QVERIFY(japanese.load(QStringLiteral(":/lang/lang/ja_JP.qm")));
    QCOMPARE(japanese.translate("CRMessageBox", "Sure to delete this file?"),
             QStringLiteral("このファイルを削除してもよろしいですか？"));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
