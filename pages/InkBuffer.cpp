#include "pages/InkBuffer.h"

#include <QPainter>

#include <cstring>

namespace {
// The least the image grows by on a side, in device pixels.
const int kGrowth = 128;
} // namespace

bool InkBuffer::fits(const QTransform &toDevice, const QSize &deviceSize) const
{
    return m_bSet && toDevice == m_toDevice && deviceSize == m_deviceSize;
}

void InkBuffer::reset(const QTransform &toDevice, const QSize &deviceSize, const QColor &ink)
{
    m_bSet = true;
    m_toDevice = toDevice;
    m_deviceSize = deviceSize;
    m_shades.resize(256);
    for (int alpha = 0; alpha < 256; ++alpha)
        m_shades[alpha] = qPremultiply(qRgba(ink.red(), ink.green(), ink.blue(), alpha));
    m_image = QImage();
    m_rect = QRect();
    m_under = QImage();
    m_underRect = QRect();
}

void InkBuffer::update(const QList<Coat> &settled, const Coat &end)
{
    if (!m_underRect.isEmpty()) {
        copyInto(m_image, m_underRect.topLeft() - m_rect.topLeft(), m_under);
        m_underRect = QRect();
        m_under = QImage();
    }
    for (const Coat &coat : settled) {
        const QRect area = deviceRect(coat.outline);
        if (area.isEmpty())
            continue;
        cover(area);
        add(coat, area);
    }
    const QRect area = deviceRect(end.outline);
    if (end.outline.isEmpty() || area.isEmpty())
        return;
    cover(area);
    m_under = m_image.copy(area.translated(-m_rect.topLeft()));
    m_underRect = area;
    add(end, area);
}

void InkBuffer::draw(QPainter *painter, const QRect &area, qreal opacity) const
{
    const QRect shown = area & m_rect;
    if (shown.isEmpty())
        return;
    painter->save();
    const qreal ratio = painter->device()->devicePixelRatioF();
    painter->setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter->setOpacity(opacity);
    painter->drawImage(shown.topLeft(), m_image, shown.translated(-m_rect.topLeft()));
    painter->restore();
}

QRect InkBuffer::deviceRect(const QPainterPath &outline) const
{
    const QRect device(QPoint(0, 0), m_deviceSize);
    return m_toDevice.mapRect(outline.controlPointRect()).toAlignedRect().adjusted(-1, -1, 1, 1) &
           device;
}

void InkBuffer::cover(const QRect &area)
{
    if (m_rect.contains(area))
        return;
    const QRect needed = m_rect | area;
    const int dx = qMax(kGrowth, needed.width() / 4);
    const int dy = qMax(kGrowth, needed.height() / 4);
    const QRect grown = needed.adjusted(-dx, -dy, dx, dy) & QRect(QPoint(0, 0), m_deviceSize);
    QImage image(grown.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!m_image.isNull())
        copyInto(image, m_rect.topLeft() - grown.topLeft(), m_image);
    m_image = image;
    m_rect = grown;
}

void InkBuffer::add(const Coat &coat, const QRect &area)
{
    const QImage outline = coverage(coat.outline, area);
    const QImage already = coverage(coat.already, area);
    const QPoint at = area.topLeft() - m_rect.topLeft();
    for (int y = 0; y < area.height(); ++y) {
        const auto *covered = reinterpret_cast<const QRgb *>(outline.constScanLine(y));
        const auto *before = reinterpret_cast<const QRgb *>(already.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(m_image.scanLine(at.y() + y)) + at.x();
        for (int x = 0; x < area.width(); ++x) {
            const int added = qAlpha(covered[x]) - qAlpha(before[x]);
            if (added > 0)
                to[x] = m_shades.at(qMin(255, qAlpha(to[x]) + added));
        }
    }
}

// How much of each pixel of the area the outline covers, in the alpha channel.
QImage InkBuffer::coverage(const QPainterPath &outline, const QRect &area) const
{
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!outline.isEmpty()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(m_toDevice * QTransform::fromTranslate(-area.x(), -area.y()));
        painter.fillPath(outline, Qt::black);
    }
    return image;
}

void InkBuffer::copyInto(QImage &target, const QPoint &at, const QImage &source)
{
    const size_t bytes = size_t(source.width()) * sizeof(QRgb);
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(target.scanLine(at.y() + y) + at.x() * int(sizeof(QRgb)),
                    source.constScanLine(y), bytes);
}
