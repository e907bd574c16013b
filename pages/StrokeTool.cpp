#include "pages/StrokeTool.h"

#include "link/TcpManager.h"
#include "pages/ItemText.h"
#include "pages/PageTarget.h"
#include "pages/PolylineItem.h"

#include <QDebug>
#include <QGraphicsScene>

StrokeTool::StrokeTool(QObject *parent) : TaskTool(parent) {}

StrokeTool::~StrokeTool() = default;

bool StrokeTool::press(const QPointF &point)
{
    if (!m_scene)
        return false;
    m_points.clear();
    m_points.append(point);
    m_bPressed = true;
    m_startPoint = point;
    m_currPoint = point;
    return true;
}

bool StrokeTool::move(const QPointF &point)
{
    if (!m_bPressed)
        return false;
    // A stroke holds no more points than reading one keeps: a longer one goes on as a new
    // stroke from where this one ends.
    if (m_points.size() >= ItemText::kMaxStrokePoints) {
        if (!m_scene)
            return true;
        const QPointF last = m_points.last();
        finishStroke();
        m_points.append(last);
    }
    auto *segment = new LiveSegment;
    m_segments.append(segment);
    segment->setLine(QLineF(QPointF(0, 0), point - m_currPoint));
    segment->setPos(m_currPoint);
    QPen pen(QBrush(inkColor(), Qt::SolidPattern), inkWidth());
    pen.setCapStyle(Qt::RoundCap);
    segment->setPen(pen);
    m_currPoint = point;
    m_points.append(point);
    if (m_scene)
        m_scene->addItem(segment);
    else
        delete segment; // the scene went away mid-stroke
    return true;
}

bool StrokeTool::release(const QPointF &point)
{
    if (!m_bPressed || !m_scene) {
        m_bPressed = false;
        removeSegments();
        return false;
    }
    m_bPressed = false;
    if (m_points.size() == 1)
        m_points.append(point + QPointF(1.0, 1.0));
    finishStroke();
    return true;
}

// The points so far become stroke items, sent to the teacher while sharing is on: one, or
// for a stroke too long to paint at once, pieces that each paint whole wherever they are read.
void StrokeTool::finishStroke()
{
    QPolygonF points;
    points.reserve(m_points.size());
    for (const QPointF &point : qAsConst(m_points))
        points << QPointF(ItemText::storedCoordinate(point.x()),
                          ItemText::storedCoordinate(point.y()));
    removeSegments();
    m_points.clear();
    const int width = int(inkWidth());
    for (const QPolygonF &piece : PolylineItem::wholePieces(points, width)) {
        auto *item = new PolylineItem;
        item->m_color = inkColor();
        item->m_nWidth = width;
        QList<QPointF> piecePoints = piece.toList();
        item->setPoints(piecePoints);
        m_scene->addItem(item);
        if (TcpManager::instance()->m_bShare) {
            const QString message = PageTarget::lineMessage(m_scene, item->toString());
            if (!message.isEmpty())
                TcpManager::instance()->sendTeacherData(message);
        }
    }
}

void StrokeTool::forgetSegments()
{
    m_segments.clear();
}

void StrokeTool::liftSegments()
{
    for (const QPointer<LiveSegment> &segment : qAsConst(m_segments)) {
        if (segment && segment->scene())
            segment->scene()->removeItem(segment.data());
    }
}

void StrokeTool::landSegments()
{
    for (const QPointer<LiveSegment> &segment : qAsConst(m_segments)) {
        if (segment && m_scene && !segment->scene())
            m_scene->addItem(segment.data());
    }
}

void StrokeTool::removeSegments()
{
    for (const QPointer<LiveSegment> &segment : qAsConst(m_segments)) {
        if (segment)
            delete segment.data(); // leaves its scene on deletion
    }
    m_segments.clear();
}
