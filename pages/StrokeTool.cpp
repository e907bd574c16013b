#include "pages/StrokeTool.h"

#include "link/TcpManager.h"
#include "pages/ItemText.h"
#include "pages/PageTarget.h"
#include "pages/PolylineItem.h"
#include "pages/StrokePath.h"

#include <QGraphicsScene>

StrokeTool::StrokeTool(QObject *parent) : TaskTool(parent) {}

StrokeTool::~StrokeTool() = default;

bool StrokeTool::press(const QPointF &point)
{
    if (!m_scene)
        return false;
    removeSegments();
    m_points.clear();
    m_split = std::make_unique<StrokePath>(PolylineItem::drawWidth(int(inkWidth())),
                                           StrokePath::Overflow::Split);
    addPoint(point);
    m_bPressed = true;
    m_startPoint = point;
    m_currPoint = point;
    return true;
}

bool StrokeTool::move(const QPointF &point)
{
    if (!m_bPressed)
        return false;
    m_currPoint = point;
    addPoint(point);
    if (m_live) {
        m_live->addPoint(m_points.last()); // on its scene, or lifted off it for a while
        return true;
    }
    if (!m_scene)
        return true; // the scene went away mid-stroke
    m_live = new LiveSegment(inkColor(), PolylineItem::drawWidth(int(inkWidth())));
    for (const QPointF &stored : qAsConst(m_points))
        m_live->addPoint(stored);
    m_scene->addItem(m_live);
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
        addPoint(point + QPointF(1.0, 1.0));
    finishStroke();
    return true;
}

// Points are kept as their text gives them back, so that the ink drawn is the ink read.
void StrokeTool::addPoint(const QPointF &point)
{
    m_points.append(
        QPointF(ItemText::storedCoordinate(point.x()), ItemText::storedCoordinate(point.y())));
    if (!m_split)
        return;
    m_split->add(m_points.last());
    for (int size : m_split->takeEnded()) {
        m_pieces.emplace_back(makePiece(m_points.mid(m_nPieceStart, size)));
        m_nPieceStart += size - 1;
    }
}

// A piece with its outline made, ready to paint.
PolylineItem *StrokeTool::makePiece(const QList<QPointF> &points) const
{
    auto *item = new PolylineItem;
    item->m_color = inkColor();
    item->m_nWidth = int(inkWidth());
    QList<QPointF> thinned = points;
    item->setPoints(thinned);
    item->shape();
    return item;
}

// The pieces go on the page and, while sharing is on, to the teacher.
void StrokeTool::finishStroke()
{
    m_pieces.emplace_back(makePiece(m_points.mid(m_nPieceStart)));
    std::vector<std::unique_ptr<PolylineItem>> pieces;
    pieces.swap(m_pieces);
    removeSegments();
    m_points.clear();
    for (std::unique_ptr<PolylineItem> &piece : pieces) {
        PolylineItem *item = piece.release();
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
    m_live = nullptr;
}

void StrokeTool::liftSegments()
{
    if (m_live && m_live->scene())
        m_live->scene()->removeItem(m_live.data());
}

void StrokeTool::landSegments()
{
    if (m_live && m_scene && !m_live->scene())
        m_scene->addItem(m_live.data());
}

void StrokeTool::removeSegments()
{
    delete m_live.data(); // leaves its scene on deletion
    m_live = nullptr;
    m_split.reset();
    m_pieces.clear();
    m_nPieceStart = 0;
}
