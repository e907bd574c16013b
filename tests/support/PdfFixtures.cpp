#include "support/PdfFixtures.h"

#include <QFile>

#include <hpdf.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
using HpdfDoc = std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, decltype(&HPDF_Free)>;

HpdfDoc newDoc()
{
    return HpdfDoc(HPDF_New(nullptr, nullptr), &HPDF_Free);
}

void drawText(HPDF_Doc pdf, HPDF_Page page, double height)
{
    HPDF_Font font = HPDF_GetFont(pdf, "Helvetica", nullptr);
    HPDF_Page_SetRGBFill(page, 0, 0, 0);
    HPDF_Page_BeginText(page);
    HPDF_Page_SetFontAndSize(page, font, 10);
    for (int line = 0; line < 40 && 60 + line * 14 < height - 40; ++line) {
        HPDF_Page_TextOut(page, 50, HPDF_REAL(height - 60 - line * 14),
                          "The quick brown fox jumps over the lazy dog, line of sample text.");
    }
    HPDF_Page_EndText(page);
}

void drawShapes(HPDF_Page page, double width, double height)
{
    HPDF_Page_SetLineWidth(page, 1.5);
    for (int i = 0; i < 12; ++i) {
        HPDF_Page_SetRGBStroke(page, HPDF_REAL(i / 12.0), 0.2f, HPDF_REAL(1 - i / 12.0));
        HPDF_Page_MoveTo(page, 40, HPDF_REAL(40 + i * 8));
        HPDF_Page_CurveTo(page, HPDF_REAL(width / 3), HPDF_REAL(height / 2),
                          HPDF_REAL(2 * width / 3), 20, HPDF_REAL(width - 40),
                          HPDF_REAL(60 + i * 8));
        HPDF_Page_Stroke(page);
    }
    HPDF_Page_SetRGBFill(page, 0.1f, 0.6f, 0.3f);
    HPDF_Page_Circle(page, HPDF_REAL(width - 120), 140, 60);
    HPDF_Page_Fill(page);
}

// Threshold of a 2 x 2 ordered dither at a pixel: a level above it is painted.
double ditherThreshold(int x, int y)
{
    static const int cell[2][2] = {{0, 2}, {3, 1}};
    return (cell[y & 1][x & 1] + 0.5) / 4.0;
}

void setBit(uchar *row, int x, bool on)
{
    if (on)
        row[x >> 3] |= uchar(0x80 >> (x & 7));
}
} // namespace

bool PdfFixtures::write(const QString &path, const QList<Page> &pages)
{
    HpdfDoc doc = newDoc();
    if (!doc)
        return false;
    for (const Page &want : pages) {
        HPDF_Page page = HPDF_AddPage(doc.get());
        HPDF_Page_SetWidth(page, HPDF_REAL(want.width));
        HPDF_Page_SetHeight(page, HPDF_REAL(want.height));
        if (want.rotate)
            HPDF_Page_SetRotate(page, HPDF_UINT16(want.rotate));
        if (!want.box.isEmpty()) {
            HPDF_Page_SetRGBFill(page, HPDF_REAL(want.colour.redF()),
                                 HPDF_REAL(want.colour.greenF()), HPDF_REAL(want.colour.blueF()));
            HPDF_Page_Rectangle(page, HPDF_REAL(want.box.x()),
                                HPDF_REAL(want.height - want.box.bottom()),
                                HPDF_REAL(want.box.width()), HPDF_REAL(want.box.height()));
            HPDF_Page_Fill(page);
        }
        if (want.text)
            drawText(doc.get(), page, want.height);
        if (want.drawing)
            drawShapes(page, want.width, want.height);
        HPDF_Page_SetLineWidth(page, 0.75);
        for (int i = 1; i <= want.rules; ++i) {
            const HPDF_REAL y = HPDF_REAL(want.height * i / (want.rules + 1));
            HPDF_Page_MoveTo(page, 0, y);
            HPDF_Page_LineTo(page, HPDF_REAL(want.width), y);
            HPDF_Page_Stroke(page);
        }
    }
    return HPDF_SaveToFile(doc.get(), QFile::encodeName(path).constData()) == HPDF_OK;
}

