#include "link/Settings.h"
#include "screens/LineEdit.h"
#include "screens/SavePdfDialog.h"
#include "support/TestArtifacts.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

class TestSavePdfDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void layout();
    void emptyNameKeepsDialogOpen();
    void suffixRules_data();
    void suffixRules();
    void refusedNames_data();
    void refusedNames();
    void pathStaysInsideBookFolder();
    void existingFileNeedsYes();
    void cancelRejects();

private:
    QString m_dir;
    QString m_before;
};

void TestSavePdfDialog::init()
{
    m_dir = Settings::instance()->savePdfDir();
    QVERIFY(m_dir.endsWith(QLatin1Char('/')));
    m_before = QStringLiteral("unchanged");
    Settings::instance()->m_strSavePdfPath = m_before;
}

void TestSavePdfDialog::layout()
{
    SavePdfDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter File Name"));
    QCOMPARE(dialog.minimumSize(), QSize(250, 150));
    QCOMPARE(dialog.nameEdit()->maximumWidth(), 180);
    QStringList texts;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->isVisibleTo(&dialog))
            texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("Save Path:  ") + m_dir));
    QVERIFY(texts.contains(QStringLiteral("File Name:")));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("ok"))->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("cancel"))->text(),
             QStringLiteral("Cancel"));
    dialog.show();
    QTest::keyClicks(dialog.nameEdit(), QStringLiteral("a rather long name for the notes"));
    QVERIFY(TestArtifacts::saveWidget(&dialog, QStringLiteral("save_dialog")));
}

void TestSavePdfDialog::emptyNameKeepsDialogOpen()
{
    SavePdfDialog dialog;
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(Settings::instance()->m_strSavePdfPath, m_before);
}

void TestSavePdfDialog::suffixRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("appended") << "lesson 3"
                              << "lesson 3.pdf";
    QTest::newRow("kept") << "notes.pdf"
                          << "notes.pdf";
    QTest::newRow("upper-case suffix") << "notes.PDF"
                                       << "notes.PDF.pdf";
    QTest::newRow("unicode") << QString::fromUtf8("笔记") << QString::fromUtf8("笔记.pdf");
}

void TestSavePdfDialog::suffixRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QCOMPARE(SavePdfDialog::fileNameFor(typed), file);
    SavePdfDialog dialog;
    dialog.show();
    dialog.nameEdit()->setText(typed);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Settings::instance()->m_strSavePdfPath, m_dir + file);
    QVERIFY(!QFile::exists(m_dir + file)); // the dialog writes nothing
}

void TestSavePdfDialog::refusedNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("slash") << "a/b";
    QTest::newRow("absolute") << "/etc/passwd";
    QTest::newRow("backslash") << "a\\b";
    QTest::newRow("parent") << "..";
    QTest::newRow("parent path") << "../../escape";
    QTest::newRow("dots in name") << "x..pdf";
    QTest::newRow("dot before suffix") << "a.";
    QTest::newRow("drive") << "C:book";
    QTest::newRow("wildcard") << "a*b";
    QTest::newRow("control") << QString::fromLatin1("a\nb");
    QTest::newRow("nul") << QString(QChar(0)) + QStringLiteral("x");
    QTest::newRow("spaces") << "   ";
    QTest::newRow("suffix only") << ".pdf";
    QTest::newRow("device") << "con";
    QTest::newRow("device with suffix") << "LPT1.pdf";
    QTest::newRow("too long") << QString(260, QLatin1Char('a'));
    QTest::newRow("too long in bytes") << QString(100, QChar(0x7b14));
}

void TestSavePdfDialog::refusedNames()
{
    QFETCH(QString, typed);
    QVERIFY(SavePdfDialog::fileNameFor(typed).isEmpty());
    SavePdfDialog dialog;
    dialog.show();
    dialog.nameEdit()->setText(typed);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(Settings::instance()->m_strSavePdfPath, m_before);
    bool hintShown = false;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        hintShown |= label->isVisible() && label->text() == QStringLiteral("Invalid file name.");
    QVERIFY(hintShown);
}

void TestSavePdfDialog::pathStaysInsideBookFolder()
{
    // Random names from a hostile alphabet: accepted ones are plain files of the folder.
    const QString alphabet = QStringLiteral("ab./\\:. \t\n*?<>|\"%~$") + QChar(0) + QChar(0x7b14);
    QRandomGenerator random(42);
    const QDir folder(m_dir);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        QString typed;
        const int length = random.bounded(1, 12);
        for (int i = 0; i < length; ++i)
            typed += alphabet.at(random.bounded(alphabet.size()));
        const QString name = SavePdfDialog::fileNameFor(typed);
        if (name.isEmpty())
            continue;
        ++accepted;
        QVERIFY2(name.endsWith(QLatin1String(".pdf")), qPrintable(name));
        const QFileInfo info(m_dir + name);
        QCOMPARE(info.absoluteDir(), folder);
        QCOMPARE(info.fileName(), name);
    }
    QVERIFY(accepted > 100);
}

void TestSavePdfDialog::existingFileNeedsYes()
{
    const QString path = m_dir + QStringLiteral("book.pdf");
    {
        QFile book(path);
        QVERIFY(book.open(QIODevice::WriteOnly));
        book.write("%PDF-1.4 downloaded book");
    }
    SavePdfDialog dialog;
    dialog.show();
    dialog.nameEdit()->setText(QStringLiteral("book"));

    const auto answer = [&dialog](const char *button) {
        QTimer::singleShot(0, &dialog, [&dialog, button] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box && box != &dialog);
            auto *btn = box->findChild<QPushButton *>(QLatin1String(button));
            QVERIFY(btn);
            QTest::mouseClick(btn, Qt::LeftButton);
        });
    };
    answer("no");
    dialog.onOK();
    QVERIFY(dialog.isVisible());
    QCOMPARE(Settings::instance()->m_strSavePdfPath, m_before);

    answer("yes");
    dialog.onOK();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Settings::instance()->m_strSavePdfPath, path);
    QFile book(path);
    QVERIFY(book.open(QIODevice::ReadOnly));
    QCOMPARE(book.readAll(), QByteArray("%PDF-1.4 downloaded book"));
    book.close();
    QVERIFY(QFile::remove(path));
}

void TestSavePdfDialog::cancelRejects()
{
    SavePdfDialog dialog;
    dialog.nameEdit()->setText(QStringLiteral("typed"));
    QTimer::singleShot(0, &dialog, [&dialog] {
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cancel")),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(Settings::instance()->m_strSavePdfPath, m_before);
    // Kept for the next time the dialog is shown.
    QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("typed"));
}

QTEST_MAIN(TestSavePdfDialog)
#include "tst_savepdfdialog.moc"
