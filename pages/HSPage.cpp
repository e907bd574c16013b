#include "pages/HSPage.h"

#include "link/SafeFileWriter.h"

#include "pages/PageFile.h"
#include "pages/PictureData.h"

#include <QDebug>
#include <QFile>
#include <QTransform>

HSPage::HSPage() : QObject(nullptr) {}

HSPage::HSPage(const HSPage &other) : QObject(nullptr)
{
    *this = other;
}

HSPage &HSPage::operator=(const HSPage &other)
{
    m_bInit = other.m_bInit;
    m_size = other.m_size;
    m_strVote = other.m_strVote;
    m_baImage = other.m_baImage;
    m_listItems = other.m_listItems;
    return *this;
}

HSPage::~HSPage() = default;

bool HSPage::operator==(const HSPage &other) const
{
    return m_bInit == other.m_bInit && m_size == other.m_size &&
           m_strVote.isNull() == other.m_strVote.isNull() && m_strVote == other.m_strVote &&
           m_baImage == other.m_baImage && m_listItems == other.m_listItems;
}

// The bytes save() writes: size, flag, picture, item texts, vote text and init flag.
qint64 HSPage::fileSize() const
{
    const auto stringBytes = [](const QString &text) { return 4 + 2 * qint64(text.size()); };
    qint64 bytes = 4 + 4 + 1 + 4 + stringBytes(m_strVote) + 1;
    if (!m_baImage.isEmpty())
        bytes += 4 + m_baImage.size();
    for (const QString &item : m_listItems)
        bytes += stringBytes(item);
    return bytes;
}

void HSPage::setSize(int width, int height)
{
    m_size = QSize(width, height);
}

void HSPage::setInit(bool init)
{
    m_bInit = init;
    qDebug() << "00000000000000 set Init =" << init;
}

void HSPage::setPixmap(const QPixmap &pixmap)
{
    m_baImage = PictureData::encodePng(pixmap.toImage()).toBase64();
    qDebug() << "png " << m_baImage.size();
}

void HSPage::clearImage()
{
    m_baImage.clear();
}

void HSPage::appendItem(const QString &item)
{
    m_listItems.append(item);
}

void HSPage::clearItems()
{
    m_listItems.clear();
}

bool HSPage::save(const QString &path) const
{
    qDebug() << "save strpath=" << path << m_size;
    if (fileSize() > PageFile::kMaxFileSize) {
        qDebug() << "HSPage::save page larger than a page file may be, not written" << path
                 << fileSize();
        return false;
    }
    PageFile::Content content;
    content.size = m_size;
    content.image = m_baImage;
    content.items = m_listItems;
    content.vote = m_strVote;
    content.init = m_bInit;
    const QByteArray bytes = PageFile::encode(content);

    if (!SafeFileWriter::write(path, bytes, "HSPage::save"))
        return false;
    qDebug() << "save page strpath=" << path << " bInit=" << m_bInit;
    return true;
}

bool HSPage::read(const QString &path)
{
    bool ok = false;
    PageFile::Content content;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "HSPage::read cannot open" << path;
    } else if (file.size() > PageFile::kMaxFileSize) {
        qDebug() << "HSPage::read file too large" << path << file.size();
    } else {
        ok = PageFile::decode(file.readAll(), content);
        if (!ok)
            qDebug() << "HSPage::read short or damaged page file" << path;
    }
    file.close();

    if (ok) {
        // A file without a picture leaves the picture as it was.
        if (content.hasPicture)
            m_baImage = content.image;
        m_size = content.size;
        m_listItems = content.items;
        m_strVote = content.vote;
        m_bInit = content.init;
        qDebug() << "Readed strpaht=" << path << m_size << " binit=" << m_bInit;
    }
    qDebug() << "read after strpaht=" << path << m_size;
    return ok;
}

void HSPage::rotate()
{
    if (m_baImage.isEmpty())
        return;
    qDebug() << "HSPage::rotate()  " << m_baImage.size();
    const QImage image = PictureData::decodeBase64(m_baImage);
    if (image.isNull()) {
        qDebug() << "HSPage::rotate picture does not decode; page left as it was";
        return;
    }
    const QPixmap rotated =
        QPixmap::fromImage(image).transformed(QTransform().rotate(90), Qt::FastTransformation);
    if (rotated.isNull())
        return;
    m_size = rotated.size();
    setPixmap(rotated);
}
