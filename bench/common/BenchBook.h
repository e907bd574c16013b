#ifndef BENCHBOOK_H
#define BENCHBOOK_H

#include <QString>

// Books for the benchmarks: letter pages with two columns of text, a chart of curves and
// filled shapes, written with Qt's PDF writer.
class BenchBook
{
public:
    static bool write(const QString &path, int pages);
};

#endif // BENCHBOOK_H
