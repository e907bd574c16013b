// Unpacks and reads arbitrary bytes as a zip archive inside a private temporary folder.
#include "pdf/ZipEntryPath.h"
#include "pdf/ZipFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// In memory when possible: every unpacked file is synced to disk on commit.
QTemporaryDir &workDir()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_zip-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_zip-XXXXXX"));
    return dir;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool init = (qInstallMessageHandler(quiet), true);
    (void)init;
    if (size > 256 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));

    // The entry-name rules on their own: a safe target never leaves the folder.
    const QString name = QString::fromUtf8(bytes.left(ZipEntryPath::kMaxNameLength + 8));
    for (bool flatten : {false, true}) {
        const QString target = ZipEntryPath::target(QStringLiteral("/base/out"), name, flatten);
        if (!target.isEmpty() && !target.startsWith(QLatin1String("/base/out/")))
            __builtin_trap();
    }

    QTemporaryDir &dir = workDir();
    const QString archive = dir.filePath(QStringLiteral("in.zip"));
    QFile file(archive);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 0;
    file.close();
    const QString out = dir.filePath(QStringLiteral("out"));
    extractZip(archive, out, false);
    extractZip(archive, out + QStringLiteral("/flat/"), true);
    QByteArray entry;
    readZipEntry(archive, QStringLiteral("page1.crp"), entry);
    QString text;
    readZipEntryText(archive, QStringLiteral("a.txt"), text);
    QDir(out).removeRecursively();
    // Nothing may be written beside the two working names.
    if (QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() >
        1)
        __builtin_trap();
    return 0;
}
