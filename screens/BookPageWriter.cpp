#include "screens/BookPageWriter.h"

#include "link/SafeFileWriter.h"
#include "pages/PageFile.h"

#include <QBuffer>
#include <QImageWriter>

QString BookPageWriter::fileName(int index)
{
    return QStringLiteral("page%1.crp").arg(index + 1);
}

QByteArray BookPageWriter::pageFileBytes(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(PngQuality);
    if (image.isNull() || !writer.write(image))
        return QByteArray();
    PageFile::Content content;
    content.size = image.size();
    content.image = png.toBase64();
    return PageFile::encode(content);
}

QString BookPageWriter::write(const QString &folder, int index, const QImage &image)
{
    const QByteArray bytes = pageFileBytes(image);
    const QString path = folder + fileName(index);
    if (bytes.isEmpty() || !SafeFileWriter::write(path, bytes, "BookPageWriter"))
        return QString();
    return path;
}
