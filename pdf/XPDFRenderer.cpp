#include "pdf/XPDFRenderer.h"

#include "pdf/AbortableOutputDev.h"
#include "pdf/PageImageLimit.h"
#include "pdf/PopplerGlobals.h"
#include "platform/ThreadClock.h"

#include <QDebug>
#include <QFile>
#include <QPainter>
#include <QTextCodec>
#include <QtMath>

#include <poppler/Object.h>
#include <poppler/PDFDoc.h>
#include <poppler/goo/GooString.h>
#include <poppler/splash/SplashBitmap.h>

std::atomic<int> XPDFRenderer::sOpenCount{0};

namespace {
// Longest side of a page image that is rendered at all, in pixels.
constexpr double kMaxPageSide = 1.0e6;
// Longest title kept, in bytes.
constexpr int kMaxTitleBytes = 64 * 1024;

void deleteBitmap(void *bitmap)
{
    delete static_cast<SplashBitmap *>(bitmap);
}

QString decodeUtf16(const QByteArray &bytes, QTextCodec *codec)
{
    QString text = codec->toUnicode(bytes.constData(), bytes.size() & ~1);
    const int nul = text.indexOf(QChar(0));
    return nul >= 0 ? text.left(nul) : text;
}
} // namespace

XPDFRenderer::XPDFRenderer(const QString &path)
{
    PopplerGlobals::ensure();
    if (path.isEmpty())
        return;
    auto name = std::make_unique<GooString>(QFile::encodeName(path).toStdString());
    m_doc = std::make_unique<PDFDoc>(std::move(name));
    ++sOpenCount;
}

XPDFRenderer::~XPDFRenderer()
{
    m_outputDev.reset();
    if (m_doc) {
        m_doc.reset();
        --sOpenCount;
    }
}

bool XPDFRenderer::isValid() const
{
    return m_doc && m_doc->isOk();
}

int XPDFRenderer::pageCount() const
{
    return isValid() ? m_doc->getNumPages() : 0;
}

bool XPDFRenderer::pageInRange(int page) const
{
    return page >= 1 && page <= pageCount();
}

bool XPDFRenderer::pageLoads(int page) const
{
    return pageInRange(page) && m_doc->getPage(page);
}

int XPDFRenderer::pageRotation(int page) const
{
    return pageInRange(page) ? m_doc->getPageRotate(page) : 0;
}

QSizeF XPDFRenderer::pageSizeF(int page) const
{
    if (!pageInRange(page))
        return QSizeF(0, 0);
    const double width = m_nDpi * m_doc->getPageCropWidth(page) / 72.0;
    const double height = m_nDpi * m_doc->getPageCropHeight(page) / 72.0;
    if (pageRotation(page) % 180 == 90)
        return QSizeF(height, width);
    return QSizeF(width, height);
}

QString XPDFRenderer::title() const
{
    if (!isValid())
        return QString();
    const Object info = m_doc->getDocInfo();
    if (!info.isDict())
        return QString();
    const Object title = info.dictLookup("Title");
    if (!title.isString())
        return QString();
    const GooString *text = title.getString();
    return decodeTitle(QByteArray(text->c_str(), text->getLength()));
}

QString XPDFRenderer::decodeTitle(const QByteArray &raw)
{
    const QByteArray bytes = raw.left(kMaxTitleBytes);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(bytes.mid(2), QTextCodec::codecForName("UTF-16BE"));
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16(bytes.mid(2), QTextCodec::codecForName("UTF-16LE"));
    QByteArray utf8 = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    const int nul = utf8.indexOf('\0');
    if (nul >= 0)
        utf8.truncate(nul);
    return QString::fromUtf8(utf8);
}

bool XPDFRenderer::abortCallback(void *data)
{
    auto *self = static_cast<XPDFRenderer *>(data);
    if (!self->m_lastAborted &&
        ((self->m_abortCheck && self->m_abortCheck()) || self->overBudget()))
        self->m_lastAborted = true;
    return self->m_lastAborted;
}

bool XPDFRenderer::overBudget()
{
    if (m_nPageBudgetMs < 0 || !m_pageClock.isValid())
        return false;
    const qint64 wall = m_pageClock.elapsed();
    if (wall < m_nNextCpuCheckMs)
        return false;
    const qint64 now = ThreadClock::processorMs();
    // Without a processor clock, the wall clock stands in.
    const qint64 used = now >= 0 && m_nPageCpuStartMs >= 0 ? now - m_nPageCpuStartMs : wall;
    if (used <= m_nPageBudgetMs) {
        m_nNextCpuCheckMs = wall + (m_nPageBudgetMs - used) + 1;
        return false;
    }
    qDebug() << "XPDFRenderer: page" << m_nPage << "past its work budget of" << m_nPageBudgetMs
             << "ms of processor time," << wall << "ms on the clock";
    return true;
}

QImage XPDFRenderer::pageImage(int page)
{
    return pageImage(page, 1.0, 1.0, QRectF());
}

QImage XPDFRenderer::pageImage(int page, double xScale, double yScale, const QRectF &rect)
{
    if (!draw(page, xScale, yScale, rect))
        return QImage();
    std::unique_ptr<SplashBitmap> bitmap(m_outputDev->takeBitmap());
    if (!usable(bitmap.get()))
        return QImage();
    QImage image(bitmap->getDataPtr(), bitmap->getWidth(), bitmap->getHeight(),
                 bitmap->getRowSize(), QImage::Format_RGB32, &deleteBitmap, bitmap.get());
    if (image.isNull())
        return QImage();
    bitmap.release(); // now owned by the image
    return image;
}

