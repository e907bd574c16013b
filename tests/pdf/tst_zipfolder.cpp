#include "pdf/ZipEntryPath.h"
#include "pdf/ZipFolder.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

namespace {
bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Relative path -> contents of every file under folder.
QMap<QString, QByteArray> tree(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(QDir(folder).relativeFilePath(file), readFile(file));
    }
    return files;
}

// An archive with exactly these entries, names stored as given.
bool makeArchive(const QString &path, const QList<QPair<QString, QByteArray>> &entries)
{
    QuaZip zip(path);
    zip.setFileNameCodec("UTF-8");
    if (!zip.open(QuaZip::mdCreate))
        return false;
    QuaZipFile file(&zip);
    for (const auto &entry : entries) {
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(entry.first)))
            return false;
        file.write(entry.second);
        file.close();
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

QStringList entryNames(const QString &path)
{
    QuaZip zip(path);
    zip.setFileNameCodec("UTF-8");
    if (!zip.open(QuaZip::mdUnzip))
        return {"<bad archive>"};
    QStringList names = zip.getFileNameList();
    names.sort();
    return names;
}
} // namespace

class TestZipFolder : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QByteArray big(300 * 1024, Qt::Uninitialized);
        for (int i = 0; i < big.size(); ++i)
            big[i] = char((quint32(i) * 7919u) >> 3);
        QVERIFY(writeFile(path("src/a.txt"), "alpha"));
        QVERIFY(writeFile(path("src/sub/b.txt"), "beta"));
        QVERIFY(writeFile(path("src/sub/deeper/big.bin"), big));
        QVERIFY(writeFile(path(QString::fromUtf8("src/Übung/ノート 1.crp")), "unicode"));
        QVERIFY(writeFile(path("src/empty.txt"), QByteArray()));
        QVERIFY(QDir().mkpath(path("src/nothing")));
        QVERIFY(writeFile(path("outside/secret.txt"), "secret"));
        QVERIFY(QFile::link(path("outside/secret.txt"), path("src/link.txt")));
        QVERIFY(QFile::link(path("outside"), path("src/linkdir")));
    }

    void packAndUnpackEqual()
    {
        QVERIFY(packToZip(path("src"), path("zips/tree.zip")));
        QCOMPARE(entryNames(path("zips/tree.zip")),
                 QStringList({"a.txt", "empty.txt", "sub/b.txt", "sub/deeper/big.bin",
                              QString::fromUtf8("Übung/ノート 1.crp")}));
        QVERIFY(extractZip(path("zips/tree.zip"), path("out/tree/"), false));
        QMap<QString, QByteArray> expected = tree(path("src"));
        expected.remove("link.txt"); // links are not followed
        QCOMPARE(tree(path("out/tree")), expected);

        QVERIFY(extractZip(path("zips/tree.zip"), path("out/flat"), true));
        QCOMPARE(tree(path("out/flat")).keys(),
                 QStringList({"a.txt", "b.txt", "big.bin", "empty.txt",
                              QString::fromUtf8("ノート 1.crp")}));
    }

    // Entries are deflated, stamped with the file's time and carry no attributes.
    void entrySettings()
    {
        QVERIFY(packToZip(path("src/sub/b.txt"), path("zips/settings.zip")));
        QuaZip zip(path("zips/settings.zip"));
        QVERIFY(zip.open(QuaZip::mdUnzip));
        QVERIFY(zip.goToFirstFile());
        QuaZipFileInfo64 info;
        QVERIFY(zip.getCurrentFileInfo(&info));
        QCOMPARE(info.name, QString("b.txt"));
        QCOMPARE(int(info.method), 8);
        QCOMPARE(info.externalAttr, 0u);
        const QDateTime modified = QFileInfo(path("src/sub/b.txt")).lastModified();
        QVERIFY(qAbs(info.dateTime.secsTo(modified)) <= 2);
    }

    void packFolderContentsDropsFirstLevelNames()
    {
        QVERIFY(packFolderContents(path("src"), path("zips/contents.zip")));
        QCOMPARE(entryNames(path("zips/contents.zip")),
                 QStringList({"a.txt", "b.txt", "deeper/big.bin", "empty.txt",
                              QString::fromUtf8("ノート 1.crp")}));
    }

    void packSingleAndMissing()
    {
        QVERIFY(packToZip(path("src/sub/b.txt"), path("zips/single.zip")));
        QCOMPARE(entryNames(path("zips/single.zip")), QStringList({"b.txt"}));
        QVERIFY(packToZip(path("no/such"), path("zips/empty.zip")));
        // Only the end-of-directory record of an empty archive.
        QCOMPARE(readFile(path("zips/empty.zip")), QByteArray("PK\x05\x06") + QByteArray(18, 0));
    }

    // A name with ":" round-trips where it is a plain character; a source that is a link is
    // packed as what it links to, and a broken one fails.
    void colonNamesAndLinkedSources()
    {
#ifdef Q_OS_WIN
        QSKIP("\":\" cannot be in a Windows file name");
#else
        QVERIFY(writeFile(path("colon/notes 10:30.crp"), "ten thirty"));
        QVERIFY(QFile::link(path("colon"), path("colonlink")));
        QVERIFY(QFile::link(path("colon/notes 10:30.crp"), path("filelink")));
        QVERIFY(QFile::link(path("nowhere"), path("brokenlink")));

        QVERIFY(packToZip(path("colonlink"), path("zips/colon.zip")));
        QCOMPARE(entryNames(path("zips/colon.zip")), QStringList({"notes 10:30.crp"}));
        QVERIFY(extractZip(path("zips/colon.zip"), path("out/colon"), false));
        QCOMPARE(tree(path("out/colon")), tree(path("colon")));
        QVERIFY(packToZip(path("filelink"), path("zips/filelink.zip")));
        QCOMPARE(entryNames(path("zips/filelink.zip")), QStringList({"filelink"}));

        QVERIFY(!packToZip(path("brokenlink"), path("zips/broken.zip")));
        QVERIFY(!QFileInfo::exists(path("zips/broken.zip")));
#endif
    }

    void archiveIsNotPackedIntoItself()
    {
        QVERIFY(writeFile(path("self/page1.crp"), "page"));
        for (int round = 0; round < 2; ++round) {
            QVERIFY(packToZip(path("self"), path("self/self.zip")));
            QCOMPARE(entryNames(path("self/self.zip")), QStringList({"page1.crp"}));
        }
    }

    void entryNameRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "a.txt" << true;
        QTest::newRow("nested") << "a/b/c.txt" << true;
        QTest::newRow("dots in name") << "a..b/..c" << true;
        QTest::newRow("parent") << "../evil.txt" << false;
        QTest::newRow("inner parent") << "a/../../evil.txt" << false;
        QTest::newRow("absolute") << "/tmp/evil.txt" << false;
