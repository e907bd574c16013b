#ifndef LOCKWIDGET_H
#define LOCKWIDGET_H

#include <QString>
#include <QTimer>
#include <QWidget>

class StayOnTopGuard;

// Black view with a white message over every screen: the teacher's lock screen (steady) or a
// warning (blinking, closing itself after six one-second ticks). The steady view, once shown,
// stays above the program's other windows (warnings excepted: they show over it) and cannot
// be closed until it is hidden again.
class LockWidget : public QWidget
{
    Q_OBJECT
public:
    static const int BlinkTicks = 6;
    static const int BlinkInterval = 1000;

    LockWidget(const QString &text, bool blink, QWidget *parent = nullptr);

    QString message() const { return m_strMessage; }
    void setMessage(const QString &text);
    bool isBlinking() const { return m_bBlinking; }
    bool isTextShown() const { return m_bShowText; }
    int countdown() const { return m_nCountdown; }
    const QTimer &blinkTimer() const { return m_BlinkTimer; }

    // True while the steady lock screen is up.
    bool isLocked() const;

    // Shown over the whole of every screen, full-screen request or not.
    void setVisible(bool visible) override;

public slots:
    void onTimer();

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_strMessage;
    bool m_bShowText = true;
    bool m_bBlinking;
    int m_nCountdown = 0;
    QTimer m_BlinkTimer;
    StayOnTopGuard *m_guard;
};

#endif // LOCKWIDGET_H