bool PdfFixtures::book(const QString &path, int pageCount)
{
    Page page;
    page.text = true;
    page.drawing = true;
    page.box = QRectF(400, 40, 150, 80);
    page.colour = QColor(30, 60, 200);
    QList<Page> pages;
    for (int i = 0; i < pageCount; ++i)
        pages << page;
    return write(path, pages);
}

QColor PdfFixtures::pageColour(int index)
{
    return QColor::fromHsv((index * 37) % 360, 255, 230);
}

bool PdfFixtures::colouredPages(const QString &path, int pageCount)
{
    QList<Page> pages;
    for (int i = 0; i < pageCount; ++i) {
        Page page;
        page.box = QRectF(0, 0, page.width, page.height);
        page.colour = pageColour(i);
        pages << page;
    }
    return write(path, pages);
}

bool PdfFixtures::encrypted(const QString &path)
{
    HpdfDoc doc = newDoc();
    if (!doc)
        return false;
    HPDF_Page page = HPDF_AddPage(doc.get());
    drawText(doc.get(), page, HPDF_Page_GetHeight(page));
    if (HPDF_SetPassword(doc.get(), "owner-secret", "user-secret") != HPDF_OK ||
        HPDF_SetEncryptionMode(doc.get(), HPDF_ENCRYPT_R3, 16) != HPDF_OK)
        return false;
    return HPDF_SaveToFile(doc.get(), QFile::encodeName(path).constData()) == HPDF_OK;
}

bool PdfFixtures::zeroPages(const QString &path)
{
    return writeObjects(
        path, {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [] /Count 0 >>"}, 0);
}

bool PdfFixtures::withTitle(const QString &path, const QByteArray &title)
{
    QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                 "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                 "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >>"};
    if (title.isEmpty())
        return writeObjects(path, objects, 0);
    objects << "<< /Title <" + title.toHex() + "> >>";
    return writeObjects(path, objects, objects.size());
}

bool PdfFixtures::damaged(const QString &path)
{
    QByteArray data = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R\n";
    for (int i = 0; i < 64; ++i)
        data += "\x01garbage ) ] >> endobj stream \xff\xfe";
    return writeFile(path, data);
}

bool PdfFixtures::textFile(const QString &path)
{
    return writeFile(path, "This is a plain text file, not a PDF.\n");
}

bool PdfFixtures::claimingPages(const QString &path, int claimed)
{
    return writeObjects(
        path,
        {"<< /Type /Catalog /Pages 2 0 R >>",
         "<< /Type /Pages /Kids [3 0 R] /Count " + QByteArray::number(claimed) + " >>",
         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>"},
        0, claimed + 1);
}

bool PdfFixtures::damagedPage(const QString &path, int pageCount, int damaged)
{
    QByteArray kids;
    for (int i = 0; i < pageCount; ++i)
        kids += QByteArray::number(i + 4) + " 0 R ";
    QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                 "<< /Type /Pages /Kids [" + kids + "] /Count " +
                                     QByteArray::number(pageCount) + " >>",
                                 streamObject("", "1 0 0 rg 0 0 612 792 re f")};
    for (int i = 0; i < pageCount; ++i)
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " +
                       QByteArray(i == damaged ? "7" : "3 0 R") + " >>";
    return writeObjects(path, objects, 0);
}

bool PdfFixtures::scatterPlot(const QString &path, int points)
{
    QByteArray content = "0 0 0.8 rg\n";
    quint32 seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % quint32(range));
    };
    for (int i = 0; i < points; ++i)
        content += QByteArray::number(36 + next(5400) / 10.0) + ' ' +
                   QByteArray::number(36 + next(7200) / 10.0) + " 1.6 1.6 re f\n";
    uLongf size = compressBound(uLong(content.size()));
    QByteArray packed(int(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(packed.data()), &size,
                  reinterpret_cast<const Bytef *>(content.constData()), uLong(content.size()),
                  6) != Z_OK)
        return false;
    packed.truncate(int(size));
    return writeObjects(path,
                        {"<< /Type /Catalog /Pages 2 0 R >>",
                         "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R >>",
                         streamObject("/Filter /FlateDecode", packed)},
                        0);
}

