#ifndef MAINWIDGET_H
#define MAINWIDGET_H

#include <QTimer>
#include <QVariant>
#include <QWidget>

class LoginWidget;
class QLabel;
class QQuickWidget;
class QStackedWidget;
class ToolbarButton;
class SavePdfDialog;

// The full-screen main window: a toolbar row above the stack of screens.
class MainWidget : public QWidget
{
    Q_OBJECT
public:
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
    void onCanHandsUp();
    void onAppsTimer();
    void onBattleryTimer();
    void tryReconnect();
    void onSwitchEBook();
    void onChangeServerStatus(bool on);
    void onShowQuick();
    void onBtnSave();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildToolbar(QWidget *toolbar);
    void buildScreens();
    void connectSignals();
    void setLabelSvg(QLabel *label, const QString &path);

    QStackedWidget *m_StackedWidget = nullptr;
    LoginWidget *m_LoginWidget = nullptr;
    QWidget *m_LocalBooksWidget = nullptr;
    QWidget *m_ServerBooksWidget = nullptr;
    QWidget *m_DisplayWidget = nullptr;
    QWidget *m_ENoteWidget = nullptr;
    QQuickWidget *m_QuickWidget = nullptr;
    QWidget *m_BrowserWidget = nullptr;
    QLabel *m_ShareLabel = nullptr;
    QLabel *m_StatusLabel = nullptr;
    QWidget *m_ChatWidget = nullptr;
    QWidget *m_LockWidget = nullptr;
    QWidget *m_VoteWidget = nullptr;
    QWidget *m_WarningWidget = nullptr;
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
    QTimer m_AppsTimer;
    QString m_strApp;
    QTimer m_BatteryTimer;
    QTimer m_ReconnectTimer;
    int m_nLastBattery = -1;
};

#endif // MAINWIDGET_H
