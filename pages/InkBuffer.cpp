#include "pages/InkBuffer.h"

#include <QColor>
#include <QPainter>

namespace {
const int kTile = 128;

const QRgb *pixels(const QImage &image, int y)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y));
}

QRgb *pixels(QImage &image, int y)
{
    return reinterpret_cast<QRgb *>(image.scanLine(y));
}
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
    m_nColumns = (deviceSize.width() + kTile - 1) / kTile;
    const int rows = (deviceSize.height() + kTile - 1) / kTile;
    m_tiles = QVector<QImage>(m_nColumns * rows);
    m_under = QImage();
    m_underRect = QRect();
}

void InkBuffer::update(const QList<Coat> &settled, const Coat &end)
{
    if (!m_underRect.isEmpty()) {
        write(m_underRect, m_under);
        m_underRect = QRect();
        m_under = QImage();
    }
    for (const Coat &coat : settled) {
        const QRect area = deviceRect(coat.outline);
        if (!area.isEmpty())
            add(coat, area);
    }
    const QRect area = deviceRect(end.outline);
    if (end.outline.isEmpty() || area.isEmpty())
        return;
    m_under = read(area);
    m_underRect = area;
    add(end, area);
}

void InkBuffer::draw(QPainter *painter, const QRect &area, qreal opacity) const
{
    const QVector<int> shown = tilesOf(area);
    if (shown.isEmpty())
        return;
    painter->save();
    const qreal ratio = painter->device()->devicePixelRatioF();
    painter->setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter->setOpacity(opacity);
    for (int index : shown) {
        const QImage &image = m_tiles.at(index);
        if (image.isNull())
            continue;
        const QRect part = tileRect(index) & area;
        painter->drawImage(part.topLeft(), image, part.translated(-tileRect(index).topLeft()));
    }
    painter->restore();
}

QRect InkBuffer::deviceRect(const QPainterPath &outline) const
{
    const QRect device(QPoint(0, 0), m_deviceSize);
    return m_toDevice.mapRect(outline.controlPointRect()).toAlignedRect().adjusted(-1, -1, 1, 1) &
           device;
}

void InkBuffer::add(const Coat &coat, const QRect &area)
{
    const QImage outline = coverage(coat.outline, area);
    const QImage already = coverage(coat.already, area);
    for (int index : tilesOf(area)) {
        const QRect part = tileRect(index) & area;
        QImage &target = tile(index);
        const QPoint in = part.topLeft() - tileRect(index).topLeft();
        const QPoint from = part.topLeft() - area.topLeft();
        for (int y = 0; y < part.height(); ++y) {
            const QRgb *covered = pixels(outline, from.y() + y) + from.x();
            const QRgb *before = pixels(already, from.y() + y) + from.x();
            QRgb *to = pixels(target, in.y() + y) + in.x();
            for (int x = 0; x < part.width(); ++x) {
                const int added = qAlpha(covered[x]) - qAlpha(before[x]);
                if (added > 0)
                    to[x] = m_shades.at(qMin(255, qAlpha(to[x]) + added));
            }
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

QVector<int> InkBuffer::tilesOf(const QRect &area) const
{
    QVector<int> found;
    const QRect within = area & QRect(QPoint(0, 0), m_deviceSize);
    if (within.isEmpty())
        return found;
    for (int row = within.top() / kTile; row <= within.bottom() / kTile; ++row)
        for (int column = within.left() / kTile; column <= within.right() / kTile; ++column)
            found.append(row * m_nColumns + column);
    return found;
}

QRect InkBuffer::tileRect(int tile) const
{
    return QRect((tile % m_nColumns) * kTile, (tile / m_nColumns) * kTile, kTile, kTile);
}

QImage &InkBuffer::tile(int index)
{
    QImage &image = m_tiles[index];
    if (image.isNull()) {
        image = QImage(kTile, kTile, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    }
    return image;
}

QImage InkBuffer::read(const QRect &area) const
{
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int index : tilesOf(area)) {
        const QImage &source = m_tiles.at(index);
        if (source.isNull())
            continue;
        const QRect part = tileRect(index) & area;
        const QPoint in = part.topLeft() - tileRect(index).topLeft();
        const QPoint to = part.topLeft() - area.topLeft();
        for (int y = 0; y < part.height(); ++y)
            std::copy_n(pixels(source, in.y() + y) + in.x(), part.width(),
                        pixels(image, to.y() + y) + to.x());
    }
    return image;
}

void InkBuffer::write(const QRect &area, const QImage &image)
{
    for (int index : tilesOf(area)) {
        const QRect part = tileRect(index) & area;
        QImage &target = tile(index);
        const QPoint in = part.topLeft() - tileRect(index).topLeft();
        const QPoint from = part.topLeft() - area.topLeft();
        for (int y = 0; y < part.height(); ++y)
            std::copy_n(pixels(image, from.y() + y) + from.x(), part.width(),
                        pixels(target, in.y() + y) + in.x());
    }
}
