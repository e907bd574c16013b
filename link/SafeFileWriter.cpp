#include "link/SafeFileWriter.h"

#include <QDebug>
#include <QSaveFile>

bool SafeFileWriter::write(const QString &path, const QByteArray &bytes, const char *caller)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug() << caller << "cannot create" << path << file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qDebug() << caller << "cannot write" << path << file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
