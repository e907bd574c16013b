#ifndef PDFFIXTURES_H
#define PDFFIXTURES_H

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

#include <functional>

// Makes small PDF files for tests and benchmarks (libharu, or written by hand where
// libharu cannot: no pages, raw title bytes).
class PdfFixtures
{
public:
    struct Page
    {
        double width = 612.0; // points
        double height = 792.0;
        int rotate = 0;
        QRectF box; // filled rectangle in points from the top left; none when empty
        QColor colour = Qt::red;
        bool text = false;    // lines of text
        bool drawing = false; // lines, curves and filled shapes
        int rules = 0;        // thin black lines across the page, evenly apart
    };

    static bool write(const QString &path, const QList<Page> &pages);
    // A book of text and vector drawings on US-letter pages.
    static bool book(const QString &path, int pageCount);
    // Letter pages each filled with its own colour (pageColour), so their order can be seen.
    static bool colouredPages(const QString &path, int pageCount);
    static QColor pageColour(int index);
    // Letter pages with a user password, so they cannot be opened without one.
    static bool encrypted(const QString &path);
    // A valid PDF whose page tree is empty.
    static bool zeroPages(const QString &path);
    // A one-page PDF whose information dictionary holds these title bytes (empty: none).
    static bool withTitle(const QString &path, const QByteArray &title);
    // A PDF header followed by garbage.
    static bool damaged(const QString &path);
    static bool textFile(const QString &path);
    // A few hundred bytes whose page tree claims `claimed` pages but holds only the first.
    static bool claimingPages(const QString &path, int claimed);
    // Red letter pages, the one of that 0-based index with a page dictionary Poppler refuses
    // (its contents an integer), so that neither it nor any page after it loads.
    static bool damagedPage(const QString &path, int pageCount, int damaged);
    // One letter page of a scatter plot: `points` small blue squares, spread evenly over the
    // page at random, each filled on its own, as a plotting program writes them.
    static bool scatterPlot(const QString &path, int points);
    // 10^levels small pages from a few hundred bytes: every node of the page tree has ten kids,
    // all the same node.
    static bool repeatedPages(const QString &path, int levels);
    // Three letter pages, red, one image and red: the image is side x side RGB pixels of black,
    // compressed to about side * side / 350 bytes, that cover the middle page. A stencil is a
    // 1-bit image mask instead, that paints the page blue.
    static bool hugeImage(const QString &path, int side, bool stencil = false);
    // Letter pages each covered by images too large to be drawn as they are, whose content
    // shows how they are reduced: a 1-bit gray image and a stencil dithered in 2 x 2 cells,
    // RGB with 1-pixel lines, RGB premultiplied against a /Matte with its soft mask, indexed
    // pixels alternating two far palette colours, RGB with a colour-key mask, an image with a
    // large stencil /Mask, the stencil filled with a shading pattern, and the stencil and the
    // colour-keyed image under a soft mask that fades them in from the left.
    static bool largeImages(const QString &path);
    static constexpr int kLargeImagePages = 9;

private:
    // Writes objects 1..n with a matching cross-reference table; object 1 is the catalog.
    // The trailer's /Size is trailerSize when larger than n + 1.
    static bool writeObjects(const QString &path, const QList<QByteArray> &objects, int infoObject,
                             int trailerSize = 0);
    static QByteArray streamObject(const QByteArray &dict, const QByteArray &data);
    static QByteArray zeroBytesDeflated(qint64 count);
    // rows rows of rowBytes bytes each, made one at a time by row(y, bytes), deflated.
    static QByteArray rowsDeflated(qint64 rowBytes, int rows,
                                   const std::function<void(int, uchar *)> &row);
    static bool writeFile(const QString &path, const QByteArray &data);
};

#endif // PDFFIXTURES_H
