#include "pdf/ZipFolder.h"

#include "pdf/ZipEntryPath.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <functional>
#include <memory>

namespace {
constexpr qint64 kBlockSize = 64 * 1024;
constexpr int kMaxEntries = 100000;
// Bytes unpacked from one archive at most.
constexpr qint64 kMaxUnpackedBytes = qint64(4) * 1024 * 1024 * 1024;
// Bytes of one entry read into memory at most.
constexpr qint64 kMaxEntryBytes = qint64(64) * 1024 * 1024;

constexpr QDir::Filters kListFilters =
    QDir::NoDotAndDotDot | QDir::AllDirs | QDir::Files | QDir::NoSymLinks;

// Archives up to this size are read from memory; the zip reader reads byte by byte.
constexpr qint64 kMaxBufferedArchive = qint64(32) * 1024 * 1024;

const char *const kCodec = "UTF-8";

// An archive opened for unzipping, from memory when it is small.
class ArchiveReader
{
public:
    explicit ArchiveReader(const QString &path)
    {
        QFile file(path);
        if (file.size() <= kMaxBufferedArchive && file.open(QIODevice::ReadOnly)) {
            m_bytes = file.readAll();
            m_buffer.setBuffer(&m_bytes);
            m_zip = std::make_unique<QuaZip>(&m_buffer);
        } else {
            m_zip = std::make_unique<QuaZip>(path);
        }
    }
    QuaZip &zip() { return *m_zip; }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<QuaZip> m_zip;
};

// The archive being written, as the file system names it (also its temporary file).
QString archiveKey(const QuaZipFile &zipFile)
{
    const QuaZip *zip = zipFile.getZip();
    if (!zip)
        return QString();
    const auto *device = qobject_cast<const QFileDevice *>(zip->getIoDevice());
    const QString name = device ? device->fileName() : zip->getZipName();
    if (name.isEmpty())
        return QString();
    const QFileInfo info(name);
    return QFileInfo(info.absolutePath()).canonicalFilePath() + QLatin1Char('/') + info.fileName();
}

bool isArchiveItself(const QString &filePath, const QString &key)
{
    if (key.isEmpty())
        return false;
    const QString path = QFileInfo(filePath).canonicalFilePath();
    return path == key || path.startsWith(key + QLatin1Char('.'));
}

bool insideFolder(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// Opens the archive for writing through a save file; the caller packs and commits.
bool packArchive(const QString &archivePath, const std::function<bool(QuaZipFile &)> &pack)
{
    const QFileInfo info(archivePath);
    QDir dir = info.absoluteDir();
    if (!dir.exists() && !dir.mkpath(QStringLiteral("."))) {
        qDebug() << "can't create destination folder to uncompress file";
        return false;
    }
    QSaveFile out(info.absoluteFilePath());
    if (!out.open(QIODevice::WriteOnly)) {
        qDebug() << "Export failed. Cause: cannot write" << archivePath << out.errorString();
        return false;
    }
    QuaZip zip(&out);
    zip.setAutoClose(false);
    zip.setFileNameCodec(kCodec);
    if (!zip.open(QuaZip::mdCreate)) {
        qDebug() << QStringLiteral("Export failed. Cause: zip.open(): %1").arg(zip.getZipError());
        out.cancelWriting();
        return false;
    }
    bool ok;
    {
        QuaZipFile zipFile(&zip);
        ok = pack(zipFile);
    }
    zip.close();
    if (zip.getZipError() != ZIP_OK) {
        qDebug() << "Export failed. Cause: zip.close():" << zip.getZipError();
        ok = false;
    }
    if (!ok) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        qDebug() << "Export failed. Cause: cannot write" << archivePath << out.errorString();
        return false;
    }
    return true;
}

// Copies the open entry into target through a save file; false on any read or write error.
bool copyEntry(QuaZipFile &entry, const QString &target, qint64 *total)
{
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        qDebug() << "extractZip: cannot write" << target << out.errorString();
        return false;
    }
    QByteArray block(int(kBlockSize), Qt::Uninitialized);
    for (;;) {
        const qint64 n = entry.read(block.data(), kBlockSize);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        *total += n;
        if (*total > kMaxUnpackedBytes) {
            qDebug() << "extractZip: archive unpacks to more than" << kMaxUnpackedBytes << "bytes";
            out.cancelWriting();
            return false;
        }
        if (out.write(block.constData(), n) != n) {
            qDebug() << "extractZip: write failed" << target << out.errorString();
            out.cancelWriting();
            return false;
        }
    }
    if (entry.getZipError() != UNZ_OK) {
        qWarning() << "Import failed. Cause: " << entry.getZipError();
        out.cancelWriting();
        return false;
    }
    if (!entry.atEnd()) {
        qWarning() << "Import failed. Cause: read all but not EOF";
        out.cancelWriting();
        return false;
    }
    entry.close();
    if (entry.getZipError() != UNZ_OK) {
        qWarning() << "Import failed. Cause: file.close(): " << entry.getZipError();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        qDebug() << "extractZip: write failed" << target << out.errorString();
        return false;
    }
    return true;
}

