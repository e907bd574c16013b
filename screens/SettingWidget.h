#ifndef SETTINGWIDGET_H
#define SETTINGWIDGET_H

#include <QStringList>
#include <QWidget>

class LineEdit;
class QComboBox;

// Frameless panel over the login screen: class-server address and port ("setting.ini") and the
// language of the next start ("lang.cfg").
class SettingWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SettingWidget(QWidget *parent);
    ~SettingWidget() override;

    void loadSetting();
    void saveSetting();
    void loadLanguages();

    int languageIndex() const { return m_nLangIndex; }

    // A host address or host name, after trimming; false for anything else.
    static bool isValidAddress(const QString &text);
    // A decimal port in 1..65535, after trimming.
    static bool isValidPort(const QString &text);

signals:
    void reloadSettings();

public slots:
    void onOK();

private:
    bool takeFields();

    LineEdit *m_IpEdit = nullptr;
    LineEdit *m_PortEdit = nullptr;
    QComboBox *m_LangCombo = nullptr;
    int m_nLangIndex = -1;
    QStringList m_LangFiles;
};

#endif // SETTINGWIDGET_H
