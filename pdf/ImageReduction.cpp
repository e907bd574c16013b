#include "pdf/ImageReduction.h"

#include "pdf/PageImageLimit.h"

#include <QtAlgorithms>

#include <poppler/GfxState.h>
#include <poppler/Object.h>
#include <poppler/Stream.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
constexpr int kChunk = 4096; // pixels converted at a time
} // namespace

ImageReduction::ImageReduction() = default;

ImageReduction::~ImageReduction() = default;

qint64 ImageReduction::rowBytes(qint64 width, int components, int bits)
{
    return (width * components * bits + 7) / 8;
}

bool ImageReduction::isLarge(int width, int height, int components, int bits)
{
    return width > 0 && height > 0 && components > 0 && bits > 0 &&
           double(rowBytes(width, components, bits)) * height > kMaxDirectBytes;
}

QSize ImageReduction::size(int width, int height, int bitsPerPixel)
{
    if (width < 1 || height < 1 || bitsPerPixel < 1)
        return QSize();
    const auto bytes = [bitsPerPixel](const QSize &size) {
        return (qint64(size.width()) * bitsPerPixel + 7) / 8 * size.height();
    };
    const double side = PageImageLimit::kMaxSide;
    double factor = std::min({1.0, side / width, side / height,
                              std::sqrt(8.0 * kMaxDirectBytes / bitsPerPixel / width / height)});
    for (;;) {
        const QSize size(std::max(1, int(width * factor)), std::max(1, int(height * factor)));
        if (bytes(size) <= kMaxDirectBytes)
            return size;
        factor *= 0.99;
    }
}

std::unique_ptr<GfxImageColorMap> ImageReduction::rgbMap()
{
    Object decode(objNull);
    return std::make_unique<GfxImageColorMap>(8, &decode, new GfxDeviceRGBColorSpace());
}

std::unique_ptr<GfxImageColorMap> ImageReduction::grayMap()
{
    Object decode(objNull);
    return std::make_unique<GfxImageColorMap>(8, &decode, new GfxDeviceGrayColorSpace());
}

bool ImageReduction::readColour(Stream *str, int width, int height, GfxImageColorMap *colorMap,
                                const int *maskColors, bool keyToBits, const QSize &to,
                                const std::function<bool()> &aborted)
{
    if (!colorMap)
        return false;
    const int components = colorMap->getNumPixelComps();
    m_bKeyed = maskColors != nullptr;
    m_bBits = m_bKeyed && keyToBits;
    m_map = rgbMap();
    if (m_bKeyed && !m_bBits)
        m_alphaMap = grayMap();
    std::vector<uchar> rgb(size_t(kChunk) * 3);
    const Convert convert = [&](uchar *values, int count, uchar *samples) {
        if (!maskColors) {
            colorMap->getRGBLine(values, samples, count);
            return;
        }
        colorMap->getRGBLine(values, rgb.data(), count);
        const uchar *colour = rgb.data();
        for (int i = 0; i < count; ++i, values += components, colour += 3, samples += 4) {
            bool keyed = true;
            for (int c = 0; c < components && keyed; ++c)
                keyed = values[c] >= maskColors[2 * c] && values[c] <= maskColors[2 * c + 1];
            // Pixels within the key count in the colour too, as when drawn at full size.
            for (int s = 0; s < 3; ++s)
                samples[s] = colour[s];
            samples[3] = keyed ? 0 : 255;
        }
    };
    return read(str, width, height, components, colorMap->getBits(), m_bKeyed ? 4 : 3, to, convert,
                aborted);
}

bool ImageReduction::readGray(Stream *str, int width, int height, GfxImageColorMap *colorMap,
                              const QSize &to, const std::function<bool()> &aborted)
{
    if (!colorMap)
        return false;
    m_bKeyed = false;
    m_bBits = false;
    m_map = grayMap();
    const Convert convert = [colorMap](uchar *values, int count, uchar *samples) {
        colorMap->getGrayLine(values, samples, count);
    };
    return read(str, width, height, colorMap->getNumPixelComps(), colorMap->getBits(), 1, to,
                convert, aborted);
}

