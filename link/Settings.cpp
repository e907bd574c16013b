#include "link/Settings.h"

#include "link/SafeFileWriter.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QStandardPaths>

namespace {
const char *const kFallbackLanguage = "en_US.qm";

// The writable generic data location; never empty and never the file-system root.
QString genericDataLocation()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty() || QDir(base).isRoot())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    if (QDir(base).isRoot())
        base = QDir::tempPath();
    return QDir::cleanPath(base);
}
} // namespace

Settings *Settings::instance()
{
    static Settings *s_instance = new Settings;
    return s_instance;
}

Settings::Settings() : QObject(nullptr)
{
    m_strSavePdfPath = localBookDir() + QStringLiteral("save.pdf");
}

QString Settings::folder(const QString &subPath)
{
    const QString path = genericDataLocation() + QStringLiteral("/Corvane/") + subPath;
    QDir dir(path);
    if (!dir.exists() && !dir.mkpath(QStringLiteral(".")))
        qDebug() << "Settings: cannot make folder" << path;
    return path;
}

QString Settings::dataRoot()
{
    return folder(QString());
}
QString Settings::localBookDir()
{
    return folder(QStringLiteral("localBook/"));
}
QString Settings::tempBooksDir()
{
    return folder(QStringLiteral("localBook/TempBooks/"));
}
QString Settings::tempNotesDir()
{
    return folder(QStringLiteral("localBook/TempNotes/"));
}
QString Settings::savePdfDir()
{
    return localBookDir();
}
QString Settings::languageDir() const
{
    return QStringLiteral(":/lang/lang/");
}

QString Settings::defaultLanguageFile() const
{
    QFile file(languageDir() + QStringLiteral("lang.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return QLatin1String(kFallbackLanguage);
    QDomDocument doc;
    doc.setContent(&file);
    file.close();
    const QDomElement root = doc.firstChildElement(QStringLiteral("Lang"));
    if (root.isNull())
        return QLatin1String(kFallbackLanguage);
    return root.attribute(QStringLiteral("install"), QString());
}

QString Settings::readLanguageFile()
{
    QFile file(dataRoot() + QStringLiteral("lang.cfg"));
    if (!file.open(QIODevice::ReadOnly))
        return defaultLanguageFile();
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_5_4);
    QString name;
    QString fileName;
    in >> name >> fileName;
    if (in.status() != QDataStream::Ok || fileName.isEmpty()) {
        qDebug() << "Settings: lang.cfg is short or unreadable, the default language is used";
        return defaultLanguageFile();
    }
    return fileName;
}

void Settings::writeLanguageFile(const QString &name, const QString &file)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_5_4);
    stream << name << file;
    SafeFileWriter::write(dataRoot() + QStringLiteral("lang.cfg"), bytes, "Settings");
}

// Removes the entry and everything below it; never a parent, never what a link points to.
void Settings::removeDir(const QFileInfo &given)
{
    // Folder paths end with "/": clean them so the entry has a name within its parent.
    const QFileInfo entry(QDir::cleanPath(given.absoluteFilePath()));
    if (entry.fileName().isEmpty() || QDir(entry.absoluteFilePath()).isRoot()) {
        qDebug() << "Settings::removeDir refused" << given.filePath();
        return;
    }
    if (entry.isSymLink() || !entry.isDir()) {
        if (entry.isSymLink() || entry.isFile())
            entry.absoluteDir().remove(entry.fileName());
        return;
    }
    const QDir dir(entry.absoluteFilePath());
    const QFileInfoList children = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &child : children)
        removeDir(child);
    entry.absoluteDir().rmdir(entry.fileName());
}
