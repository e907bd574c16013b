#include "pdf/ImageReduction.h"

#include <poppler/Object.h>
#include <poppler/Stream.h>

#include <algorithm>
#include <cmath>
#include <cstring>

ImageReduction::ImageReduction() = default;

ImageReduction::~ImageReduction() = default;

qint64 ImageReduction::rowBytes(qint64 width, int components, int bits)
{
    return (width * components * bits + 7) / 8;
}

int ImageReduction::step(int width, int height, int components, int bits)
{
    if (width < 1 || height < 1 || components < 1 || bits < 1)
        return 1;
    const auto bytesAt = [=](double step) {
        return double(rowBytes(qint64(std::ceil(width / step)), components, bits)) *
               std::ceil(height / step);
    };
    if (bytesAt(1) <= kMaxDirectBytes)
        return 1;
    double step = std::max(2.0, std::floor(std::sqrt(bytesAt(1) / kMaxDirectBytes)));
    while (bytesAt(step) > kMaxDirectBytes)
        ++step;
    return int(std::min(step, double(std::max(width, height))));
}

bool ImageReduction::read(Stream *str, int width, int height, int components, int bits, int step,
                          const std::function<bool()> &aborted)
{
    const qint64 inRow = rowBytes(width, components, bits);
    if (!str || step < 1 || width < 1 || height < 1 || components < 1 || bits < 1 ||
        inRow > kMaxRowBytes)
        return false;
    m_nWidth = (width - 1) / step + 1;
    m_nHeight = (height - 1) / step + 1;
    const qint64 outRow = rowBytes(m_nWidth, components, bits);
    if (outRow * m_nHeight > kMaxDirectBytes)
        return false;
    // What the stream does not hold reads as all ones, as when the image is drawn unreduced.
    m_data = QByteArray(int(outRow * m_nHeight), '\xff');
    QByteArray row(int(inRow), Qt::Uninitialized);
    auto *line = reinterpret_cast<uchar *>(row.data());
    auto *out = reinterpret_cast<uchar *>(m_data.data());
    bool ok = true;
    str->reset();
    for (int y = 0; y < height; ++y) {
        if (aborted && aborted()) {
            ok = false;
            break;
        }
        const int got = std::max(0, str->doGetChars(int(inRow), line));
        std::fill(line + got, line + inRow, uchar(0xff));
        if (y % step == 0) {
            uchar *to = out + (y / step) * outRow;
            std::memset(to, 0, size_t(outRow));
            copyPixels(line, to, m_nWidth, step, components * bits);
        }
        if (got < inRow)
            break; // the stream ended
    }
    str->close();
    if (ok)
        m_stream =
            std::make_unique<MemStream>(m_data.constData(), 0, m_data.size(), Object(objNull));
    return ok;
}

Stream *ImageReduction::stream() const
{
    return m_stream.get();
}

void ImageReduction::copyPixels(const uchar *from, uchar *to, int width, int step, int pixelBits)
{
    if (pixelBits % 8 == 0) {
        const int bytes = pixelBits / 8;
        for (int x = 0; x < width; ++x)
            std::memcpy(to + qint64(x) * bytes, from + qint64(x) * step * bytes, size_t(bytes));
        return;
    }
    for (int x = 0; x < width; ++x) {
        const qint64 source = qint64(x) * step * pixelBits;
        const qint64 target = qint64(x) * pixelBits;
        for (int bit = 0; bit < pixelBits; ++bit) {
            const qint64 s = source + bit;
            const qint64 t = target + bit;
            if (from[s >> 3] & (0x80 >> (s & 7)))
                to[t >> 3] |= uchar(0x80 >> (t & 7));
        }
    }
}
