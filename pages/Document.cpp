#include "pages/Document.h"

#include "link/Settings.h"
#include "pages/DisplayPage.h"
#include "pages/PictureData.h"
#include "pdf/PageImageLimit.h"
#include "pdf/PrintPdfManager.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

Document::Document() : QObject(nullptr) {}

Document::~Document()
{
    clearAll();
}

bool Document::validIndex(int index) const
{
    return index >= 0 && index < m_listPageNames.size();
}

QString Document::pagePath(int index) const
{
    return validIndex(index) ? m_strFolder + m_listPageNames.at(index) : QString();
}

// "page<count + 1>.crp", stepping on past names still listed after a removal.
QString Document::nextPageName() const
{
    int number = m_listPageNames.size() + 1;
    QString name;
    do {
        name = QStringLiteral("page%1.crp").arg(number++);
    } while (m_listPageNames.contains(name));
    return name;
}

void Document::forgetFile()
{
    m_nFileIndex = -1;
    m_filePage = HSPage();
}

Document::FileState Document::readPage(int index, HSPage &page) const
{
    const QString path = pagePath(index);
    if (!QFileInfo::exists(path)) {
        page = m_unwritten.value(m_listPageNames.at(index));
        qDebug() << "readPage: no page file, a blank page" << path << page.m_size;
        return FileState::Missing;
    }
    return page.read(path) ? FileState::Read : FileState::Damaged;
}

bool Document::writePage(int index, const HSPage &page)
{
    if (!page.save(pagePath(index)))
        return false;
    m_unwritten.remove(m_listPageNames.at(index));
    return true;
}

void Document::setCurrpage(int index, bool noSave)
{
    if (!validIndex(index))
        return;
    if (!noSave && m_nCurrIndex >= 0)
        saveCurrent();
    m_nCurrIndex = index;
    HSPage page;
    const FileState state = readPage(index, page);
    m_bCurrUnreadable = state == FileState::Damaged;
    if (state == FileState::Read) {
        m_nFileIndex = index;
        m_filePage = page;
    } else {
        if (m_bCurrUnreadable)
            qDebug() << "setCurrpage: page file unreadable, shown empty and kept as it is"
                     << pagePath(index);
        forgetFile();
    }
    m_currPage = page;
    qDebug() << "setCurrpage path=" << pagePath(index) << " size=" << m_currPage.m_size;
}

bool Document::saveCurrent()
{
    if (!validIndex(m_nCurrIndex))
        return false;
    if (m_bCurrUnreadable) {
        qDebug() << "saveCurrent: not written over the unreadable" << pagePath(m_nCurrIndex);
        return false;
    }
    // Unchanged since it was read or written: the file already holds it.
    if (m_nFileIndex == m_nCurrIndex && m_currPage == m_filePage)
        return true;
    if (!writePage(m_nCurrIndex, m_currPage))
        return false;
    m_nFileIndex = m_nCurrIndex;
    m_filePage = m_currPage;
    return true;
}

void Document::rotateCurrent()
{
    m_currPage.rotate();
    saveCurrent();
}

bool Document::appendPage(HSPage &page)
{
    const QString name = nextPageName();
    m_listPageNames.append(name);
    if (writePage(m_listPageNames.size() - 1, page))
        return true;
    // Listed all the same, to keep the page numbers: until it is written it is a blank page
    // of its size, never a file another document left under that name.
    QFile::remove(m_strFolder + name);
    HSPage blank;
    blank.m_size = page.m_size;
    blank.m_bInit = page.m_bInit;
    m_unwritten.insert(name, blank);
    return false;
}

bool Document::addBlankPage(int width, int height, bool init)
{
    HSPage page;
    if (init)
        page.setInit(true);
    page.setSize(width, height);
    return appendPage(page);
}

bool Document::addPixmapPage(const QPixmap &pixmap, bool init)
{
    HSPage page;
    if (init)
        page.setInit(true);
    page.setSize(pixmap.width(), pixmap.height());
    page.setPixmap(pixmap);
    return appendPage(page);
}

bool Document::addSizedPage(int width, int height)
{
    return addBlankPage(width, height, false);
}

bool Document::appendPageFile(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        m_listPageNames.contains(name) || !QFileInfo(m_strFolder + name).isFile()) {
        qDebug() << "appendPageFile: refused" << name;
        return false;
    }
    m_listPageNames.append(name);
    return true;
}

bool Document::addRecord(int index, const QString &itemText)
{
    if (!validIndex(index))
        return false;
    if (index == m_nCurrIndex) {
        m_currPage.appendItem(itemText);
        return true;
    }
    HSPage page;
    if (readPage(index, page) == FileState::Damaged) {
        // Keep whatever the damaged file still holds rather than overwrite it.
        qDebug() << "addRecord: page file unreadable, item not stored" << pagePath(index);
        return false;
    }
    page.appendItem(itemText);
    return writePage(index, page);
}

bool Document::resizepage(int index, int width, int height)
{
    if (!validIndex(index))
        return false;
    qDebug() << "resizepage index=" << index << " name=" << m_listPageNames.at(index)
             << " sz=" << width << height;
    HSPage page;
    page.setSize(width, height);
    if (index == m_nFileIndex)
        forgetFile();
    // The blank page replaces the old file in one step.
    if (writePage(index, page))
        return true;
    if (!QFileInfo::exists(pagePath(index)))
        m_unwritten.insert(m_listPageNames.at(index), page);
    return false;
}

