#ifndef INKLAYER_H
#define INKLAYER_H

#include "pages/InkRaster.h"

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
// is painted again. When only the scale changed (a pinch), the old raster stands in, scaled,
// while the new one is painted a slice at a time between events.
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

    // repaint asks for the viewport to be painted again; the widget handed to the items' paint
    // is a hidden child of the viewport.
    InkLayer(DisplayPage *scene, PaintBackground background, std::function<void()> repaint,
             QWidget *viewport);
    ~InkLayer();
    InkLayer(const InkLayer &) = delete;
    InkLayer &operator=(const InkLayer &) = delete;

    // Paints the region of the viewport (the painter maps the scene onto it) from the raster,
    // for the items found there (bottom first), and over it, through paintOver, those it does
    // not hold. Null items are skipped.
    void paint(QPainter *painter, const QRegion &region, const View &view,
               QGraphicsItem *const items[], int count, const PaintOver &paintOver);

    // Everything is painted again at the next paint (a page shown afresh, cleared).
    void invalidate();
    // Pictures decoded since they were painted: their areas are painted again.
    void picturesChanged();
    // While the scale is still changing the raster is not painted again: the old one stands
    // in. At the end the canvas repaints, and the new raster is made.
    void setSettling(bool settling);
    // Another time than SliceMs; 0 makes every slice paint one item.
    void setSliceMs(int ms);

    bool isBuilding() const { return m_build.active; }
    // The last paint showed the old raster, scaled, for want of one at the present scale.
    bool isStandingIn() const { return m_bStandingIn; }

private:
    using Member = InkRaster::Member;
    struct Changes
    {
        QVector<int> over;     // found items painted over the raster
        QVector<Member> onTop; // new items to paint on top of it
        QRegion damage;        // of the raster, to paint again
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

    // Handed to the items' paint: they paint as for a screen (pictures decoded on a worker).
    std::unique_ptr<QWidget> m_widget;
    InkRaster::Source m_source;
    std::function<void()> m_repaint;
    InkRaster m_front;
    Build m_build;
    QTimer m_buildTimer;
    int m_nSliceMs = SliceMs;
    bool m_bSettling = false;
    bool m_bStandingIn = false;
    bool m_bPicturesChanged = false;
};

#endif // INKLAYER_H
