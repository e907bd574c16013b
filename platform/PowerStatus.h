#ifndef POWERSTATUS_H
#define POWERSTATUS_H

#include <QString>

// Battery charge of this machine, as a percentage 0..100, or 255 when unknown.
class PowerStatus
{
public:
    static int batteryPercent();

    // Linux: the folder that lists the power supplies (tests point it elsewhere).
    static void setSupplyRoot(const QString &path);
    static QString supplyRoot();
};

#endif // POWERSTATUS_H
