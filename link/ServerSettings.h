#ifndef SERVERSETTINGS_H
#define SERVERSETTINGS_H

#include <QString>

// The class-server address in "setting.ini" (group "init", keys "Ip" and "Port").
class ServerSettings
{
public:
    static const char *const DefaultIp;
    static const char *const DefaultPort;

    // Reads both keys, writing the defaults first when the file is missing.
    static void read(QString *ip, QString *port);
    // The port when it is a number in 1..65535, else the default port.
    static QString validPort(const QString &port);
};

#endif // SERVERSETTINGS_H
