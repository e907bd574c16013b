#include "pages/TaskTool.h"

#include <QGraphicsScene>

TaskTool::TaskTool(QObject *parent) : QObject(parent) {}

TaskTool::~TaskTool() = default;

void TaskTool::setWidth(int width)
{
    m_nWidth = width;
}

void TaskTool::setColor(const QColor &color)
{
    m_color = color;
}

void TaskTool::abandon()
{
    m_bPressed = false;
    m_points.clear();
}
