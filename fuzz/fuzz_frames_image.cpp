// Page-image header parser: any bytes give a clear yes or no within the limits.
#include "link/PageImageHeader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(size));
    PageImageHeader header;
    if (!PageImageHeader::parse(bytes, &header))
        return 0;
    if (header.page < 0 || header.width < 1 || header.width > PageImageHeader::MaxSide ||
        header.height < 1 || header.height > PageImageHeader::MaxSide ||
        (header.withImage && (header.size < 1 || header.size > PageImageHeader::MaxImageSize)))
        abort();
    return 0;
}
