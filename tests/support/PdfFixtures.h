#ifndef PDFFIXTURES_H
#define PDFFIXTURES_H

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

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

private:
    // Writes objects 1..n with a matching cross-reference table; object 1 is the catalog.
    static bool writeObjects(const QString &path, const QList<QByteArray> &objects, int infoObject);
    static bool writeFile(const QString &path, const QByteArray &data);
};

#endif // PDFFIXTURES_H
