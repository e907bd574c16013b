#ifndef STROKETOOL_H
#define STROKETOOL_H

#include "pages/LiveSegment.h"
#include "pages/TaskTool.h"

#include <memory>
#include <vector>

class PolylineItem;
class StrokePath;

// Common ink of the pen, highlighter and eraser: live ink while the finger moves (one
// LiveSegment), drawn as the stroke items it becomes on release, which are sent to the teacher
// while sharing is on. A stroke too long to paint at once becomes pieces that each paint whole;
// each is made as soon as it ends, and all go on the page on release.
class StrokeTool : public TaskTool
{
    Q_OBJECT
public:
    explicit StrokeTool(QObject *parent = nullptr);
    ~StrokeTool() override;

    bool press(const QPointF &point) override;
    bool move(const QPointF &point) override;
    bool release(const QPointF &point) override;

    // Drops the live ink without deleting it: its scene is about to.
    void forgetSegments();
    // Takes the live ink off the scene, keeping it, and puts it back on the tool's scene: the
    // stroke survives its scene being emptied and filled again.
    void liftSegments();
    void landSegments();

protected:
    virtual QColor inkColor() const { return m_color; }
    virtual qreal inkWidth() const { return m_nWidth; }

private:
    void addPoint(const QPointF &point);
    PolylineItem *makePiece(const QList<QPointF> &points) const;
    void finishStroke();
    void removeSegments();

    QPointer<LiveSegment> m_live;
    std::unique_ptr<StrokePath> m_split;
    // Pieces ended so far, not yet on the page, and where the next one starts in the points.
    std::vector<std::unique_ptr<PolylineItem>> m_pieces;
    int m_nPieceStart = 0;
};

#endif // STROKETOOL_H
