#ifndef STAYONTOPGUARD_H
#define STAYONTOPGUARD_H

#include <QObject>

#include <functional>

class QWidget;

// While active, keeps a window over the whole of every screen and above the program's other
// windows: it is raised again whenever another window of the program comes up, is raised or is
// activated, and made to fit again when screens come, go or change size. Windows the owner lets
// above it stay above it while they are shown; when one goes, the guarded window is on top again.
// Meanwhile only the guarded window and those above it take input: keys, mouse, touch, tablet,
// input-method, drag-and-drop and window-system close events meant for any other window of the
// program are dropped, also inside a modal dialog's own event loop.
class StayOnTopGuard : public QObject
{
    Q_OBJECT
public:
    using AllowAbove = std::function<bool(const QWidget *)>;

    explicit StayOnTopGuard(QWidget *window, AllowAbove allowAbove = AllowAbove());
    ~StayOnTopGuard() override;

    void setActive(bool active);
    bool isActive() const { return m_bActive; }
    // Raises the guarded window, then the shown windows allowed above it.
    void raiseWindow(bool activate);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onScreensChanged();
    void onRaise();

private:
    void watchScreens();
    static const QWidget *programWindow(const QObject *watched);
    bool allowedAbove(const QWidget *window) const;
    // True when the receiver belongs to a window that takes input while the guard is active.
    bool takesInput(QObject *watched) const;

    QWidget *m_window;
    AllowAbove m_allowAbove;
    bool m_bActive = false;
    bool m_bRaisePending = false;
    bool m_bActivatePending = false;
};

#endif // STAYONTOPGUARD_H