bool ImageReduction::readStencil(Stream *str, int width, int height, bool invert, bool toBits,
                                 const QSize &to, const std::function<bool()> &aborted)
{
    m_bKeyed = false;
    m_bBits = toBits;
    m_map = toBits ? nullptr : grayMap();
    const uchar paints = invert ? 1 : 0;
    const Convert convert = [paints](uchar *values, int count, uchar *samples) {
        for (int i = 0; i < count; ++i)
            samples[i] = values[i] == paints ? 255 : 0;
    };
    return read(str, width, height, 1, 1, 1, to, convert, aborted);
}

bool ImageReduction::read(Stream *str, int width, int height, int components, int bits, int samples,
                          const QSize &to, const Convert &convert,
                          const std::function<bool()> &aborted)
{
    const qint64 inRow = rowBytes(width, components, bits);
    if (!str || inRow > kMaxRowBytes ||
        !begin(width, height, components, bits, samples, to, convert))
        return false;
    QByteArray row(int(inRow), Qt::Uninitialized);
    auto *line = reinterpret_cast<uchar *>(row.data());
    bool ended = false;
    int y = 0;
    str->reset();
    for (; y < height && !ended; ++y) {
        if (aborted && aborted()) {
            str->close();
            return false;
        }
        const int got = std::max(0, str->doGetChars(int(inRow), line));
        std::fill(line + got, line + inRow, uchar(0xff));
        addRow(line, y);
        ended = got < inRow;
    }
    str->close();
    if (y < height) {
        // The stream ended: every pixel left is all ones.
        std::vector<uchar> ones(size_t(components), uchar(bits == 16 ? 0xff : (1 << bits) - 1));
        std::vector<uchar> sample(static_cast<size_t>(samples));
        convert(ones.data(), 1, sample.data());
        for (size_t i = 0; i < m_line.size(); ++i)
            m_line[i] = (m_bOnes ? 1 : sample[i % size_t(samples)]) * quint64(m_nSourceWidth);
        addRows(qint64(y) * m_nHeight, qint64(height) * m_nHeight);
    }
    makeStreams();
    return true;
}

bool ImageReduction::begin(int width, int height, int components, int bits, int samples,
                           const QSize &to, const Convert &convert)
{
    const bool knownBits = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
    if (width < 1 || height < 1 || components < 1 || !knownBits || to.width() < 1 ||
        to.height() < 1 || to.width() > width || to.height() > height ||
        to.width() > PageImageLimit::kMaxSide || to.height() > PageImageLimit::kMaxSide)
        return false;
    // Colours, and apart from them the share of each pixel drawn: in bytes or in bits.
    const int coverRow = m_bBits ? (to.width() + 7) / 8 : to.width();
    const int colourRow = m_bBits && !m_bKeyed ? 0 : to.width() * (samples - m_bKeyed);
    const int rowOut = colourRow + (m_bKeyed || m_bBits ? coverRow : 0);
    if (qint64(rowOut) * to.height() > kMaxDirectBytes)
        return false;
    m_nSourceWidth = width;
    m_nSourceHeight = height;
    m_nWidth = to.width();
    m_nHeight = to.height();
    m_nComponents = components;
    m_nBits = bits;
    m_nSamples = samples;
    m_nRow = 0;
    m_convert = convert;
    m_data = QByteArray((colourRow ? colourRow : coverRow) * m_nHeight, Qt::Uninitialized);
    if (m_bKeyed)
        m_alpha = QByteArray(coverRow * m_nHeight, Qt::Uninitialized);
    // A bit a pixel: the share of ones is summed, and each sample drawn from it.
    m_bOnes = components == 1 && bits == 1;
    m_line.assign(size_t(m_nWidth) * (m_bOnes ? 1 : samples), 0);
    m_sums.assign(m_line.size(), 0.0);
    m_error.assign(m_bBits ? size_t(m_nWidth) + 2 : 0, 0);
    m_below.assign(m_error.size(), 0);
    m_values.resize(size_t(kChunk) * components);
    // Also a row of coverage before it is dithered.
    m_converted.resize(std::max(size_t(kChunk) * samples, m_bBits ? size_t(m_nWidth) : 0));
    // One value a pixel: each is converted once.
    m_table.clear();
    if (components == 1 && bits <= 8) {
        std::vector<uchar> all(size_t(1) << bits);
        std::iota(all.begin(), all.end(), uchar(0));
        m_table.resize(all.size() * samples);
        convert(all.data(), int(all.size()), m_table.data());
    }
    return true;
}