void Document::resetPagesInit()
{
    for (int i = 0; i < m_listPageNames.size(); ++i) {
        HSPage page;
        const FileState state = readPage(i, page);
        if (state == FileState::Damaged) {
            qDebug() << "resetPagesInit: skipping unreadable" << pagePath(i);
            continue;
        }
        page.setInit(false);
        if (state == FileState::Read)
            writePage(i, page);
        else if (m_unwritten.contains(m_listPageNames.at(i)))
            m_unwritten.insert(m_listPageNames.at(i), page);
    }
    forgetFile();
    m_currPage.setInit(false);
}

void Document::clearAll()
{
    for (int i = 0; i < m_listPageNames.size(); ++i)
        QFile::remove(pagePath(i));
    m_listPageNames.clear();
    m_unwritten.clear();
    m_currPage.clearItems();
    m_currPage.clearImage();
    m_nCurrIndex = -1;
    m_bCurrUnreadable = false;
    forgetFile();
}

QStringList Document::takePageFiles()
{
    QStringList paths;
    paths.reserve(m_listPageNames.size());
    for (int i = 0; i < m_listPageNames.size(); ++i)
        paths << pagePath(i);
    m_listPageNames.clear();
    m_unwritten.clear();
    m_currPage.clearItems();
    m_currPage.clearImage();
    m_nCurrIndex = -1;
    return paths;
}

void Document::removePage(int index)
{
    if (!validIndex(index))
        return;
    const QString path = pagePath(index);
    if (index == m_nCurrIndex) {
        m_nCurrIndex = -1;
        m_bCurrUnreadable = false;
    } else if (index < m_nCurrIndex) {
        --m_nCurrIndex;
    }
    forgetFile();
    m_unwritten.remove(m_listPageNames.at(index));
    m_listPageNames.removeAt(index);
    QFile::remove(path);
}

bool Document::getPage(int index, HSPage &out)
{
    if (!validIndex(index))
        return false;
    if (index == m_nCurrIndex) {
        out = m_currPage;
        return true;
    }
    return readPage(index, out) != FileState::Damaged;
}

bool Document::exportPdf(QList<int> *blankPages)
{
    const QString imagePath = Settings::instance()->tempBooksDir() + QStringLiteral("temp_jpg.jpg");
    const QString savePath = Settings::instance()->m_strSavePdfPath;
    DisplayPage scene;
    PrintPdfManager writer;
    // A page whose size is not known takes that of the page before it; the first, a book page's.
    QSize size(kBlankPageWidth, kBlankPageHeight);
    for (int i = 0; i < m_listPageNames.size(); ++i) {
        HSPage page;
        const FileState state = readPage(i, page);
        // A page never written is the blank page it was added as; any other page without its
        // file has lost its content.
        const bool lost =
            state == FileState::Damaged ||
            (state == FileState::Missing && !m_unwritten.contains(m_listPageNames.at(i)));
        if (lost)
            qDebug() << "exportPdf: page file unreadable, written blank" << pagePath(i);
        // A picture that does not decode leaves its page as white.
        const bool pictureLost = !primePicture(scene, page);
        if (pictureLost)
            qDebug() << "exportPdf: page picture undecodable, written blank" << pagePath(i);
        if ((lost || pictureLost) && blankPages)
            blankPages->append(i);
        if (!page.m_size.isEmpty())
            size = page.m_size;
        if (!writePdfPage(scene, writer, page, size, imagePath))
            return false;
    }
    return writer.save(savePath);
}

bool Document::primePicture(DisplayPage &scene, HSPage &page)
{
    if (page.m_baImage.isEmpty())
        return true;
    const QImage picture = PictureData::decodeBase64(page.m_baImage);
    if (picture.isNull()) {
        page.clearImage();
        return false;
    }
    scene.primeBackground(page.m_baImage, QPixmap::fromImage(picture));
    return true;
}

// The page is drawn within the page image limit and written as a page of its size brought
// within the sizes the writer takes, its image stretched over it.
bool Document::writePdfPage(DisplayPage &scene, PrintPdfManager &writer, HSPage &page,
                            const QSize &size, const QString &imagePath)
{
    const QRectF rect(QPointF(0, 0), QSizeF(size));
    const QSize pageSize = PrintPdfManager::pageSize(size);
    QImage image(PageImageLimit::fitted(QSizeF(pageSize)), QImage::Format_RGB32);
    if (image.isNull()) {
        qDebug() << "exportPdf: no memory for a page image of" << pageSize;
        return false;
    }
    image.fill(Qt::white);
    scene.setPage(page);
    scene.setSceneRect(rect);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        scene.render(&painter, QRectF(image.rect()), rect, Qt::KeepAspectRatio);
    }
    // Never let a page fall back on the image of the page before it.
    QFile::remove(imagePath);
    if (!image.save(imagePath, "JPG", 100)) {
        qDebug() << "exportPdf: cannot write" << imagePath;
        return false;
    }
    qDebug() << "Save " << rect.size() << imagePath;
    return writer.addFilledImagePage(imagePath, pageSize.width(), pageSize.height());
}
