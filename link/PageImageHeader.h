#ifndef PAGEIMAGEHEADER_H
#define PAGEIMAGEHEADER_H

#include <QByteArray>

// The teacher's page-image header: "sync@" F0 "#" page "#" width "," height "," flag "," size.
class PageImageHeader
{
public:
    static constexpr int MaxHeaderSize = 256;
    static constexpr qint64 MaxImageSize = 64 * 1024 * 1024;
    // Bound of the size fields as read; whether a page of that size is taken (the page image
    // limit) is decided where e-note pages are made.
    static constexpr int MaxSide = 16384;

    // False for anything but a well-formed header within the limits. A non-zero flag with
    // size 0 reads as a page without an image.
    static bool parse(const QByteArray &data, PageImageHeader *header);

    int page = 0;
    int width = 0;
    int height = 0;
    bool withImage = false;
    qint64 size = 0;
};

#endif // PAGEIMAGEHEADER_H
