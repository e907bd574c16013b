#ifndef ONSCREENKEYBOARD_H
#define ONSCREENKEYBOARD_H

#include <QString>
#include <functional>

// Starts the on-screen keyboard program for text entry. A failure is a debug line.
class OnScreenKeyboard
{
public:
    using Launcher = std::function<bool(const QString &program)>;

    static bool start();

    // Replaces the detached process start (tests); an empty function restores it.
    static void setLauncher(const Launcher &launcher);
    // The programs tried in order on this platform.
    static QStringList candidates();
};

#endif // ONSCREENKEYBOARD_H