bool PdfFixtures::repeatedPages(const QString &path, int levels)
{
    QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>"};
    int pages = 1;
    for (int level = 0; level < levels; ++level)
        pages *= 10;
    for (int level = 0, count = pages; level < levels; ++level, count /= 10) {
        const QByteArray kid = QByteArray::number(objects.size() + 2) + " 0 R ";
        objects << "<< /Type /Pages /Kids [" + kid.repeated(10) + "] /Count " +
                       QByteArray::number(count) + " >>";
    }
    objects << "<< /Type /Page /MediaBox [0 0 72 72] >>";
    return writeObjects(path, objects, 0, pages + 1);
}

bool PdfFixtures::hugeImage(const QString &path, int side, bool stencil)
{
    const QByteArray red = "1 0 0 rg 0 0 612 792 re f";
    const QByteArray image = "q 0 0 1 rg 612 0 0 792 0 0 cm /Im Do Q";
    const QByteArray format = stencil ? "/ImageMask true /BitsPerComponent 1"
                                      : "/ColorSpace /DeviceRGB /BitsPerComponent 8";
    const qint64 rowBytes = stencil ? (side + 7) / 8 : qint64(side) * 3;
    const QByteArray redPage =
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R >>";
    const QByteArray pixels = zeroBytesDeflated(rowBytes * side);
    return writeObjects(
        path,
        {"<< /Type /Catalog /Pages 2 0 R >>",
         "<< /Type /Pages /Kids [3 0 R 5 0 R 3 0 R] /Count 3 >>", redPage, streamObject("", red),
         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 6 0 R"
         " /Resources << /XObject << /Im 7 0 R >> >> >>",
         streamObject("", image),
         streamObject("/Type /XObject /Subtype /Image /Width " + QByteArray::number(side) +
                          " /Height " + QByteArray::number(side) + " " + format +
                          " /Filter /FlateDecode",
                      pixels)},
        0);
}

