#ifndef BOOKPAGE_H
#define BOOKPAGE_H

#include <QByteArray>
#include <QImage>
#include <QMetaType>
#include <QSize>
#include <QString>

// One page of a book as the opening workers hand it over. A page is either written as a
// page file (filePath set) or carried as its image.
struct BookPage
{
    int index = -1; // 0-based
    QSize size;     // size of the page image
    QImage thumbnail;
    QByteArray packedThumbnail; // the thumbnail as PackedThumbnail keeps it
    QImage image;     // the page image, when it is not in a page file, and of the first page
    QString filePath; // the page file written, else empty

    bool inFile() const { return !filePath.isEmpty(); }
};

Q_DECLARE_METATYPE(BookPage)

#endif // BOOKPAGE_H
