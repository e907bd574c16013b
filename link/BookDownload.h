#ifndef BOOKDOWNLOAD_H
#define BOOKDOWNLOAD_H

#include <QByteArray>
#include <QString>

#include <memory>

class QSaveFile;

// A book arriving from the class server: written to a temporary file and renamed into
// place when the announced size has arrived, so a book is never left half written.
class BookDownload
{
public:
    enum Step
    {
        Failed,
        Partial,
        Complete
    };

    BookDownload();
    ~BookDownload();

    bool open(const QString &path, qint64 total);
    bool isOpen() const { return static_cast<bool>(m_file); }
    // Takes at most the bytes still missing; *used tells how many of data were taken.
    Step write(const QByteArray &data, qint64 *used);
    // Drops the temporary file; the book of that name stays as it was.
    void cancel();

    qint64 total() const { return m_nTotal; }
    qint64 received() const { return m_nReceived; }

private:
    std::unique_ptr<QSaveFile> m_file;
    qint64 m_nTotal = 0;
    qint64 m_nReceived = 0;
};

#endif // BOOKDOWNLOAD_H
