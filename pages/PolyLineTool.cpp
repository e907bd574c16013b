#include "pages/PolyLineTool.h"

#include <QDebug>

PolyLineTool::PolyLineTool(QObject *parent) : StrokeTool(parent) {}

bool PolyLineTool::release(const QPointF &point)
{
    qDebug() << "relsease mouse " << m_bPressed << m_scene.data();
    return StrokeTool::release(point);
}