#ifdef Q_OS_WIN
        const bool colonSafe = false;
#else
        const bool colonSafe = true; // a plain character in a Linux file name
#endif
        QTest::newRow("drive") << "C:/evil.txt" << colonSafe;
        QTest::newRow("drive relative") << "C:evil.txt" << colonSafe;
        QTest::newRow("colon") << "notes 10:30.crp" << colonSafe;
        QTest::newRow("back slash") << "..\\evil.txt" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("nul") << QString("a") + QChar(0) + "b" << false;
        QTest::newRow("too long") << QString(ZipEntryPath::kMaxNameLength + 1, 'a') << false;
    }
    void entryNameRules()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(ZipEntryPath::isSafe(name), safe);
        const QString target = ZipEntryPath::target("/base/out", name, false);
        QCOMPARE(!target.isEmpty(), safe);
        if (safe)
            QVERIFY(target.startsWith("/base/out/"));
        QCOMPARE(ZipEntryPath::target("/base/out", "dir/", false), QString());
        QCOMPARE(ZipEntryPath::target("/base/out/", "x/y/z.txt", true), QString("/base/out/z.txt"));
    }

    void unsafeEntriesRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("flattenToo"); // flattening keeps only a harmless file name
        QTest::newRow("parent") << "../evil.txt" << true;
        QTest::newRow("deep parent") << "x/../../evil.txt" << true;
        QTest::newRow("absolute") << path("evil.txt") << true;
#ifdef Q_OS_WIN
        QTest::newRow("drive") << "C:/evil.txt" << true;
