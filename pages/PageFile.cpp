#include "pages/PageFile.h"

#include <QDataStream>
#include <QDebug>
#include <QtEndian>

namespace {
const quint32 kNullLength = 0xFFFFFFFFu;

// Bounds-checked big-endian reads over the bytes of one page file.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_data(bytes.constData()), m_size(bytes.size()) {}

    qint64 left() const { return m_size - m_pos; }

    bool readUInt32(quint32 &value)
    {
        if (left() < 4)
            return false;
        value = qFromBigEndian<quint32>(m_data + m_pos);
        m_pos += 4;
        return true;
    }

    bool readInt32(qint32 &value)
    {
        quint32 raw = 0;
        if (!readUInt32(raw))
            return false;
        value = qint32(raw);
        return true;
    }

    bool readBool(bool &value)
    {
        if (left() < 1)
            return false;
        value = m_data[m_pos++] != 0;
        return true;
    }

    bool readByteArray(QByteArray &value)
    {
        quint32 length = 0;
        if (!readUInt32(length))
            return false;
        if (length == kNullLength) {
            value = QByteArray();
            return true;
        }
        if (qint64(length) > left())
            return false;
        value = QByteArray(m_data + m_pos, int(length));
        m_pos += length;
        return true;
    }

    bool readString(QString &value)
    {
        quint32 length = 0;
        if (!readUInt32(length))
            return false;
        if (length == kNullLength) {
            value = QString();
            return true;
        }
        if ((length & 1u) != 0 || qint64(length) > left())
            return false;
        const int units = int(length / 2);
        value = QString(units, Qt::Uninitialized);
        QChar *out = value.data();
        for (int i = 0; i < units; ++i)
            out[i] = QChar(qFromBigEndian<quint16>(m_data + m_pos + 2 * i));
        m_pos += length;
        return true;
    }

private:
    const char *m_data;
    qint64 m_size;
    qint64 m_pos = 0;
};
} // namespace

QByteArray PageFile::encode(const Content &content)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_5_4);
    const bool hasPicture = content.image.size() > 0;
    stream << content.size << hasPicture;
    if (hasPicture)
        stream << content.image;
    stream << content.items << content.vote << content.init;
    return bytes;
}

bool PageFile::decode(const QByteArray &bytes, Content &out)
{
    Reader in(bytes);
    qint32 width = 0;
    qint32 height = 0;
    if (!in.readInt32(width) || !in.readInt32(height))
        return false;
    out.size = QSize(width, height);

    bool hasPicture = false;
    if (!in.readBool(hasPicture))
        return false;
    out.hasPicture = hasPicture;
    if (hasPicture) {
        QByteArray image;
        if (!in.readByteArray(image))
            return false;
        out.image = image;
    }

    quint32 count = 0;
    if (!in.readUInt32(count))
        return false;
    // Every item text takes at least its 4-byte length.
    if (qint64(count) > in.left() / 4) {
        qDebug() << "PageFile::decode item count" << count << "exceeds the bytes left";
        return false;
    }
    out.items.clear();
    out.items.reserve(int(qMin<quint32>(count, 4096)));
    for (quint32 i = 0; i < count; ++i) {
        QString item;
        if (!in.readString(item))
            return false;
        out.items.append(item);
    }

    QString vote;
    if (!in.readString(vote))
        return false;
    out.vote = vote;
    bool init = false;
    if (!in.readBool(init))
        return false;
    out.init = init;
    return true;
}
