#ifndef SETTINGS_H
#define SETTINGS_H

#include <QFileInfo>
#include <QObject>
#include <QString>

// Process-wide store of the data folders, the language choice and the run-time mode.
class Settings : public QObject
{
    Q_OBJECT
public:
    static Settings *instance();

    QString dataRoot();
    QString localBookDir();
    QString tempBooksDir();
    QString tempNotesDir();
    QString savePdfDir();
    QString languageDir() const;

    QString defaultLanguageFile() const;
    QString readLanguageFile();
    void writeLanguageFile(const QString &name, const QString &file);

    void removeDir(const QFileInfo &given);

    int m_nMode = 3; // 0 e-book, 1 e-note, 2 browser, 3 none
    bool m_bReconnecting = false;
    QString m_strSavePdfPath;

private:
    Settings();
    QString folder(const QString &subPath);
};

#endif // SETTINGS_H