// The deepest existing folder on the way to path, with links resolved.
QString existingAncestor(QString path)
{
    while (!QFileInfo::exists(path)) {
        const QString up = QFileInfo(path).absolutePath();
        if (up == path)
            break;
        path = up;
    }
    return QFileInfo(path).canonicalFilePath();
}

// Unpacks the current entry to target, which must stay inside root after links are resolved.
bool extractEntry(QuaZipFile &entry, const QString &target, const QString &root, qint64 *total)
{
    const QFileInfo info(target);
    if (!insideFolder(existingAncestor(info.absolutePath()), root)) {
        qDebug() << "extractZip: refused target" << target;
        return false;
    }
    if (!QDir().mkpath(info.absolutePath())) {
        qDebug() << "extractZip: cannot make folder" << info.absolutePath();
        return false;
    }
    const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (!insideFolder(parent, root) || info.isSymLink() || info.isDir()) {
        qDebug() << "extractZip: refused target" << target;
        return false;
    }
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    if (entry.getZipError() != UNZ_OK) {
        qWarning() << "Import failed. Cause: file.getFileName(): " << entry.getZipError();
        entry.close();
        return false;
    }
    const bool ok = copyEntry(entry, parent + QLatin1Char('/') + info.fileName(), total);
    if (entry.isOpen())
        entry.close();
    return ok;
}

// Makes the folder of a folder entry, which must stay inside root after links are resolved.
bool extractFolderEntry(const QString &folder, const QString &name, const QString &root)
{
    if (QDir::cleanPath(name) == QLatin1String("."))
        return true; // the target folder itself
    const QString path = ZipEntryPath::folderTarget(folder, name);
    if (path.isEmpty()) {
        qDebug() << "extractZip: refused entry name" << name;
        return false;
    }
    if (!insideFolder(existingAncestor(path), root)) {
        qDebug() << "extractZip: refused target" << path;
        return false;
    }
    if (!QDir().mkpath(path)) {
        qDebug() << "extractZip: cannot make folder" << path;
        return false;
    }
    if (!insideFolder(QFileInfo(path).canonicalFilePath(), root)) {
        qDebug() << "extractZip: refused target" << path;
        return false;
    }
    return true;
}

// Reads the current entry into data, at most kMaxEntryBytes.
bool readEntry(QuaZipFile &entry, QByteArray &data)
{
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    bool ok = entry.getZipError() == UNZ_OK;
    QByteArray block(int(kBlockSize), Qt::Uninitialized);
    while (ok) {
        const qint64 n = entry.read(block.data(), kBlockSize);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (data.size() + n > kMaxEntryBytes) {
            qDebug() << "readZipEntry: entry larger than" << kMaxEntryBytes << "bytes";
            ok = false;
            break;
        }
        data.append(block.constData(), int(n));
    }
    ok = ok && entry.getZipError() == UNZ_OK;
    entry.close();
    return ok && entry.getZipError() == UNZ_OK;
}
// Packs the listing of folder; sub-folders keep their names under prefix when keepNames is set.
bool packListing(const QString &folder, const QString &prefix, bool keepNames, QuaZipFile &zipFile)
{
    const QString key = archiveKey(zipFile);
    const QFileInfoList entries = QDir(folder).entryInfoList(kListFilters, QDir::NoSort);
    for (const QFileInfo &info : entries) {
        if (info.isSymLink())
            continue;
        if (info.isDir()) {
            const QString sub = keepNames ? prefix + info.fileName() + QLatin1Char('/') : prefix;
            if (!compressSubDir(info.absoluteFilePath(), sub, zipFile)) {
                qDebug() << "error at compressing dir" << info.absoluteFilePath();
                return false;
            }
        } else if (info.isFile() && !isArchiveItself(info.absoluteFilePath(), key)) {
            if (!compressFile(info.absoluteFilePath(), prefix, zipFile))
                return false;
        }
    }
    return true;
}

} // namespace

