#ifndef ONSCREENKEYBOARD_H
#define ONSCREENKEYBOARD_H

#include <QString>
#include <functional>

// Starts the on-screen keyboard program for text entry. A failure is a debug line.
class OnScreenKeyboard
{
public:
    using Launcher = std::function<bool(const QString &program)>;

    // The calls that start the system's keyboard on Windows: file-system redirection off,
    // "osk.exe" opened, redirection back on. Kept apart so the order can be checked anywhere.
    struct SystemCalls
    {
        std::function<bool(void **previous)> disableRedirection;
        std::function<bool(void *previous)> revertRedirection; // empty when not found
        std::function<bool(int showMode)> openKeyboard;
    };
    static constexpr int ShowMode = 5; // SW_SHOW

    static bool start();
    // Redirection is turned back on only when turning it off succeeded; one attempt only.
    static bool startSystemKeyboard(const SystemCalls &calls);

    // Replaces the detached process start (tests); an empty function restores it.
    static void setLauncher(const Launcher &launcher);
    // The programs tried in order on this platform.
    static QStringList candidates();
};

#endif // ONSCREENKEYBOARD_H