bool PdfFixtures::largeImages(const QString &path)
{
    constexpr int kBitSide = 12000;    // 1 bit a pixel: 18 MB
    constexpr int kRgbSide = 3000;     // 27 MB
    constexpr int kIndexedSide = 4500; // 20 MB
    constexpr qint64 kBitRow = (kBitSide + 7) / 8;
    constexpr qint64 kRgbRow = qint64(kRgbSide) * 3;
    QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>", QByteArray()};
    const auto add = [&objects](const QByteArray &object) {
        objects << object;
        return QByteArray::number(objects.size()) + " 0 R";
    };
    const auto image = [](const QByteArray &dict, int side, qint64 rowBytes,
                          const std::function<void(int, uchar *)> &row) {
        return streamObject("/Type /XObject /Subtype /Image /Width " + QByteArray::number(side) +
                                " /Height " + QByteArray::number(side) + " " + dict +
                                " /Filter /FlateDecode",
                            rowsDeflated(rowBytes, side, row));
    };
    const auto rgb = [](uchar *pixel, int r, int g, int b) {
        pixel[0] = uchar(r);
        pixel[1] = uchar(g);
        pixel[2] = uchar(b);
    };

    // Darker towards the bottom right; bit 0 is black.
    const QByteArray gray = add(image(
        "/ColorSpace /DeviceGray /BitsPerComponent 1", kBitSide, kBitRow, [](int y, uchar *row) {
            std::fill(row, row + kBitRow, uchar(0));
            for (int x = 0; x < kBitSide; ++x)
                setBit(row, x, double(x + y) / (2 * kBitSide) <= ditherThreshold(x, y));
        }));
    // Painted fully in the middle, less and less towards the edges; bit 1 leaves the page.
    const QByteArray stencil =
        add(image("/ImageMask true /BitsPerComponent 1", kBitSide, kBitRow, [](int y, uchar *row) {
            std::fill(row, row + kBitRow, uchar(0));
            const double dy = y - kBitSide / 2.0;
            for (int x = 0; x < kBitSide; ++x) {
                const double dx = x - kBitSide / 2.0;
                const double cover = 1.0 - std::sqrt(dx * dx + dy * dy) / (0.6 * kBitSide);
                setBit(row, x, cover <= ditherThreshold(x, y));
            }
        }));
    const QByteArray lines = add(image(
        "/ColorSpace /DeviceRGB /BitsPerComponent 8", kRgbSide, kRgbRow, [&rgb](int y, uchar *row) {
            for (int x = 0; x < kRgbSide; ++x) {
                if (x % 37 == 5 || y % 37 == 5)
                    rgb(row + 3 * x, 0, 0, 0);
                else
                    rgb(row + 3 * x, 155 + 100 * x / kRgbSide, 155 + 100 * y / kRgbSide, 230);
            }
        }));
    // Rings of opacity over a colour gradient, premultiplied against white.
    const auto opacity = [](int x, int y) {
        const double r = std::hypot(x - kRgbSide / 2.0, y - kRgbSide / 2.0);
        return int(std::lround(127.5 + 127.5 * std::cos(r / 40.0)));
    };
    const QByteArray matteMask =
        add(image("/ColorSpace /DeviceGray /BitsPerComponent 8 /Matte [1 1 1]", kRgbSide, kRgbSide,
                  [&opacity](int y, uchar *row) {
                      for (int x = 0; x < kRgbSide; ++x)
                          row[x] = uchar(opacity(x, y));
                  }));
    const QByteArray matte = add(image(
        "/ColorSpace /DeviceRGB /BitsPerComponent 8 /SMask " + matteMask, kRgbSide, kRgbRow,
        [&opacity, &rgb](int y, uchar *row) {
            for (int x = 0; x < kRgbSide; ++x) {
                const int a = opacity(x, y);
                const auto over = [a](int c) { return 255 + (a * (c - 255) + 127) / 255; };
                rgb(row + 3 * x, over(255 * x / kRgbSide), over(40), over(255 * y / kRgbSide));
            }
        }));
    // Eight bands, each alternating two palette entries of unlike colours.
    QByteArray palette;
    for (int i = 0; i < 256; ++i)
        palette += char(i * 37 & 0xff) + QByteArray(1, char(i * 91 & 0xff)) + char(i * 151 & 0xff);
    const QByteArray indexed = add(
        image("/ColorSpace [/Indexed /DeviceRGB 255 <" + palette.toHex() + ">] /BitsPerComponent 8",
              kIndexedSide, kIndexedSide, [](int y, uchar *row) {
                  for (int x = 0; x < kIndexedSide; ++x) {
                      const int band = x * 8 / kIndexedSide;
                      row[x] = uchar((x + y) & 1 ? 7 + 29 * band : 248 - 29 * band);
                  }
              }));
    // Black is keyed out: half of the pixels of a disc in the middle.
    const QByteArray keyed = add(
        image("/ColorSpace /DeviceRGB /BitsPerComponent 8 /Mask [0 0 0 0 0 0]", kRgbSide, kRgbRow,
              [&rgb](int y, uchar *row) {
                  for (int x = 0; x < kRgbSide; ++x) {
                      const double r = std::hypot(x - kRgbSide / 2.0, y - kRgbSide / 2.0);
                      if (r < kRgbSide / 3.0 && (x + y) & 1)
                          rgb(row + 3 * x, 0, 0, 0);
                      else
                          rgb(row + 3 * x, 40 + 200 * x / kRgbSide, 200, 40 + 200 * y / kRgbSide);
                  }
              }));
    const QByteArray masked =
        add(image("/ColorSpace /DeviceRGB /BitsPerComponent 8 /Mask " + stencil, 400, 1200,
                  [&rgb](int y, uchar *row) {
                      for (int x = 0; x < 400; ++x)
                          rgb(row + 3 * x, 255 * x / 400, 255 * y / 400, 128);
                  }));
    const QByteArray shading =
        add("<< /PatternType 2 /Shading << /ShadingType 2 /ColorSpace /DeviceRGB"
            " /Coords [0 0 612 792] /Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0]"
            " /C1 [0 0.6 0] /N 1 >> /Extend [true true] >> >>");
    // Opacity from nothing on the left to all on the right.
    const QByteArray fade = add(streamObject(
        "/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Group << /S /Transparency >>"
        " /Resources << /Shading << /S << /ShadingType 2 /ColorSpace /DeviceGray"
        " /Coords [0 0 612 0] /Function << /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>"
        " /Extend [true true] >> >> >>",
        "/S sh"));
    const QByteArray faded =
        add("<< /Type /ExtGState /SMask << /S /Luminosity /G " + fade + " >> >>");

    const QByteArray cover = " 612 0 0 792 0 0 cm /Im Do Q";
    const QList<QPair<QByteArray, QByteArray>> pages = {
        {"q" + cover, gray},
        {"q 0 0 1 rg" + cover, stencil},
        {"q" + cover, lines},
        {"q" + cover, matte},
        {"q" + cover, indexed},
        {"q" + cover, keyed},
        {"q" + cover, masked},
        {"q /Pattern cs /P scn" + cover, stencil},
        {"q /Faded gs 0 0 1 rg 612 0 0 396 0 396 cm /Im Do Q q /Faded gs 612 0 0 396 0 0 cm /Key "
         "Do Q",
         stencil}};
    QByteArray kids;
    for (const auto &[content, xobject] : pages) {
        const QByteArray contents = add(streamObject("", content));
        kids += add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " + contents +
                    " /Resources << /XObject << /Im " + xobject + " /Key " + keyed +
                    " >> /Pattern << /P " + shading + " >> /ExtGState << /Faded " + faded +
                    " >> >> >>") +
                " ";
    }
    objects[1] =
        "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size()) + " >>";
    return pages.size() == kLargeImagePages && writeObjects(path, objects, 0);
}

