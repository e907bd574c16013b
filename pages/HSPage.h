#ifndef HSPAGE_H
#define HSPAGE_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>

// In-memory record of one page: size, Base64 PNG background, item texts, vote text
// and the e-note sync flag. Saved and read whole as one page file.
class HSPage : public QObject
{
    Q_OBJECT
public:
    HSPage();
    HSPage(const HSPage &other);
    HSPage &operator=(const HSPage &other);
    ~HSPage() override;

    void setSize(int width, int height);
    void setInit(bool init);
    void setPixmap(const QPixmap &pixmap);
    void clearImage();
    void appendItem(const QString &item);
    void clearItems();

    // Writes the page file through QSaveFile; false when it could not be written.
    bool save(const QString &path) const;
    // Reads a page file; on failure the record holds its start values and what was
    // read completely, and false is returned.
    bool read(const QString &path);
    // Turns the background a quarter turn clockwise; an undecodable picture leaves
    // the record unchanged.
    void rotate();

    bool operator==(const HSPage &other) const;
    bool operator!=(const HSPage &other) const { return !(*this == other); }

    bool m_bInit = false;
    QSize m_size{-1, -1};
    QString m_strVote;
    QByteArray m_baImage;
    QList<QString> m_listItems;

private:
    void resetFields();
};

#endif // HSPAGE_H
