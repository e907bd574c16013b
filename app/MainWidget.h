#ifndef MAINWIDGET_H
#define MAINWIDGET_H

#include "screens/LockWidget.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <functional>

class ChatWidget;
class DisplayWidget;
class ENoteWidget;
class LocalBooksWidget;
class LoginWidget;
class QLabel;
class QStackedWidget;
class SavePdfDialog;
class ToolbarButton;
class VoteWidget;
class eBrowserWidget;
class serverbooswidget;

// The full-screen main window: a toolbar row above the stack of screens. It routes every
// teacher command to the screen it names (or the screen of the current mode) and runs the
// toolbar's actions and the battery and reconnect timers. Construction, layout and the
// toolbar are in MainWidget.cpp, teacher commands in MainWidgetCommands.cpp, toolbar actions
// and timers in MainWidgetToolbar.cpp.
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    // A student raises a hand at most once in this time.
    static constexpr int HandsUpLockout = 30000;

    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    // Screen stack pages.
    enum Page
    {
        LoginPage = 0,
        LocalBooksPage,
        ServerBooksPage,
        EBookPage,
        ENotePage
    };

    QStackedWidget *stack() const { return m_StackedWidget; }
    QLabel *statusLabel() const { return m_StatusLabel; }
    QLabel *shareLabel() const { return m_ShareLabel; }
    LoginWidget *loginWidget() const { return m_LoginWidget; }
    LocalBooksWidget *localBooksWidget() const { return m_LocalBooksWidget; }
    serverbooswidget *serverBooksWidget() const { return m_ServerBooksWidget; }
    DisplayWidget *displayWidget() const { return m_DisplayWidget; }
    ENoteWidget *eNoteWidget() const { return m_ENoteWidget; }
    ChatWidget *chatWidget() const { return m_ChatWidget; }
    LockWidget *lockWidget() const { return m_LockWidget; }
    LockWidget *warningWidget() const { return m_WarningWidget; }
    VoteWidget *voteWidget() const { return m_VoteWidget; }
    eBrowserWidget *browserWidget() const { return m_BrowserWidget; }
    SavePdfDialog *savePdfDialog() const { return m_SavePdfDialog; }
    ToolbarButton *colorButton() const { return m_btnColor; }
    const QTimer &reconnectTimer() const { return m_ReconnectTimer; }
    bool browserUp() const;

    // Test seam: the monotonic clock (ms) of the hands-up lockout.
    void setClock(std::function<qint64()> clock);

signals:
    void goToSignal(QVariant);
    void changeBrowserSizeSignal(QVariant, QVariant);

public slots:
    void onBtnLogin();
    void onBtnArrow();
    void onBtnMarker();
    void onBtnHighlighter();
    void onBtnClearAll();
    void onBtnColor();
    void onBtnTextEdit();
    void onBtnEraser();
    void onBtnHansdsUp();
    void onBtnServerBooks();
    void onbtnLocalBooks();
    void onBtnBrowser();
    void onBtnRotate();
    void onLoginTeacherResult(bool ok);
    void onTeacherStatusResult(QString status);
    void onTeacherBookResult(QStringList fields);
    void onTeacherENoteResult(QStringList fields);
    void onLineData(QString data);
    void onMoveImageData(QString data);
    void onBrowserCommand(QString data);
    void onReceWarnning(QString text);
    void onReceLock(QString data);
    void onReceVote(QString data);
    void onShareVote(QString data);
    void onChatting(QString text);
    void onCanHandsUp();
    void onLineSyncEnd(QString target);
    void onReceAddpage(QStringList fields);
    void onReceClearPage(QString data);
    void onReceRotateCmd(QString data);
    void onReceShareMode(int mode);
    void onGetPreview();
    void onAppsTimer();
    void onBattleryTimer();
    void onTeacherReconnect();
    void tryReconnect();
    void onSwitchEBook();
    void onChangeServerStatus(bool on);
    void onShowQuick();
    void onBtnSave();
    void onTeacherKick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildToolbar(QWidget *toolbar);
    void buildScreens();
    void connectSignals();
    void installPageHooks();
    void setLabelSvg(QLabel *label, const QString &path);
    // A picture of the built-in resources.
    static QString res(const char *name);
    void showBrowser();
    void hideBrowser();
    void centreOverWindow(QWidget *view);
    void showOffline();
    void attachToolScene();
    int currentMode() const;
    qint64 now() const;

    QStackedWidget *m_StackedWidget = nullptr;
    LoginWidget *m_LoginWidget = nullptr;
    LocalBooksWidget *m_LocalBooksWidget = nullptr;
    serverbooswidget *m_ServerBooksWidget = nullptr;
    DisplayWidget *m_DisplayWidget = nullptr;
    ENoteWidget *m_ENoteWidget = nullptr;
    eBrowserWidget *m_BrowserWidget = nullptr;
    QLabel *m_ShareLabel = nullptr;
    QLabel *m_StatusLabel = nullptr;
    ChatWidget *m_ChatWidget = nullptr;
    LockWidget *m_LockWidget = nullptr;
    VoteWidget *m_VoteWidget = nullptr;
    QPointer<LockWidget> m_WarningWidget;
    SavePdfDialog *m_SavePdfDialog = nullptr;
    ToolbarButton *m_btnLogin = nullptr;
    ToolbarButton *m_btnArrow = nullptr;
    ToolbarButton *m_btnMarker = nullptr;
    ToolbarButton *m_btnHighlighter = nullptr;
    ToolbarButton *m_btnColor = nullptr;
    ToolbarButton *m_btnTextEdit = nullptr;
    ToolbarButton *m_btnEraser = nullptr;
    ToolbarButton *m_btnClearAll = nullptr;
    ToolbarButton *m_btnRotate = nullptr;
    ToolbarButton *m_btnSave = nullptr;
    ToolbarButton *m_btnLocalBooks = nullptr;
    ToolbarButton *m_btnServerBooks = nullptr;
    ToolbarButton *m_btnHandsUp = nullptr;
    ToolbarButton *m_btnBrowser = nullptr;
    bool m_bCanHandsUp = true;
    qint64 m_nHandsUpTime = 0;
    QTimer m_AppsTimer;
    QString m_strApp;
    QTimer m_BatteryTimer;
    QTimer m_ReconnectTimer;
    int m_nLastBattery = -1;
    std::function<qint64()> m_clock;
};

#endif // MAINWIDGET_H