bool compressFile(const QString &filePath, const QString &prefix, QuaZipFile &zipFile)
{
    QFile in(filePath);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QString name = prefix + QFileInfo(filePath).fileName();
    QuaZipNewInfo info(name, filePath);
    info.externalAttr = 0; // the file's time stamp only, no permissions
    if (!zipFile.open(QIODevice::WriteOnly, info, nullptr, 0, 8, -1, false, -15, 8, 0)) {
        in.close();
        return false;
    }
    bool ok = true;
    QByteArray block(int(kBlockSize), Qt::Uninitialized);
    while (ok) {
        const qint64 n = in.read(block.data(), kBlockSize);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = zipFile.write(block.constData(), n) == n;
    }
    ok = ok && zipFile.getZipError() == ZIP_OK;
    in.close();
    zipFile.close();
    return ok && zipFile.getZipError() == ZIP_OK;
}

bool compressSubDir(const QString &folder, const QString &prefix, QuaZipFile &zipFile)
{
    return packListing(folder, prefix, true, zipFile);
}

bool packToZip(const QString &source, const QString &archivePath)
{
    return packArchive(archivePath, [&source](QuaZipFile &zipFile) {
        // A source that is a link is packed as what it links to; links inside are skipped.
        const QFileInfo info(source);
        if (info.isSymLink() && !info.exists()) {
            qDebug() << "Export failed. Cause: broken link" << source;
            return false;
        }
        if (info.isDir())
            return compressSubDir(info.absoluteFilePath(), QString(), zipFile);
        if (info.isFile())
            return compressFile(info.absoluteFilePath(), QString(), zipFile);
        return true;
    });
}

bool packFolderContents(const QString &folder, const QString &archivePath)
{
    return packArchive(archivePath, [&folder](QuaZipFile &zipFile) {
        return packListing(folder, QString(), false, zipFile);
    });
}

bool extractZip(const QString &archivePath, const QString &folder, bool flatten)
{
    QString target = folder;
    if (target.endsWith(QLatin1Char('/')))
        target.chop(1);
    ArchiveReader reader(archivePath);
    QuaZip &zip = reader.zip();
    if (!zip.open(QuaZip::mdUnzip)) {
        qWarning() << "Import failed. Cause zip.open(): " << zip.getZipError();
        return false;
    }
    zip.setFileNameCodec(kCodec);
    QDir dir(target);
    if (!dir.exists())
        dir.mkpath(QStringLiteral("."));
    if (!dir.exists()) {
        qDebug() << "can't create tmp directory for zip file" << archivePath;
        return false;
    }
    const QString root = QFileInfo(target).canonicalFilePath();
    QuaZipFile entry(&zip);
    qint64 total = 0;
    int count = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        if (++count > kMaxEntries) {
            qDebug() << "extractZip: more than" << kMaxEntries << "entries in" << archivePath;
            return false;
        }
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info)) {
            qWarning() << "Import failed. Cause: getCurrentFileInfo(): " << zip.getZipError();
            return false;
        }
        if (ZipEntryPath::isFolderEntry(info.name)) {
            // Flattening keeps file names only; otherwise the folder is made, empty or not.
            if (!flatten && !extractFolderEntry(target, info.name, root))
                return false;
            continue;
        }
        const QString path = ZipEntryPath::target(target, info.name, flatten);
        if (path.isEmpty()) {
            qDebug() << "extractZip: refused entry name" << info.name;
            return false;
        }
        if (!extractEntry(entry, path, root, &total))
            return false;
    }
    if (zip.getZipError() != UNZ_OK) {
        qWarning() << "Import failed. Cause: zip.close(): " << zip.getZipError();
        return false;
    }
    return true;
}

bool readZipEntry(const QString &archivePath, const QString &name, QByteArray &data)
{
    ArchiveReader reader(archivePath);
    QuaZip &zip = reader.zip();
    if (!zip.open(QuaZip::mdUnzip))
        return false;
    zip.setFileNameCodec(kCodec);
    QuaZipFile entry(&zip);
    int count = 0;
    for (bool more = zip.goToFirstFile(); more && ++count <= kMaxEntries;
         more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info)) {
            qWarning() << "Import failed. Cause: getCurrentFileInfo(): " << zip.getZipError();
            return false;
        }
        if (info.name != name)
            continue;
        QByteArray bytes;
        if (!readEntry(entry, bytes))
            return false;
        data = bytes;
        return true;
    }
    return false;
}

bool readZipEntryText(const QString &archivePath, const QString &name, QString &text)
{
    QByteArray bytes;
    if (!readZipEntry(archivePath, name, bytes))
        return false;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    text = QString::fromUtf8(bytes);
    return true;
}
