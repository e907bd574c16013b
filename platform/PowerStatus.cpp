#include "platform/PowerStatus.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
QString &rootPath()
{
    static QString s_root = QStringLiteral("/sys/class/power_supply");
    return s_root;
}

// Reads a small attribute file of a power supply; empty when missing.
QByteArray readAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(64).trimmed();
}
} // namespace

void PowerStatus::setSupplyRoot(const QString &path)
{
    rootPath() = path;
}
QString PowerStatus::supplyRoot()
{
    return rootPath();
}

int PowerStatus::batteryPercent()
{
#ifdef Q_OS_WIN
    SYSTEM_POWER_STATUS status;
    if (!GetSystemPowerStatus(&status))
        return 255;
    return status.BatteryLifePercent;
#else
    const QDir root(rootPath());
    const QStringList supplies =
        root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    int sum = 0;
    int count = 0;
    for (const QString &name : supplies) {
        const QString base = root.filePath(name) + QLatin1Char('/');
        if (readAttribute(base + QStringLiteral("type")) != "Battery")
            continue;
        bool ok = false;
        const int capacity = readAttribute(base + QStringLiteral("capacity")).toInt(&ok);
        if (!ok || capacity < 0 || capacity > 100) {
            qDebug() << "PowerStatus: no capacity for" << name;
            continue;
        }
        sum += capacity;
        ++count;
    }
    return count == 0 ? 255 : sum / count;
#endif
}
