#ifndef HIGHLIGHTERTOOL_H
#define HIGHLIGHTERTOOL_H

#include "pages/PolyLineTool.h"

// A pen with three times the width and a semi-transparent colour.
class HighlighterTool : public PolyLineTool
{
    Q_OBJECT
public:
    explicit HighlighterTool(QObject *parent = nullptr);

    void setWidth(int width) override;
    void setColor(const QColor &color) override;
};

#endif // HIGHLIGHTERTOOL_H
