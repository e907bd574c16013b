#ifndef PAGEFILE_H
#define PAGEFILE_H

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

// The bytes of a page file "page%1.crp" (QDataStream version 16, big-endian):
// size, has-picture flag, Base64 picture, item texts, vote text, init flag.
class PageFile
{
public:
    static constexpr qint64 kMaxFileSize = 512LL * 1024 * 1024;

    struct Content
    {
        QSize size{-1, -1};
        bool hasPicture = false;
        QByteArray image; // Base64 text of a PNG file
        QList<QString> items;
        QString vote;
        bool init = false;
    };

    static QByteArray encode(const Content &content);
    // Reads what is complete into out (fields not reached keep their values);
    // false when the bytes are short or malformed.
    static bool decode(const QByteArray &bytes, Content &out);
};

#endif // PAGEFILE_H
