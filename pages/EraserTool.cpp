#include "pages/EraserTool.h"

EraserTool::EraserTool(QObject *parent) : StrokeTool(parent) {}
