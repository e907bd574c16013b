#ifndef INKLAYER_H
#define INKLAYER_H

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>

class DisplayPage;
class QGraphicsItem;
class QWidget;

// The committed ink of the page a canvas shows, kept painted in a raster of the page at the
// canvas's scale and device pixels: a repaint copies it and paints over it only what it does
// not hold (live ink, the vote chart, a text being typed). It holds strokes, pictures, texts
// and the background, each only while nothing it does not hold lies under it, so what is shown
// is what painting the items directly shows.
//
// Each paint compares the items found in the painted region with what the raster holds: a new
// item on top is painted onto it, and where items went, moved or came in between, the raster
// is painted again. When only the scale changed (a pinch), the old raster stands in, scaled,
// while the new one is painted a slice at a time between events.
class InkLayer
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
    // Paints those of the found items (by index) that the raster does not hold, as the view
    // paints its items.
    using PaintOver = std::function<void(QPainter *painter, const QVector<int> &items)>;

    // Slices of the new raster are painted for about this long at a time.
    static constexpr int SliceMs = 10;
    // New items a paint paints into the raster for about this long; the rest wait for slices.
    static constexpr int JoinMs = 6;
    // Larger rasters hold only the visible part of the page and some room around it.
    static constexpr qint64 MaxBytes = 64LL * 1024 * 1024;

    // repaint asks for a region of the viewport to be painted again (empty: all of it).
    InkLayer(DisplayPage *scene, PaintBackground background,
             std::function<void(const QRegion &)> repaint);
    ~InkLayer();
    InkLayer(const InkLayer &) = delete;
    InkLayer &operator=(const InkLayer &) = delete;

    // Paints the region of the viewport (the painter maps the scene onto it) from the raster,
    // for the items found there (bottom first), and over it, through paintOver, those it does
    // not hold. Null items are skipped. The paint of the viewport begins with beginPaint and
    // ends with endPaint, whether it came here or not.
    void paint(QPainter *painter, const QRegion &region, const View &view,
               QGraphicsItem *const items[], int count, const PaintOver &paintOver);
    void beginPaint();
    // view: how the canvas showed its scene, null when it did not paint its items as usual.
    void endPaint(const QRegion &region, const View *view);

    // Everything is painted again at the next paint (a page shown afresh, cleared).
    void invalidate();
    // Pictures decoded since they were painted: their areas are painted again.
    void picturesChanged();
    // While the scale is still changing the raster is not painted again: the old one stands
    // in. At the end the canvas repaints, and the new raster is made.
    void setSettling(bool settling);

    bool isBuilding() const { return m_build.active; }
    // New items wait to be painted into the raster; the screen shows what it showed there.
    bool isCatchingUp() const { return !m_pending.isEmpty(); }
    // A new raster is being made, or the old one stands in for the present scale.
    bool isStandingIn() const { return m_bStandingIn; }
    // The items the raster may hold: strokes, pictures, texts and background pictures.
    static bool holdsKind(const QGraphicsItem *item);
    // The item's bounding rectangle in the scene as the scene's search meets it (a line along
    // an axis has a width).
    static QRectF searchRect(const QGraphicsItem *item);

private:
    struct Record
    {
        QRectF rect; // scene bounding rectangle when painted
        bool picture = false;
    };
    struct Raster
    {
        QPixmap pixmap;
        View view;
        QRect extent; // in scaled scene coordinates
        QHash<quint64, Record> records;
        bool valid = false;
    };
    struct Member
    {
        QGraphicsItem *item;
        quint64 tag;
    };
    struct Changes
    {
        QVector<int> over;     // found items painted over the raster
        QVector<Member> onTop; // new items to paint on top of it
        QRegion damage;        // of the raster, to paint again
    };
    struct Pending
    {
        quint64 tag;
        QRectF rect; // in the scene
    };
    struct Build
    {
        Raster raster;
        QVector<quint64> painted;      // members, in the order painted
        QList<QGraphicsItem *> listed; // the scene's items when the members were found
        QVector<Member> members;
        bool active = false;
        bool restart = false; // what was painted is out of date
        int backgroundRows = 0;
    };

    static bool sameRaster(const View &a, const View &b);
    static QRect visibleRect(const View &view);
    static QRect extentFor(const View &view);
    static QTransform transformOf(const Raster &raster);
    static QRectF toViewport(const View &view, const QRectF &sceneRect);
    static QRect toRaster(const Raster &raster, const QRectF &sceneRect);
    bool makeRaster(Raster &raster, const View &view) const;
    void beginPainter(QPainter &painter, Raster &raster, const QRegion &clip = QRegion()) const;
    void paintBackground(QPainter &painter, const Raster &raster, const QRegion &area) const;
    QList<QGraphicsItem *> itemsIn(const QRectF &sceneArea) const;
    // The items of the area that the raster may hold, bottom first: those of the kinds it
    // holds that nothing it does not hold lies under.
    QVector<Member> membersIn(const QRectF &sceneArea) const;
    void paintMembers(QPainter &painter, Raster &raster, const QVector<Member> &members, int from,
                      int to) const;
    void buildAll(const View &view);
    void repaintArea(const QRegion &area);
    void startBuild(const View &view);
    void buildSlice();
    QVector<int> standIn(QPainter *painter, const QRegion &region, const View &view,
                         QGraphicsItem *const items[], int count);
    int newItems(const QRegion &region, const View &view, QGraphicsItem *const items[],
                 int count) const;
    // What changed among the found items since the raster was painted.
    Changes update(const QRegion &region, const View &view, QGraphicsItem *const items[],
                   int count);
    void blit(QPainter *painter, const QRegion &region, const View &view) const;
    void paintOnTop(const QVector<QGraphicsItem *> &items);
    QRegion pendingArea(const View &view) const;
    bool paintPending(int ms);
    void pendingSlice();
    bool prepareComposed(const View &view);
    void compose(QPainter *painter, const QRegion &region, const View &view,
                 const QVector<int> &over, const PaintOver &paintOver);

    DisplayPage *m_scene;
    // Handed to the items' paint: they paint as for a screen (pictures decoded on a worker).
    std::unique_ptr<QWidget> m_widget;
    PaintBackground m_background;
    std::function<void(const QRegion &)> m_repaint;
    Raster m_front;
    Build m_build;
    QTimer m_buildTimer;
    // The viewport as last painted here, where it is known to match the screen: what the
    // screen goes on showing where new items wait.
    QPixmap m_composed;
    View m_composedView;
    QRegion m_composedValid;
    bool m_bComposed = false;
    QVector<Pending> m_pending;
    QTimer m_pendingTimer;
    bool m_bSettling = false;
    bool m_bStandingIn = false;
    bool m_bPicturesChanged = false;
};

#endif // INKLAYER_H