QByteArray PdfFixtures::rowsDeflated(qint64 rowBytes, int rows,
                                     const std::function<void(int, uchar *)> &row)
{
    QByteArray line(int(rowBytes), '\0');
    QByteArray out;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    z_stream z{};
    deflateInit(&z, Z_BEST_SPEED);
    for (int y = 0; y <= rows; ++y) {
        const bool end = y == rows;
        if (!end)
            row(y, reinterpret_cast<uchar *>(line.data()));
        z.next_in = reinterpret_cast<Bytef *>(line.data());
        z.avail_in = end ? 0 : uInt(rowBytes);
        do {
            z.next_out = reinterpret_cast<Bytef *>(buffer.data());
            z.avail_out = uInt(buffer.size());
            deflate(&z, end ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer.constData(), buffer.size() - int(z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

QByteArray PdfFixtures::streamObject(const QByteArray &dict, const QByteArray &data)
{
    return "<< " + dict + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data +
           "\nendstream";
}

// A zlib stream of count zero bytes: one block of zeros, flushed so that it stands alone,
// repeated, then the rest and the check sum of the whole.
QByteArray PdfFixtures::zeroBytesDeflated(qint64 count)
{
    constexpr int kChunk = 1 << 20;
    const QByteArray zeros(kChunk, '\0');
    z_stream z{};
    deflateInit(&z, 9);
    const auto deflated = [&z, &zeros](int size, int flush) {
        QByteArray out;
        QByteArray buffer(64 * 1024, Qt::Uninitialized);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        z.avail_in = uInt(size);
        do {
            z.next_out = reinterpret_cast<Bytef *>(buffer.data());
            z.avail_out = uInt(buffer.size());
            deflate(&z, flush);
            out.append(buffer.constData(), buffer.size() - int(z.avail_out));
        } while (z.avail_out == 0);
        return out;
    };
    const qint64 chunks = count / kChunk;
    QByteArray data = deflated(chunks > 0 ? kChunk : 0, Z_FULL_FLUSH);
    if (chunks > 1)
        data += deflated(kChunk, Z_FULL_FLUSH).repeated(int(chunks - 1));
    data += deflated(int(count % kChunk), Z_FINISH);
    deflateEnd(&z);
    // Adler-32 of count zeros: 1 and count, modulo 65521.
    const quint32 sum = quint32(count % 65521) << 16 | 1u;
    data.chop(4);
    for (int shift = 24; shift >= 0; shift -= 8)
        data += char(sum >> shift & 0xff);
    return data;
}

bool PdfFixtures::writeObjects(const QString &path, const QList<QByteArray> &objects,
                               int infoObject, int trailerSize)
{
    QByteArray data = "%PDF-1.4\n";
    QList<int> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << data.size();
        data += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const int xref = data.size();
    data += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int offset : offsets)
        data += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    data += "trailer\n<< /Size " + QByteArray::number(qMax(objects.size() + 1, trailerSize)) +
            " /Root 1 0 R";
    if (infoObject > 0)
        data += " /Info " + QByteArray::number(infoObject) + " 0 R";
    data += " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return writeFile(path, data);
}

bool PdfFixtures::writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}