#endif
        QTest::newRow("back slash") << "..\\evil.txt" << true;
        QTest::newRow("through a link") << "linkdir/evil.txt" << false;
        QTest::newRow("new folder through a link") << "linkdir/new/evil.txt" << false;
    }
    void unsafeEntriesRefused()
    {
        QFETCH(QString, name);
        QFETCH(bool, flattenToo);
        const QString target = path("victim/out");
        QVERIFY(QDir().mkpath(target));
        QFile::link(path("outside"), target + "/linkdir");
        QVERIFY(makeArchive(path("zips/evil.zip"), {{name, "evil"}}));
        const auto before = tree(m_dir.path());
        for (bool flatten : {false, true}) {
            if (flatten && !flattenToo)
                break;
            QVERIFY(!extractZip(path("zips/evil.zip"), target, flatten));
            QCOMPARE(tree(m_dir.path()), before);
            QVERIFY(!QFileInfo::exists(path("outside/new")));
        }
    }

    // Folder entries make their folders, empty ones too, unless the names are flattened;
    // their names pass the same checks as those of files.
    void folderEntriesSkipped()
    {
        QVERIFY(
            makeArchive(path("zips/dirs.zip"),
                        {{"docs/", {}}, {"docs/x/y.txt", "y"}, {"empty/deep/", {}}, {"./", {}}}));
        QVERIFY(extractZip(path("zips/dirs.zip"), path("out/dirs"), false));
        QCOMPARE(tree(path("out/dirs")).keys(), QStringList({"docs/x/y.txt"}));
        QVERIFY(QFileInfo(path("out/dirs/empty/deep")).isDir());
        QVERIFY(extractZip(path("zips/dirs.zip"), path("out/dirsflat"), true));
        QCOMPARE(tree(path("out/dirsflat")).keys(), QStringList({"y.txt"}));
        QVERIFY(!QFileInfo::exists(path("out/dirsflat/empty")));

        const QString target = path("victim/dirs");
        QVERIFY(QDir().mkpath(target));
        QFile::link(path("outside"), target + "/linkdir");
        for (const QString &name : {QString("../evil/"), QString("linkdir/new/"),
                                    QString("a/../../evil/"), path("abs/")}) {
            QVERIFY(makeArchive(path("zips/evildir.zip"), {{name, {}}}));
            QVERIFY2(!extractZip(path("zips/evildir.zip"), target, false), qPrintable(name));
            QVERIFY(!QFileInfo::exists(path("victim/evil")));
            QVERIFY(!QFileInfo::exists(path("outside/new")));
            QVERIFY(!QFileInfo::exists(path("abs")));
            QVERIFY(extractZip(path("zips/evildir.zip"), target, true));
        }
    }

    void damagedArchiveFails()
    {
        QByteArray data = readFile(path("zips/tree.zip"));
        QVERIFY(writeFile(path("zips/cut.zip"), data.left(data.size() / 2)));
        QVERIFY(!extractZip(path("zips/cut.zip"), path("out/cut"), false));
        // Flip bytes in the middle of the big entry's compressed data: the check sum fails.
        QVERIFY(data.size() > 2000);
        for (int i = 0; i < 200; ++i)
            data[data.size() / 2 + i] = char(~data[data.size() / 2 + i]);
        QVERIFY(writeFile(path("zips/flipped.zip"), data));
        QVERIFY(!extractZip(path("zips/flipped.zip"), path("out/flipped"), false));
        QVERIFY(!tree(path("out/flipped")).contains("sub/deeper/big.bin"));
        QVERIFY(!extractZip(path("src/a.txt"), path("out/notzip"), false));
        // The target folder cannot be made below a file.
        QVERIFY(!extractZip(path("zips/tree.zip"), path("src/a.txt/out"), false));
        QCOMPARE(readFile(path("src/a.txt")), QByteArray("alpha"));
    }

    void readEntries()
    {
        QVERIFY(makeArchive(path("zips/read.zip"),
                            {{"one.txt", "first"},
                             {"one.txt", "second"},
                             {QString::fromUtf8("ä.txt"), QByteArray("text\0tail", 9)}}));
        QByteArray data = "untouched";
        QVERIFY(!readZipEntry(path("zips/read.zip"), "none.txt", data));
        QCOMPARE(data, QByteArray("untouched"));
        QVERIFY(!readZipEntry(path("zips/read.zip"), "ONE.TXT", data));
        QVERIFY(readZipEntry(path("zips/read.zip"), "one.txt", data));
        QCOMPARE(data, QByteArray("first"));
        QString text;
        QVERIFY(readZipEntryText(path("zips/read.zip"), QString::fromUtf8("ä.txt"), text));
        QCOMPARE(text, QString("text"));
        QVERIFY(!readZipEntry(path("missing.zip"), "one.txt", data));
    }
};

QTEST_GUILESS_MAIN(TestZipFolder)
#include "tst_zipfolder.moc"