QSize XPDFRenderer::bookPageSize(int page) const
{
    const QSizeF size = pageSizeF(page);
    if (size.isEmpty() || !qIsFinite(size.width()) || !qIsFinite(size.height()) ||
        size.width() > kMaxPageSide || size.height() > kMaxPageSide)
        return QSize();
    // The image at m_nDpi is as many whole pixels as its size rounds to.
    const qint64 width = qint64(size.width() + 0.5);
    const qint64 height = qint64(size.height() + 0.5);
    return PageImageLimit::fitted(
        QSizeF(qMax<qint64>(1, 2 * width / 3), qMax<qint64>(1, 2 * height / 3)));
}

QImage XPDFRenderer::sharedPageImage(int page, const QSize &size)
{
    const QSizeF natural = pageSizeF(page);
    if (size.isEmpty() || natural.isEmpty())
        return QImage();
    if (!draw(page, size.width() / natural.width(), size.height() / natural.height(), QRectF()))
        return QImage();
    SplashBitmap *bitmap = m_outputDev->getBitmap();
    if (!usable(bitmap))
        return QImage();
    return QImage(bitmap->getDataPtr(), bitmap->getWidth(), bitmap->getHeight(),
                  bitmap->getRowSize(), QImage::Format_RGB32);
}

void XPDFRenderer::releaseBitmap()
{
    if (m_outputDev)
        delete m_outputDev->takeBitmap();
}

bool XPDFRenderer::usable(SplashBitmap *bitmap) const
{
    return !m_lastAborted && bitmap && bitmap->getWidth() > 0 && bitmap->getHeight() > 0 &&
           bitmap->getMode() == splashModeXBGR8;
}

bool XPDFRenderer::draw(int page, double xScale, double yScale, const QRectF &rect)
{
    m_sliceX = 0.0;
    m_sliceY = 0.0;
    m_lastReduction = 1.0;
    m_lastAborted = false;
    if (!pageInRange(page) || !qIsFinite(xScale) || !qIsFinite(yScale) || xScale <= 0.0 ||
        yScale <= 0.0)
        return false;

    const QSizeF size = pageSizeF(page);
    const QRectF pageArea(0.0, 0.0, size.width() * xScale, size.height() * yScale);
    const bool whole = rect.width() == 0.0 && rect.height() == 0.0;
    QRectF area = pageArea;
    if (!whole) {
        const QRectF wanted(rect.x() * xScale, rect.y() * yScale, rect.width() * xScale,
                            rect.height() * yScale);
        area = wanted.intersected(pageArea);
    }
    const double pixels = area.width() * area.height();
    if (!qIsFinite(pixels) || area.width() < 1.0 || area.height() < 1.0)
        return false;

    double reduction = 1.0;
    if (PageImageLimit::reduction(area.size()) < 1.0) {
        // Whole pixels within the limit, also where the bitmap's size is rounded up.
        const QSize fitted = PageImageLimit::fitted(area.size());
        reduction = qMin(fitted.width() / area.width(), fitted.height() / area.height());
    }
    if (pageArea.width() * reduction > kMaxPageSide ||
        pageArea.height() * reduction > kMaxPageSide) {
        qDebug() << "XPDFRenderer::pageImage: page" << page << "too large at scale" << xScale
                 << yScale;
        return false;
    }
    m_lastReduction = reduction;
    if (m_abortCheck && m_abortCheck())
        return false;
    const double hDpi = m_nDpi * xScale * reduction;
    const double vDpi = m_nDpi * yScale * reduction;
    m_nPage = page;
    m_pageClock.start();
    m_nPageCpuStartMs = ThreadClock::processorMs();
    m_nNextCpuCheckMs = qMax(0, m_nPageBudgetMs);

    if (!m_outputDev) {
        SplashColor paper;
        paper[0] = paper[1] = paper[2] = paper[3] = 255;
        m_outputDev =
            std::make_unique<AbortableOutputDev>(paper, [this] { return abortCallback(this); });
        m_outputDev->setFontAntialias(true);
        m_outputDev->setVectorAntialias(true);
        m_outputDev->setFreeTypeHinting(false, false);
        m_outputDev->startDoc(m_doc.get());
    }

    if (whole) {
        m_doc->displayPage(m_outputDev.get(), page, hDpi, vDpi, 0, false, true, false,
                           &XPDFRenderer::abortCallback, this);
    } else {
        m_sliceX = area.x();
        m_sliceY = area.y();
        m_doc->displayPageSlice(m_outputDev.get(), page, hDpi, vDpi, 0, false, true, false,
                                int(area.x() * reduction), int(area.y() * reduction),
                                int(area.width() * reduction), int(area.height() * reduction),
                                &XPDFRenderer::abortCallback, this);
    }
    return true;
}

void XPDFRenderer::render(QPainter *painter, int page, const QRectF &rect)
{
    if (!isValid() || !painter)
        return;
    const QTransform transform = painter->worldTransform();
    const QImage image = pageImage(page, transform.m11(), transform.m22(), rect);
    if (image.isNull()) {
        qDebug() << "reder pdf image failed " << page;
        return;
    }
    const QPointF at(transform.dx() + m_sliceX, transform.dy() + m_sliceY);
    painter->resetTransform();
    if (m_lastReduction < 1.0)
        painter->drawImage(QRectF(at, QSizeF(image.size()) / m_lastReduction), image);
    else
        painter->drawImage(at, image);
    painter->setWorldTransform(transform);
}
