#ifndef BOOKDOWNLOAD_H
#define BOOKDOWNLOAD_H

#include <QByteArray>
#include <QString>

#include <memory>

class QSaveFile;

// A book arriving from the class server, written aside in a temporary file beside the book.
// It takes the book's place only when the announced size has arrived and the bytes look
// like a PDF file; otherwise the book of that name stays as it was.
class BookDownload
{
public:
    enum Step
    {
        Failed,   // the file could not be written
        NotABook, // all bytes came, and they are no PDF file
        Partial,
        Complete
    };

    // Where a PDF file's end-of-file marker must lie, counted from its end.
    static constexpr int EndMarkerWindow = 1024;

    BookDownload();
    ~BookDownload();

    bool open(const QString &path, qint64 total);
    bool isOpen() const { return static_cast<bool>(m_file); }
    // Takes at most the bytes still missing.
    Step write(const QByteArray &data);
    // Drops the temporary file; the book of that name stays as it was.
    void cancel();

    qint64 total() const { return m_nTotal; }
    qint64 received() const { return m_nReceived; }

    // "%PDF-" at the start and "%%EOF" within the last EndMarkerWindow bytes.
    static bool looksLikePdf(const QByteArray &head, const QByteArray &end);

private:
    std::unique_ptr<QSaveFile> m_file;
    qint64 m_nTotal = 0;
    qint64 m_nReceived = 0;
    QByteArray m_baHead; // the first bytes written
    QByteArray m_baEnd;  // the last EndMarkerWindow bytes written
};

#endif // BOOKDOWNLOAD_H
