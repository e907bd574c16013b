#include "link/BookName.h"

#include <QDir>

QString BookName::fileName(const QString &serverPath)
{
    const int slash =
        qMax(serverPath.lastIndexOf(QLatin1Char('/')), serverPath.lastIndexOf(QLatin1Char('\\')));
    const QString name = serverPath.mid(slash + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    for (const QChar c : name) {
        if (c == QLatin1Char(':') || c.category() == QChar::Other_Control)
            return QString();
    }
    return name;
}

QString BookName::localPath(const QString &folder, const QString &serverPath)
{
    const QString name = fileName(serverPath);
    if (name.isEmpty() || folder.isEmpty())
        return QString();
    const QString root = QDir::cleanPath(folder);
    const QString path = QDir::cleanPath(root + QLatin1Char('/') + name);
    if (QFileInfo(path).absolutePath() != QFileInfo(root).absoluteFilePath())
        return QString();
    return path;
}
