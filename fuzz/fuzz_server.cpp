// Class-server answers: the answer reader, the download answer and the local book name.
#include "link/BookName.h"
#include "link/DownloadAnswer.h"
#include "link/ServerAnswer.h"

#include <QFileInfo>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString folder = QStringLiteral("/nonexistent/Corvane/localBook/");

    // The raw bytes as one answer, and as a decoded download argument.
    const ServerAnswer answer = ServerAnswer::parse(bytes);
    const QString texts[] = {answer.text, QString::fromUtf8(bytes)};
    for (const QString &text : texts) {
        const DownloadAnswer download = DownloadAnswer::parse(text);
        if (download.kind == DownloadAnswer::Offer &&
            (download.size < 1 || download.size > DownloadAnswer::MaxSize))
            abort();
        const QString local = BookName::localPath(folder, download.path);
        if (!local.isEmpty() && QFileInfo(local).absolutePath() + QLatin1Char('/') != folder)
            abort();
    }
    return 0;
}
