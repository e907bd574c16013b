#ifndef POLYLINETOOL_H
#define POLYLINETOOL_H

#include "pages/StrokeTool.h"

// The pen: a stroke in the chosen colour and width.
class PolyLineTool : public StrokeTool
{
    Q_OBJECT
public:
    explicit PolyLineTool(QObject *parent = nullptr);

    bool release(const QPointF &point) override;
};

#endif // POLYLINETOOL_H
