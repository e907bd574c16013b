#include "link/PageImageHeader.h"

#include <QList>

namespace {
bool toNumber(const QByteArray &text, qint64 *value)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok;
}
} // namespace

bool PageImageHeader::parse(const QByteArray &data, PageImageHeader *header)
{
    if (data.size() > MaxHeaderSize || !data.startsWith("sync@"))
        return false;
    const QList<QByteArray> parts = data.split('@');
    const QList<QByteArray> fields = parts.at(1).split('#');
    if (fields.size() != 3)
        return false;
    const QList<QByteArray> numbers = fields.at(2).split(',');
    if (numbers.size() != 4)
        return false;
    qint64 page = 0, width = 0, height = 0, flag = 0, size = 0;
    if (!toNumber(fields.at(1), &page) || !toNumber(numbers.at(0), &width) ||
        !toNumber(numbers.at(1), &height) || !toNumber(numbers.at(2), &flag))
        return false;
    if (page < 0 || page >= 0x7fffffff || width < 1 || width > MaxSide || height < 1 ||
        height > MaxSide)
        return false;
    if (flag != 0 && (!toNumber(numbers.at(3), &size) || size < 0 || size > MaxImageSize))
        return false;
    // An image of no bytes is no image: nothing follows the header.
    header->page = static_cast<int>(page);
    header->width = static_cast<int>(width);
    header->height = static_cast<int>(height);
    header->withImage = flag != 0 && size > 0;
    header->size = header->withImage ? size : 0;
    return true;
}
