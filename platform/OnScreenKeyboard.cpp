#include "platform/OnScreenKeyboard.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#ifdef Q_OS_WIN
// windows.h first: shellapi.h needs its types.
#include <windows.h>

#include <shellapi.h>
#endif

namespace {
OnScreenKeyboard::Launcher &launcher()
{
    static OnScreenKeyboard::Launcher s_launcher;
    return s_launcher;
}

bool launch(const QString &program)
{
    if (launcher())
        return launcher()(program);
    return QProcess::startDetached(program, QStringList());
}

QString ownFolderKeyboard()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/osk.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/osk");
#endif
}
} // namespace

void OnScreenKeyboard::setLauncher(const Launcher &l)
{
    launcher() = l;
}

QStringList OnScreenKeyboard::candidates()
{
    QStringList list;
#ifndef Q_OS_WIN
    for (const char *name : {"onboard", "florence", "matchbox-keyboard", "squeekboard"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            list << path;
    }
#endif
    list << ownFolderKeyboard();
    return list;
}

bool OnScreenKeyboard::startSystemKeyboard(const SystemCalls &calls)
{
    void *previous = nullptr;
    const bool disabled = calls.disableRedirection(&previous);
    const bool started = calls.openKeyboard(ShowMode);
    if (disabled && calls.revertRedirection)
        calls.revertRedirection(previous);
    return started;
}

bool OnScreenKeyboard::start()
{
#ifdef Q_OS_WIN
    // The system keyboard, with file-system redirection off for 32-bit builds on 64-bit Windows.
    typedef BOOL(WINAPI * DisableFn)(PVOID *);
    typedef BOOL(WINAPI * RevertFn)(PVOID);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    DisableFn disable =
        kernel
            ? reinterpret_cast<DisableFn>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection"))
            : nullptr;
    if (kernel && disable && !launcher()) {
        RevertFn revert =
            reinterpret_cast<RevertFn>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection"));
        SystemCalls calls;
        calls.disableRedirection = [disable](void **previous) { return disable(previous) != 0; };
        if (revert)
            calls.revertRedirection = [revert](void *previous) { return revert(previous) != 0; };
        calls.openKeyboard = [](int showMode) {
            const HINSTANCE result =
                ShellExecuteW(nullptr, L"open", L"osk.exe", L"", L"", showMode);
            return reinterpret_cast<INT_PTR>(result) > 32;
        };
        return startSystemKeyboard(calls);
    }
#endif
    const QStringList programs = candidates();
    for (const QString &program : programs) {
        if (program == ownFolderKeyboard() && !QFileInfo(program).isExecutable() && !launcher())
            continue;
        if (launch(program))
            return true;
        qDebug() << "OnScreenKeyboard: cannot start" << program;
    }
    qDebug() << "OnScreenKeyboard: no on-screen keyboard could be started";
    return false;
}
