#ifndef ZIPENTRYPATH_H
#define ZIPENTRYPATH_H

#include <QString>

// Checks the entry names read from a zip archive and maps them into a target folder.
class ZipEntryPath
{
public:
    static constexpr int kMaxNameLength = 4096;

    // A name that may be unpacked: relative, without "..", back slashes or NULs, and on
    // Windows without ":" (drive letters, data streams).
    static bool isSafe(const QString &name);
    // A stored folder entry (name ends with "/").
    static bool isFolderEntry(const QString &name) { return name.endsWith(QLatin1Char('/')); }
    // Where an entry lands under folder (no trailing "/"); with flatten only the file name is
    // kept. Empty when the name is unsafe or a folder entry.
    static QString target(const QString &folder, const QString &name, bool flatten);
    // Where a folder entry's folder is made under folder; empty when the name is unsafe,
    // not a folder entry, or names folder itself.
    static QString folderTarget(const QString &folder, const QString &name);

private:
    ZipEntryPath() = delete;
    // folder + "/" + relative, cleaned; empty unless it lies strictly inside folder.
    static QString inside(const QString &folder, const QString &relative);
};

#endif // ZIPENTRYPATH_H
