#ifndef LOGINWIDGET_H
#define LOGINWIDGET_H

#include "screens/WaitingDialog.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class LineEdit;
class QComboBox;
class QPushButton;
class QTimer;
class SettingWidget;
class ToolbarButton;

// Page 0 of the main window: the student's name, password and teacher, the first connection
// to the class server, login and logout, and the re-join of the last teacher.
class LoginWidget : public QWidget
{
    Q_OBJECT
public:
    // The name that copies the built-in sample book instead of logging in.
    static const char *const SampleName;
    // How long the waiting indicator waits for the server's answer to a login.
    static constexpr int LoginAnswerTimeoutMs = 15000;
    // Teacher entries shown at most from one list.
    static constexpr int MaxTeachers = 500;

    explicit LoginWidget(QWidget *parent);
    ~LoginWidget() override;

    QString teacherName() const { return m_strTeacher; }
    void setLoginState(bool loggedIn);
    bool isLoggedIn() const { return m_bLogin; }
    void saveToInipath(const QString &name);

    SettingWidget *settingWidget() const { return m_SettingWidget; }
    WaitingDialog *waitingDialog() { return &m_WaitingDialog; }

signals:
    void jumpLocalbook();
    // The student logged out while the last teacher was being joined again.
    void reconnectStopped();

public slots:
    void onconnectServerResult(bool ok);
    void onUpdateTeacherList(QStringList teachers);
    void onLoginResult(bool ok);
    void onTeacherIpResult(QString reply);
    void onOk();
    void onBtnSetting();
    void onReloadSettings();
    void onLoginFail();

private:
    void buildPanel();
    void runLogin();
    void askLogout();
    void copySampleBook();
    void showWaiting();
    void loginFinished();
    void onLoginTimeout();
    static void callScreen(QWidget *screen, const char *method);

    LineEdit *m_NameEdit = nullptr;
    LineEdit *m_PasswordEdit = nullptr;
    QComboBox *m_TeacherCombo = nullptr;
    QString m_strTeacher;
    SettingWidget *m_SettingWidget = nullptr;
    WaitingDialog m_WaitingDialog;
    QPushButton *m_btnLogin = nullptr;
    bool m_bLogin = false;
    // A login was sent and its answer has not come yet; the student waits for it when the
    // indicator is up.
    bool m_bLoginPending = false;
    bool m_bStudentWaiting = false;
    QTimer *m_LoginTimer = nullptr;
    QWidget *m_Panel = nullptr;
    ToolbarButton *m_btnSetting = nullptr;
};

#endif // LOGINWIDGET_H
