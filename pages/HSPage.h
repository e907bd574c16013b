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

    // Writes the page file through QSaveFile; false when it could not be written, or when
    // it would be larger than read() takes (the file then stays as it was).
    bool save(const QString &path) const;
    // Reads a page file; false when it cannot be opened, is too large, short or damaged,
    // and the record is then left as it was.
    bool read(const QString &path);
    // Turns the background a quarter turn clockwise; an undecodable picture leaves
    // the record unchanged.
    void rotate();

    // The bytes save() writes for this record.
    qint64 fileSize() const;

    bool operator==(const HSPage &other) const;
    bool operator!=(const HSPage &other) const { return !(*this == other); }

    bool m_bInit = false;
    QSize m_size{-1, -1};
    QString m_strVote;
    QByteArray m_baImage;
    QList<QString> m_listItems;
};

#endif // HSPAGE_H
