#ifndef ERASERTOOL_H
#define ERASERTOOL_H

#include "pages/StrokeTool.h"

// Paints a wide white stroke over what lies beneath; it removes nothing.
class EraserTool : public StrokeTool
{
    Q_OBJECT
public:
    explicit EraserTool(QObject *parent = nullptr);

protected:
    QColor inkColor() const override { return QColor(Qt::white); }
    qreal inkWidth() const override { return 64.0; }
};

#endif // ERASERTOOL_H
