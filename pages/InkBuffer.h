#ifndef INKBUFFER_H
#define INKBUFFER_H

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRect>
#include <QSize>
#include <QTransform>
#include <QVector>

class QColor;
class QPainter;

// The ink of a stroke in progress, in a view's own pixels: the coverage of its outline, shown in
// the ink's colour with the ink's alpha, so that where the stroke overlaps itself the ink is one
// coat. Spans come one at a time, each as the outline of it with the span before and the outline
// of that span alone: what the first covers beyond the second is added, as filling the whole
// outline at once would add it. The stroke's provisional end is added over a saved copy of the
// pixels beneath, which goes back when the end moves on. The pixels are kept in tiles, made
// where the ink goes.
class InkBuffer
{
public:
    struct Coat
    {
        QPainterPath outline;
        // The part of the outline already in (may be empty).
        QPainterPath already;
    };

    bool isSet() const { return m_bSet; }
    // Whether it holds the ink as painted through that transform (scene to device pixels) on
    // a device of that size.
    bool fits(const QTransform &toDevice, const QSize &deviceSize) const;
    void reset(const QTransform &toDevice, const QSize &deviceSize, const QColor &ink);
    // Takes the old end off, adds the settled coats, then the new end (scene units).
    void update(const QList<Coat> &settled, const Coat &end);
    // Shows the part within `area` (device pixels) with that opacity.
    void draw(QPainter *painter, const QRect &area, qreal opacity) const;

private:
    QRect deviceRect(const QPainterPath &outline) const;
    void add(const Coat &coat, const QRect &area);
    QImage coverage(const QPainterPath &outline, const QRect &area) const;
    // The tiles an area touches, as indexes, and the device rectangle of a tile.
    QVector<int> tilesOf(const QRect &area) const;
    QRect tileRect(int tile) const;
    QImage &tile(int index);
    QImage read(const QRect &area) const;
    void write(const QRect &area, const QImage &image);

    bool m_bSet = false;
    QTransform m_toDevice;
    QSize m_deviceSize;
    // The ink premultiplied at each coverage.
    QVector<QRgb> m_shades;
    int m_nColumns = 0;
    QVector<QImage> m_tiles;
    QImage m_under;
    QRect m_underRect;
};

#endif // INKBUFFER_H
