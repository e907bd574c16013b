#ifndef IMAGEREDUCTION_H
#define IMAGEREDUCTION_H

#include <QByteArray>

#include <functional>
#include <memory>

class MemStream;
class Stream;

// An image of a PDF page read from its stream keeping every step-th pixel of every step-th
// row, in the stream's own packing, so that an image declared far larger than it can be drawn
// costs only its reduction in memory, and reading it can stop between two rows.
class ImageReduction
{
public:
    // Decoded bytes an image may have and still be drawn as it is; a reduction holds at most
    // this many.
    static constexpr qint64 kMaxDirectBytes = 16 * 1024 * 1024;
    // Longest row read, in bytes.
    static constexpr qint64 kMaxRowBytes = 16 * 1024 * 1024;

    ImageReduction();
    ~ImageReduction();

    // Pixels and rows kept apart for an image of width x height pixels of components of bits
    // each to come within kMaxDirectBytes: 1 when it fits as it is.
    static int step(int width, int height, int components, int bits);

    // Reads the image from str (reset, read to its end or the image's, closed). False when a
    // row is too long, or aborted() tells so before a row.
    bool read(Stream *str, int width, int height, int components, int bits, int step,
              const std::function<bool()> &aborted);

    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }
    // The reduced image in the packing it was read in; valid while this object lives.
    Stream *stream() const;

private:
    static qint64 rowBytes(qint64 width, int components, int bits);
    static void copyPixels(const uchar *from, uchar *to, int width, int step, int pixelBits);

    QByteArray m_data;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::unique_ptr<MemStream> m_stream;
};

#endif // IMAGEREDUCTION_H
