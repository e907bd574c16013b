#include "pages/HighlighterTool.h"

HighlighterTool::HighlighterTool(QObject *parent) : PolyLineTool(parent) {}

void HighlighterTool::setWidth(int width)
{
    m_nWidth = width * 3;
}

void HighlighterTool::setColor(const QColor &color)
{
    m_color = color;
    m_color.setAlpha(180);
}