void ImageReduction::addRow(const uchar *row, int y)
{
    if (m_bOnes)
        addBits(row);
    for (int x = 0; x < m_nSourceWidth && !m_bOnes; x += kChunk) {
        const int count = std::min(kChunk, m_nSourceWidth - x);
        const uchar *values = unpack(row, qint64(x) * m_nComponents, count * m_nComponents);
        const bool lookUp = !m_table.empty();
        if (!lookUp)
            m_convert(const_cast<uchar *>(values), count, m_converted.data());
        const uchar *from = lookUp ? values : m_converted.data();
        if (m_nSamples == 1)
            addPixels<1>(from, lookUp, x, count);
        else if (m_nSamples == 3)
            addPixels<3>(from, lookUp, x, count);
        else
            addPixels<4>(from, lookUp, x, count);
    }
    // Row y spans y * m_nHeight to (y + 1) * m_nHeight in units of which a reduced row spans
    // the image's height.
    addRows(qint64(y) * m_nHeight, qint64(y + 1) * m_nHeight);
}

const uchar *ImageReduction::unpack(const uchar *row, qint64 first, int count)
{
    uchar *to = m_values.data();
    if (m_nBits == 8)
        return row + first;
    if (m_nBits == 16) {
        // The high byte, as Poppler draws such images.
        for (int i = 0; i < count; ++i)
            to[i] = row[(first + i) * 2];
        return to;
    }
    const int mask = (1 << m_nBits) - 1;
    for (int i = 0; i < count; ++i) {
        const qint64 bit = (first + i) * m_nBits;
        to[i] = uchar(row[bit >> 3] >> (8 - m_nBits - (bit & 7)) & mask);
    }
    return to;
}

template <int Samples>
void ImageReduction::addPixels(const uchar *from, bool lookUp, int first, int count)
{
    if (lookUp)
        addPixels<Samples, true>(from, first, count);
    else
        addPixels<Samples, false>(from, first, count);
}

// Pixel x spans x * m_nWidth to (x + 1) * m_nWidth in units of which a reduced pixel spans the
// image's width, so a pixel falls in one reduced pixel or is split between two.
template <int Samples, bool LookUp>
void ImageReduction::addPixels(const uchar *from, int first, int count)
{
    const quint64 across = quint64(m_nWidth);
    const quint64 wide = quint64(m_nSourceWidth);
    quint64 start = quint64(first) * across;
    quint64 boundary = (start / wide + 1) * wide;
    quint64 *sum = m_line.data() + size_t(start / wide) * Samples;
    quint64 whole[Samples] = {}; // pixels wholly in this reduced pixel, not yet added
    for (int i = 0; i < count; ++i) {
        const uchar *sample =
            LookUp ? m_table.data() + size_t(from[i]) * Samples : from + size_t(i) * Samples;
        const quint64 end = start + across;
        if (end < boundary) {
            for (int s = 0; s < Samples; ++s)
                whole[s] += sample[s];
            start = end;
            continue;
        }
        for (int s = 0; s < Samples; ++s) {
            sum[s] += whole[s] * across + sample[s] * (boundary - start);
            whole[s] = 0;
        }
        sum += Samples;
        if (end > boundary) {
            for (int s = 0; s < Samples; ++s)
                sum[s] += sample[s] * (end - boundary);
        }
        boundary += wide;
        start = end;
    }
    if (start % wide != 0) {
        for (int s = 0; s < Samples; ++s)
            sum[s] += whole[s] * across;
    }
}

void ImageReduction::addBits(const uchar *row)
{
    const quint64 across = quint64(m_nWidth);
    const quint64 wide = quint64(m_nSourceWidth);
    quint64 start = 0;
    quint64 boundary = wide;
    quint64 *sum = m_line.data();
    quint64 whole = 0; // ones wholly in this reduced pixel, not yet added
    for (int x = 0; x < m_nSourceWidth;) {
        // The eight pixels of a byte in one reduced pixel are counted at once.
        if ((x & 7) == 0 && x + 8 <= m_nSourceWidth && start + 8 * across < boundary) {
            whole += qPopulationCount(quint8(row[x >> 3]));
            start += 8 * across;
            x += 8;
            continue;
        }
        const quint64 one = row[x >> 3] >> (7 - (x & 7)) & 1;
        const quint64 end = start + across;
        if (end < boundary) {
            whole += one;
        } else {
            *sum++ += whole * across + one * (boundary - start);
            whole = 0;
            if (end > boundary)
                *sum += one * (end - boundary);
            boundary += wide;
        }
        start = end;
        ++x;
    }
    if (start % wide != 0)
        *sum += whole * across;
}

