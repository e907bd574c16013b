#ifndef BENCHBOOK_H
#define BENCHBOOK_H

#include <QSizeF>
#include <QString>

class QPainter;

// Books for the benchmarks: pages with two columns of text, a chart of curves and filled
// shapes, written with Qt's PDF writer.
class BenchBook
{
public:
    // US-letter pages.
    static bool write(const QString &path, int pages);
    // Square pages of side points, the letter page's content scaled up to fill them.
    static bool writeLarge(const QString &path, int pages, double side);

private:
    static bool writePages(const QString &path, int pages, const QSizeF &points);
    static void drawPage(QPainter &painter, int page);
};

#endif // BENCHBOOK_H
