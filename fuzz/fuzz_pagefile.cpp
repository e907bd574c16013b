// Page file reader: bytes of "page%1.crp" files.
#include "pages/PageFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    PageFile::Content content;
    if (!PageFile::decode(bytes, content))
        return 0;
    // What was read whole writes and reads back the same.
    const QByteArray written = PageFile::encode(content);
    PageFile::Content again;
    if (!PageFile::decode(written, again) || again.size != content.size ||
        again.items != content.items || again.vote != content.vote ||
        again.vote.isNull() != content.vote.isNull() || again.init != content.init ||
        again.image != content.image || PageFile::encode(again) != written)
        abort();
    return 0;
}
