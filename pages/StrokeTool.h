#ifndef STROKETOOL_H
#define STROKETOOL_H

#include "pages/LiveSegment.h"
#include "pages/TaskTool.h"

#include <QPen>

class PolylineItem;

// Common ink of the pen, highlighter and eraser: live segments while the finger moves,
// one smoothed stroke item on release, sent to the teacher while sharing is on.
class StrokeTool : public TaskTool
{
    Q_OBJECT
public:
    explicit StrokeTool(QObject *parent = nullptr);
    ~StrokeTool() override;

    bool press(const QPointF &point) override;
    bool move(const QPointF &point) override;
    bool release(const QPointF &point) override;

    // Drops the live segments without deleting them: their scene is about to.
    void forgetSegments();
    // Takes the live segments off the scene, keeping them, and puts them back on the tool's
    // scene: the stroke survives its scene being emptied and filled again.
    void liftSegments();
    void landSegments();
    int segmentCount() const { return m_segments.size(); }

protected:
    virtual QColor inkColor() const { return m_color; }
    virtual qreal inkWidth() const { return m_nWidth; }

private:
    void finishStroke();
    void removeSegments();

    QList<QPointer<LiveSegment>> m_segments;
};

#endif // STROKETOOL_H
