#include "link/ServerSettings.h"

#include "link/Settings.h"

#include <QDebug>
#include <QFile>
#include <QSettings>

const char *const ServerSettings::DefaultIp = "127.0.0.1";
const char *const ServerSettings::DefaultPort = "5502";

void ServerSettings::read(QString *ip, QString *port)
{
    const QString path = Settings::instance()->dataRoot() + QStringLiteral("setting.ini");
    qDebug() << "initIpandPort inipath=" << path;
    if (!QFile::exists(path)) {
        qDebug() << "initIpandPort inipath not exist";
        QSettings ini(path, QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("init"));
        ini.setValue(QStringLiteral("Ip"), QString::fromLatin1(DefaultIp));
        ini.setValue(QStringLiteral("Port"), QString::fromLatin1(DefaultPort));
        ini.endGroup();
        ini.sync();
    }
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("init"));
    *ip = ini.value(QStringLiteral("Ip"), QString::fromLatin1(DefaultIp)).toString();
    *port = ini.value(QStringLiteral("Port"), QString::fromLatin1(DefaultPort)).toString();
    ini.endGroup();
    qDebug() << "initIpandPort strIp = " << *ip << " strPort=" << *port;
}

QString ServerSettings::validPort(const QString &port)
{
    bool ok = false;
    const int value = port.toInt(&ok);
    return ok && value >= 1 && value <= 65535 ? port : QString::fromLatin1(DefaultPort);
}
