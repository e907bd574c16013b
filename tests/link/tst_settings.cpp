#include "link/Settings.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private:
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void foldersAreMadeUnderTheDataLocation()
    {
        Settings *s = Settings::instance();
        QCOMPARE(Settings::instance(), s);
        const QString root = s->dataRoot();
        QVERIFY(root.endsWith(QStringLiteral("/Corvane/")));
        QVERIFY(
            root.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)));
        QVERIFY(!QDir(root).isRoot());
        QCOMPARE(s->localBookDir(), root + "localBook/");
        QCOMPARE(s->tempBooksDir(), root + "localBook/TempBooks/");
        QCOMPARE(s->tempNotesDir(), root + "localBook/TempNotes/");
        QCOMPARE(s->savePdfDir(), s->localBookDir());
        QCOMPARE(s->languageDir(), QStringLiteral(":/lang/lang/"));
        for (const QString &dir : {s->tempBooksDir(), s->tempNotesDir()})
            QVERIFY(QDir(dir).exists());
        QCOMPARE(s->m_nMode, 3);
        QVERIFY(!s->m_bReconnecting);
        QCOMPARE(s->m_strSavePdfPath, s->localBookDir() + "save.pdf");
    }

    void languageChoice()
    {
        Settings *s = Settings::instance();
        const QString cfg = s->dataRoot() + "lang.cfg";
        QFile::remove(cfg);
        QCOMPARE(s->defaultLanguageFile(), QStringLiteral("en_US.qm"));
        QCOMPARE(s->readLanguageFile(), QStringLiteral("en_US.qm"));

        s->writeLanguageFile(QStringLiteral("Deutsch"), QStringLiteral("de_DE.qm"));
        QCOMPARE(s->readLanguageFile(), QStringLiteral("de_DE.qm"));

        // Byte form: two QStrings at stream version 16, big-endian.
        QFile file(cfg);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QByteArray expected;
        QDataStream out(&expected, QIODevice::WriteOnly);
        out.setVersion(16);
        out << QStringLiteral("Deutsch") << QStringLiteral("de_DE.qm");
        QCOMPARE(bytes, expected);
        QCOMPARE(bytes.left(4), QByteArray("\x00\x00\x00\x0e", 4));

        // Unreadable: the default language.
        writeFile(cfg, QByteArray());
        QCOMPARE(s->readLanguageFile(), QStringLiteral("en_US.qm"));
        writeFile(cfg, QByteArray("\x7f\xff\xff\xff", 4)); // absurd length, no data
        QCOMPARE(s->readLanguageFile(), QStringLiteral("en_US.qm"));
    }

    void languageListHoldsNineEntries()
    {
        QFile file(":/lang/lang/lang.xml");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray xml = file.readAll();
        QCOMPARE(xml.count("<Item "), 9);
        for (const char *qm : {"en_US.qm", "zh_CN.qm", "zh_HK.qm", "es_ES.qm", "pt_PT.qm",
                               "fr_FR.qm", "de_DE.qm", "ar_EG.qm", "ja_JP.qm"}) {
            QVERIFY2(xml.contains(qm), qm);
            QVERIFY2(QFile::exists(QStringLiteral(":/lang/lang/") + qm), qm);
        }
    }

    void removeDirRemovesOnlyWhatItIsGiven()
    {
        Settings *s = Settings::instance();
        const QString books = s->tempBooksDir();
        QDir(books).mkpath("sub/deeper");
        writeFile(books + "a.crp", "a");
        writeFile(books + ".hidden", "h");
        writeFile(books + "sub/deeper/b.png", "b");

        s->removeDir(QFileInfo(books));
        QVERIFY(!QDir(books).exists());
        // The parents stay, even when they are left empty.
        QVERIFY(QDir(s->dataRoot() + "localBook").exists());
        QVERIFY(QDir(s->dataRoot()).exists());
        QVERIFY(QDir(s->tempBooksDir()).exists()); // made again on demand

        writeFile(books + "one.txt", "1");
        writeFile(books + "two.txt", "2");
        s->removeDir(QFileInfo(books + "one.txt"));
        QVERIFY(!QFile::exists(books + "one.txt"));
        QVERIFY(QFile::exists(books + "two.txt"));

        s->removeDir(QFileInfo(books + "missing/"));
        QVERIFY(QFile::exists(books + "two.txt"));
    }

    void removeDirDoesNotFollowLinks()
    {
        Settings *s = Settings::instance();
        const QString outside = s->dataRoot() + "outside/";
        QDir().mkpath(outside);
        writeFile(outside + "keep.txt", "keep");
        const QString notes = s->tempNotesDir();
        QVERIFY(QFile::link(QDir::cleanPath(outside), notes + "link"));
        QVERIFY(QFile::link(outside + "keep.txt", notes + "filelink"));

        s->removeDir(QFileInfo(notes));
        QVERIFY(!QDir(notes).exists());
        QVERIFY(QFile::exists(outside + "keep.txt"));
    }

    void removeDirRefusesTheRoot()
    {
        Settings::instance()->removeDir(QFileInfo(QStringLiteral("/")));
        QVERIFY(QDir(QStringLiteral("/")).exists());
        QVERIFY(QFile::exists(QStringLiteral("/etc")));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
