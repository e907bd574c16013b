#include "pdf/ZipEntryPath.h"

#include <QDir>
#include <QStringList>

bool ZipEntryPath::isSafe(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    if (name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    // Drive letters and alternate data streams.
    if (name.contains(QLatin1Char(':')))
        return false;
#endif
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

QString ZipEntryPath::target(const QString &folder, const QString &name, bool flatten)
{
    if (!isSafe(name) || isFolderEntry(name))
        return QString();
    QString relative = name;
    if (flatten)
        relative = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    return inside(folder, relative);
}

QString ZipEntryPath::folderTarget(const QString &folder, const QString &name)
{
    if (!isSafe(name) || !isFolderEntry(name))
        return QString();
    return inside(folder, name);
}

QString ZipEntryPath::inside(const QString &folder, const QString &name)
{
    const QString relative = QDir::cleanPath(name);
    if (relative.isEmpty() || relative == QLatin1String("."))
        return QString();
    const QString root = QDir::cleanPath(folder);
    const QString path = QDir::cleanPath(root + QLatin1Char('/') + relative);
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path.startsWith(prefix) && path.size() > prefix.size() ? path : QString();
}