void ImageReduction::addRows(qint64 top, qint64 bottom)
{
    while (top < bottom && m_nRow < m_nHeight) {
        const qint64 end = qint64(m_nRow + 1) * m_nSourceHeight;
        const qint64 part = std::min(bottom, end) - top;
        for (size_t i = 0; i < m_sums.size(); ++i)
            m_sums[i] += double(m_line[i]) * part;
        top += part;
        if (top == end) {
            writeRow();
            ++m_nRow;
        }
    }
    std::fill(m_line.begin(), m_line.end(), 0);
}

void ImageReduction::writeRow()
{
    // A pixel of the image holds m_nWidth x m_nHeight units.
    const double perUnit = 1.0 / (double(m_nSourceWidth) * m_nSourceHeight);
    const int kept = m_nSamples - m_bKeyed;
    // What says how much of each pixel is drawn, a stencil's one sample or a colour key's, is
    // dithered from a row of bytes when it is to be bits.
    QByteArray &cover = m_bKeyed ? m_alpha : m_data;
    uchar *to = m_bBits && !m_bKeyed
                    ? m_converted.data()
                    : reinterpret_cast<uchar *>(m_data.data()) + qint64(m_nRow) * m_nWidth * kept;
    uchar *alpha = nullptr;
    if (m_bKeyed)
        alpha = m_bBits ? m_converted.data()
                        : reinterpret_cast<uchar *>(m_alpha.data()) + qint64(m_nRow) * m_nWidth;
    // A bit a pixel: samples lie between those of 0 and of 1.
    const uchar *zero = m_bOnes ? m_table.data() : nullptr;
    const uchar *one = m_bOnes ? zero + m_nSamples : nullptr;
    const double *sum = m_sums.data();
    for (int x = 0; x < m_nWidth; ++x) {
        const double ones = m_bOnes ? *sum++ * perUnit : 0.0;
        for (int s = 0; s < m_nSamples; ++s) {
            const double value = m_bOnes ? zero[s] + (one[s] - zero[s]) * ones : *sum++ * perUnit;
            *(s < kept ? to++ : alpha++) = uchar(std::min(255.0, value + 0.5));
        }
    }
    std::fill(m_sums.begin(), m_sums.end(), 0.0);
    if (m_bBits)
        ditherRow(m_converted.data(),
                  reinterpret_cast<uchar *>(cover.data()) + qint64(m_nRow) * ((m_nWidth + 7) / 8));
}

void ImageReduction::ditherRow(const uchar *cover, uchar *bits)
{
    // Floyd-Steinberg; the error rows reach one pixel past each side.
    std::fill(m_below.begin(), m_below.end(), 0);
    int *error = m_error.data() + 1;
    int *below = m_below.data() + 1;
    uchar byte = 0;
    int carried = 0; // to the next pixel of this row
    for (int x = 0; x < m_nWidth; ++x) {
        const int want = cover[x] + error[x] + carried;
        const int blank = want < 128; // the bit that leaves the page as it is
        byte = uchar(byte << 1 | blank);
        if ((x & 7) == 7)
            bits[x >> 3] = byte;
        const int rest = want - (blank ? 0 : 255);
        carried = rest * 7 >> 4;
        const int left = rest * 3 >> 4;
        const int under = rest * 5 >> 4;
        below[x - 1] += left;
        below[x] += under;
        below[x + 1] += rest - carried - left - under;
    }
    if (m_nWidth & 7)
        bits[m_nWidth >> 3] = uchar(byte << (8 - (m_nWidth & 7)));
    std::swap(m_error, m_below);
}

Stream *ImageReduction::stream() const
{
    return m_stream.get();
}

Stream *ImageReduction::alphaStream() const
{
    return m_alphaStream.get();
}

void ImageReduction::makeStreams()
{
    m_stream = std::make_unique<MemStream>(m_data.constData(), 0, m_data.size(), Object(objNull));
    if (m_bKeyed)
        m_alphaStream =
            std::make_unique<MemStream>(m_alpha.constData(), 0, m_alpha.size(), Object(objNull));
}
