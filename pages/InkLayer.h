#ifndef INKLAYER_H
#define INKLAYER_H

#include "pages/InkRaster.h"

#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>

class DisplayPage;
class QGraphicsItem;
class QWidget;

// The committed ink of the page a canvas shows, kept painted in a raster of the page at the
// canvas's scale and device pixels (InkRaster): a repaint copies it and paints over it only
// what it does not hold (live ink, the vote chart, a text being typed). It holds strokes,
// pictures, texts and the background, each only while nothing it does not hold lies under it,
// so what is shown is what painting the items directly shows.
//
// Each paint compares the items found in the painted region with what the raster holds: a new
// item on top is painted onto it, and where items went, moved or came in between, the raster
// is painted again. New items that take long to paint (a minute of shading, lifted) are painted
// into it between the next events while the screen goes on showing what it showed there (the
// live ink they take the place of). When only the scale changed (a pinch), the old raster
// stands in, scaled, while the new one is painted a slice at a time between events.
class InkLayer
{
public:
    using View = InkRaster::View;
    using PaintBackground = InkRaster::PaintBackground;
    // Paints those of the found items (by index) that the raster does not hold, as the view
    // paints its items.
    using PaintOver = std::function<void(QPainter *painter, const QVector<int> &items)>;

    // Slices of the new raster are painted for about this long at a time (at least one item).
    static constexpr int SliceMs = 10;
    // New items a paint paints into the raster for about this long; the rest wait for slices.
    static constexpr int JoinMs = 6;

    // repaint asks for a region of the viewport to be painted again (empty: all of it); the
    // widget handed to the items' paint is a hidden child of the viewport.
    InkLayer(DisplayPage *scene, PaintBackground background,
             std::function<void(const QRegion &)> repaint, QWidget *viewport);
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
    // Other times than SliceMs and JoinMs; 0 makes every slice paint one item, and every new
    // item wait for them.
    void setBudget(int sliceMs, int joinMs);

    bool isBuilding() const { return m_build.active; }
    // New items wait to be painted into the raster; the screen shows what it showed there.
    bool isCatchingUp() const { return !m_pending.isEmpty(); }
    // A new raster is being made, or the old one stands in for the present scale.
    bool isStandingIn() const { return m_bStandingIn; }

private:
    using Member = InkRaster::Member;
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
        InkRaster raster;
        QVector<quint64> painted;      // members, in the order painted
        QList<QGraphicsItem *> listed; // the scene's items when the members were found
        QVector<Member> members;
        bool active = false;
        bool restart = false; // what was painted is out of date
        int backgroundRows = 0;
    };

    void buildAll(const View &view);
    void startBuild(const View &view);
    void buildSlice();
    QVector<int> standIn(QPainter *painter, const View &view, QGraphicsItem *const items[],
                         int count);
    int newItems(const QRegion &region, const View &view, QGraphicsItem *const items[], int count,
                 int limit) const;
    // What changed among the found items since the raster was painted.
    Changes update(const QRegion &region, const View &view, QGraphicsItem *const items[],
                   int count);
    void joinOnTop(const Changes &changes, const QRegion &region, const View &view,
                   const QRegion &overArea, bool composing);
    QRegion pendingArea(const View &view) const;
    bool paintPending(int ms);
    void flushPending(const View &view);
    void pendingSlice();
    bool prepareComposed(const View &view);
    void compose(QPainter *painter, const QRegion &region, const View &view,
                 const QVector<int> &over, const PaintOver &paintOver);

    // Handed to the items' paint: they paint as for a screen (pictures decoded on a worker).
    std::unique_ptr<QWidget> m_widget;
    InkRaster::Source m_source;
    std::function<void(const QRegion &)> m_repaint;
    InkRaster m_front;
    Build m_build;
    QTimer m_buildTimer;
    // The viewport as last painted here, where it is known to match the screen: what the
    // screen goes on showing where new items wait.
    QPixmap m_composed;
    View m_composedView;
    QRegion m_composedValid;
    enum class PaintState
    {
        Background, // the view painted only its background (it found no items)
        Composed,   // in the copy, then on the screen
        Otherwise   // straight on the screen
    };
    PaintState m_paintState = PaintState::Background;
    QVector<Pending> m_pending;
    QTimer m_pendingTimer;
    int m_nSliceMs = SliceMs;
    int m_nJoinMs = JoinMs;
    bool m_bSettling = false;
    bool m_bStandingIn = false;
    bool m_bPicturesChanged = false;
};

#endif // INKLAYER_H
