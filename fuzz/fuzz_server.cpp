// Class-server answers: the answer stream read whole and in pieces, the download answer, the
// local book name and the book list.
#include "link/BookName.h"
#include "link/DownloadAnswer.h"
#include "link/ServerStream.h"
#include "screens/BookListAnswer.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
// Every answer the stream gives for bytes that arrive `step` bytes at a time.
QList<ServerAnswer> answersOf(const QByteArray &bytes, int step)
{
    ServerStream stream;
    QList<ServerAnswer> answers;
    ServerAnswer answer;
    for (int at = 0; at < bytes.size(); at += step) {
        stream.append(bytes.mid(at, step));
        while (stream.next(&answer))
            answers << answer;
        if (stream.buffered() > bytes.size())
            abort();
    }
    while (stream.finish(&answer))
        answers << answer;
    if (stream.buffered() != 0)
        abort();
    return answers;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString folder = QStringLiteral("/nonexistent/Corvane/localBook/");

    // However the reads cut the stream, the same answers come out, each of a known word; only
    // a book list ended by its terminator at a cut may be taken before what follows it.
    const QList<ServerAnswer> whole = answersOf(bytes, qMax(1, bytes.size()));
    const QList<ServerAnswer> cut = answersOf(bytes, 1 + (size > 0 ? data[0] % 13 : 0));
    bool same = whole.size() == cut.size();
    for (int i = 0; same && i < whole.size(); ++i)
        same = whole.at(i).kind == cut.at(i).kind && whole.at(i).text == cut.at(i).text;
    const bool listEnded = std::any_of(cut.cbegin(), cut.cend(), [](const ServerAnswer &a) {
        return a.kind == ServerAnswer::Book && a.text.endsWith(QLatin1String("@end"));
    });
    if (!same && !listEnded)
        abort();
    QStringList texts{QString::fromUtf8(bytes)};
    for (const QList<ServerAnswer> *answers : {&whole, &cut}) {
        for (const ServerAnswer &answer : *answers) {
            if (answer.kind == ServerAnswer::Unknown)
                abort();
            texts << answer.text;
        }
    }

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
