#ifndef IMAGEREDUCTION_H
#define IMAGEREDUCTION_H

#include <QByteArray>
#include <QSize>

#include <functional>
#include <memory>
#include <vector>

class GfxImageColorMap;
class MemStream;
class Stream;

// An image of a PDF page read from its stream row by row into a smaller one, each of whose
// pixels is the average of the area of the image it covers, in 8 bits a sample: colours as
// RGB, soft masks as gray, stencils as the share of their pixels that paint. An image declared
// far larger than it can be drawn thus costs only its reduction in memory, draws as it would
// at full size, and reading it can stop between two rows.
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

    // Whether an image of width x height pixels of components of bits each decodes to more
    // than kMaxDirectBytes, and so is to be read into a reduction.
    static bool isLarge(int width, int height, int components, int bits);
    // The largest reduction of a width x height image in its proportions that holds at most
    // kMaxDirectBytes at bitsPerPixel, and is no wider or taller than a page image.
    static QSize size(int width, int height, int bitsPerPixel);
    // Colour maps of 8 bits a sample, with the default decoding.
    static std::unique_ptr<GfxImageColorMap> rgbMap();
    static std::unique_ptr<GfxImageColorMap> grayMap();

    // Each read reduces a width x height image to the size to (at most the image's), resets
    // str, reads it to its end or the image's and closes it; what the stream does not hold
    // reads as all ones, as when the image is drawn unreduced. False when a row is too long,
    // the bits are not 1, 2, 4, 8 or 16, or aborted() tells so before a row.
    //
    // A colour image, through its colour map, as RGB. With maskColors (the colour-key ranges
    // of its components), alphaStream() holds the share of the pixels outside them; with
    // keyToBits too, as a stencil of bits dithered as readStencil's.
    bool readColour(Stream *str, int width, int height, GfxImageColorMap *colorMap,
                    const int *maskColors, bool keyToBits, const QSize &to,
                    const std::function<bool()> &aborted);
    // A soft mask, through its colour map, as gray.
    bool readGray(Stream *str, int width, int height, GfxImageColorMap *colorMap, const QSize &to,
                  const std::function<bool()> &aborted);
    // A stencil, whose pixels paint where their bit is 1 when invert is set and where it is 0
    // otherwise, as the share of its pixels that paint (255: all of them); or, with toBits,
    // as a stencil again whose bits are 0 where it paints, the error diffused so that each
    // area keeps its share of painting pixels, for where only bits can be drawn.
    bool readStencil(Stream *str, int width, int height, bool invert, bool toBits, const QSize &to,
                     const std::function<bool()> &aborted);

    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }
    // The reduced image, valid while this object lives; the colour map is null for bits.
    Stream *stream() const;
    GfxImageColorMap *colorMap() const { return m_map.get(); }
    // With a colour key: the share of each pixel outside it, as gray or as bits.
    Stream *alphaStream() const;
    GfxImageColorMap *alphaColorMap() const { return m_alphaMap.get(); }

private:
    // Converts count pixels of raw values (one byte each) into samples bytes each.
    using Convert = std::function<void(uchar *values, int count, uchar *samples)>;

    static qint64 rowBytes(qint64 width, int components, int bits);
    bool read(Stream *str, int width, int height, int components, int bits, int samples,
              const QSize &to, const Convert &convert, const std::function<bool()> &aborted);
    bool begin(int width, int height, int components, int bits, int samples, const QSize &to,
               const Convert &convert);
    void addRow(const uchar *row, int y);
    const uchar *unpack(const uchar *row, qint64 first, int count);
    // Adds count pixels from x = first on to the row: their samples, or with lookUp their
    // values, which m_table turns into samples.
    template <int Samples> void addPixels(const uchar *from, bool lookUp, int first, int count);
    template <int Samples, bool LookUp> void addPixels(const uchar *from, int first, int count);
    void addBits(const uchar *row);
    void addRows(qint64 top, qint64 bottom);
    void writeRow();
    void ditherRow(const uchar *cover, uchar *bits);
    void makeStreams();

    QByteArray m_data;
    QByteArray m_alpha;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nSourceWidth = 0;
    int m_nSourceHeight = 0;
    int m_nComponents = 0;
    int m_nBits = 0;
    int m_nSamples = 0;
    int m_nRow = 0;        // row of the reduction being made
    bool m_bKeyed = false; // the last sample is a colour key's 0 or 255, kept apart
    bool m_bBits = false;  // what says how much of a pixel is drawn is dithered into bits
    bool m_bOnes = false;  // the image has a bit a pixel, whose ones are summed
    Convert m_convert;
    std::vector<uchar> m_table; // samples of each value, for one value a pixel
    std::vector<uchar> m_values;
    std::vector<uchar> m_converted;
    // One row of the image over each reduced pixel's width, in units of which a pixel of
    // the image spans the reduction's width.
    std::vector<quint64> m_line;
    std::vector<double> m_sums; // of the row being made, weighted by the rows' share in it
    std::vector<int> m_error;   // dithering error carried to this row and the next
    std::vector<int> m_below;
    std::unique_ptr<GfxImageColorMap> m_map;
    std::unique_ptr<GfxImageColorMap> m_alphaMap;
    std::unique_ptr<MemStream> m_stream;
    std::unique_ptr<MemStream> m_alphaStream;
};

#endif // IMAGEREDUCTION_H
