#ifndef ZIPFOLDER_H
#define ZIPFOLDER_H

#include <QByteArray>
#include <QString>

class QuaZipFile;

// Packing files and folder trees into zip archives and unpacking them.
// Entry names are UTF-8; failures return false with a debug or warning line.

// Packs a file, or the contents of a folder tree, into a new archive.
bool packToZip(const QString &source, const QString &archivePath);
// Packs a folder; the contents of each first-level folder go to the archive's root.
bool packFolderContents(const QString &folder, const QString &archivePath);
// Adds a folder tree to an open archive, entry names starting with prefix.
bool compressSubDir(const QString &folder, const QString &prefix, QuaZipFile &zipFile);
// Adds one file to an open archive as prefix + its file name.
bool compressFile(const QString &filePath, const QString &prefix, QuaZipFile &zipFile);
// Unpacks an archive into folder; flatten keeps only the file names.
bool extractZip(const QString &archivePath, const QString &folder, bool flatten);
// Reads the first entry called name; data is left untouched on failure.
bool readZipEntry(const QString &archivePath, const QString &name, QByteArray &data);
// As readZipEntry, decoded as UTF-8 up to the first zero byte.
bool readZipEntryText(const QString &archivePath, const QString &name, QString &text);

#endif // ZIPFOLDER_H
