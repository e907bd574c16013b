#ifndef STAYONTOPGUARD_H
#define STAYONTOPGUARD_H

#include <QObject>

class QWidget;

// While active, keeps a window over the whole of every screen and above the program's other
// windows: it is raised again whenever another window of the program comes up or is activated,
// and made to fit again when screens come, go or change size.
class StayOnTopGuard : public QObject
{
    Q_OBJECT
public:
    explicit StayOnTopGuard(QWidget *window);
    ~StayOnTopGuard() override;

    void setActive(bool active);
    bool isActive() const { return m_bActive; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onScreensChanged();
    void onRaise();

private:
    void watchScreens();

    QWidget *m_window;
    bool m_bActive = false;
    bool m_bRaisePending = false;
    bool m_bActivatePending = false;
};

#endif // STAYONTOPGUARD_H
