#ifndef SAFEFILEWRITER_H
#define SAFEFILEWRITER_H

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file and a rename: a failed write leaves the old
// file as it was.
class SafeFileWriter
{
public:
    // False, with a debug line naming the caller, when the file could not be written.
    static bool write(const QString &path, const QByteArray &bytes, const char *caller);
};

#endif // SAFEFILEWRITER_H
