#ifndef INKRASTER_H
#define INKRASTER_H

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QVector>

#include <functional>

class DisplayPage;
class QGraphicsItem;
class QWidget;

// A raster of the page a canvas shows, at the canvas's scale and device pixels, with the
// committed items painted into it and a record of each (InkLayer). It covers the page and what
// the viewport shows around it.
class InkRaster
{
public:
    // How the canvas shows its scene.
    struct View
    {
        qreal scale = 1;  // of the scene, both ways
        qreal dpr = 1;    // device pixels per viewport pixel
        QPoint scroll;    // the viewport's origin in scaled scene coordinates
        QSize viewport;   // in viewport pixels
        QRectF sceneRect; // the page
        QPainter::RenderHints hints;
        QFont font; // the items are painted with the viewport's font and pen
        QColor pen;
    };
    using PaintBackground = std::function<void(QPainter *painter, const QRectF &sceneRect)>;
    // What the raster is painted from: the scene, the canvas's background, and the widget the
    // items' paint is given (they paint as for a screen: pictures decoded on a worker).
    struct Source
    {
        DisplayPage *scene;
        PaintBackground background;
        QWidget *widget;
    };
    struct Record
    {
        QRectF rect; // scene bounding rectangle when painted
        bool picture = false;
    };
    struct Member
    {
        QGraphicsItem *item;
        quint64 tag;
    };
    // The rectangles of items a raster does not hold, seen so far bottom first: whatever
    // they meet is not held either.
    struct Overlay
    {
        QVector<QRectF> rects;
        QRectF bounds;

        void add(const QRectF &rect);
        bool meets(const QRectF &rect) const;
    };

    // Larger rasters hold only the visible part of the page and some room around it.
    static constexpr qint64 MaxBytes = 64LL * 1024 * 1024;
    // Painted around an item's bounding rectangle as well: its antialiased edge.
    static constexpr int Edge = 2;

    // The items a raster may hold: strokes, pictures, texts and background pictures.
    static bool holdsKind(const QGraphicsItem *item);
    // The item's bounding rectangle in the scene as the scene's search meets it (a line along
    // an axis has a width).
    static QRectF searchRect(const QGraphicsItem *item);
    static bool sameScale(const View &a, const View &b);
    static QRect visibleRect(const View &view);
    static QRectF toViewport(const View &view, const QRectF &sceneRect);
    // As the scene's own search finds them, bottom first: the visible items whose bounding
    // rectangle meets the area.
    static QList<QGraphicsItem *> itemsIn(DisplayPage *scene, const QRectF &sceneArea);

    InkRaster() = default;
    explicit InkRaster(const Source *source) : m_source(source) {}

    // A raster for the view, blank; false when it cannot be had.
    bool make(const View &view);
    void drop();
    bool isValid() const { return m_bValid; }
    const View &view() const { return m_view; }
    const QRect &extent() const { return m_extent; }
    const QPixmap &pixmap() const { return m_pixmap; }
    QHash<quint64, Record> &records() { return m_records; }
    const QHash<quint64, Record> &records() const { return m_records; }
    // Made at the view's scale and covering all it shows.
    bool covers(const View &view) const;

    QTransform transform() const;
    // The whole raster in the scene.
    QRectF sceneArea() const;
    // The part of the raster an item there paints (its edge included).
    QRect toRaster(const QRectF &sceneRect) const;

    // Painting into the raster, within the clip (raster coordinates) when there is one.
    void begin(QPainter &painter, const QRegion &clip = QRegion());
    void paintBackground(QPainter &painter, const QRegion &area) const;
    // The items of the area the raster may hold, bottom first: those of the kinds it holds
    // that nothing it does not hold lies under.
    QVector<Member> membersIn(const QRectF &sceneArea) const;
    // Paints the members and records them.
    void paintMembers(QPainter &painter, const QVector<Member> &members, int from, int to);
    // Background and members, all of them.
    void paintAll();
    // Paints the area again with the recorded items there.
    void repaintArea(const QRegion &area);
    // Paints new items over it.
    void paintOnTop(const QVector<QGraphicsItem *> &items);
    // Copies the region of the viewport from the raster.
    void blit(QPainter *painter, const QRegion &region, const View &view) const;

private:
    void paintItems(QPainter &painter, const QVector<QGraphicsItem *> &items) const;

    const Source *m_source = nullptr;
    QPixmap m_pixmap;
    View m_view;
    QRect m_extent; // in scaled scene coordinates
    QHash<quint64, Record> m_records;
    bool m_bValid = false;
};

#endif // INKRASTER_H
