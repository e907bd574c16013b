#ifndef LIVESEGMENT_H
#define LIVESEGMENT_H

#include <QGraphicsLineItem>
#include <QObject>

// A short line of a stroke in progress. Being a QObject, a tool can hold it through a
// QPointer and notices when the scene has deleted it.
class LiveSegment : public QObject, public QGraphicsLineItem
{
    Q_OBJECT
public:
    LiveSegment() = default;
};

#endif // LIVESEGMENT_H
