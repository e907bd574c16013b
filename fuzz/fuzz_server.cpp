// Class-server answers: a read cut into answers, the answer reader with its test for a book
// list cut short, the download answer, the local book name and the book list.
#include "link/BookName.h"
#include "link/DownloadAnswer.h"
#include "link/ServerAnswer.h"
#include "screens/BookListAnswer.h"

#include <QFileInfo>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString folder = QStringLiteral("/nonexistent/Corvane/localBook/");

    // A read cut into answers: nothing lost or added, each piece after the first starts with
    // an answer word, and no more pieces than the limit.
    const QList<QByteArray> pieces = ServerAnswer::split(bytes);
    if (pieces.size() > ServerAnswer::MaxAnswersPerRead || pieces.join() != bytes)
        abort();
    for (int i = 1; i < pieces.size(); ++i) {
        if (ServerAnswer::parse(pieces.at(i)).kind == ServerAnswer::Unknown &&
            pieces.at(i).size() <= ServerAnswer::MaxSize)
            abort();
    }

    // The raw bytes as one answer, and as a decoded download argument.
    const ServerAnswer answer = ServerAnswer::parse(bytes);
    if (ServerAnswer::isContinuation(bytes) && bytes.contains('@'))
        abort();
    if (!answer.isWhole() && answer.kind != ServerAnswer::Book)
        abort();
    const QString texts[] = {answer.text, QString::fromUtf8(bytes)};
    for (const QString &text : texts) {
        const DownloadAnswer download = DownloadAnswer::parse(text);
        if (download.kind == DownloadAnswer::Offer &&
            (download.size < 1 || download.size > DownloadAnswer::MaxSize))
            abort();
        const QString local = BookName::localPath(folder, download.path);
        if (!local.isEmpty() && QFileInfo(local).absolutePath() + QLatin1Char('/') != folder)
            abort();
        const BookListAnswer books = BookListAnswer::parse(text);
        if (books.ok && (books.folder.contains(QLatin1Char('#')) ||
                         books.names.size() > BookListAnswer::MaxBooks))
            abort();
        for (const QString &name : books.names) {
            if (name.isEmpty() || name.size() > BookListAnswer::MaxNameLength ||
                name.contains(QLatin1Char(',')) || name.contains(QLatin1Char('#')))
                abort();
        }
    }
    return 0;
}
