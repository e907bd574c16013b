#ifndef ITEMTEXT_H
#define ITEMTEXT_H

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QString>

// Reading and writing of item texts: "3#..." strokes, "5#..." pictures, "6#..." texts.
// Readers take text from peers and files, so every field is bounded and checked.
class ItemText
{
public:
    static constexpr int kMaxStrokePoints = 100000;
    static constexpr int kMaxPictureSide = 16384;

    struct Stroke
    {
        bool hasColor = false;
        QColor color;
        int width = 0;
        QPolygonF points; // empty: the item keeps its points
        // Every field was read whole: the text says exactly what was read.
        bool exact = false;
    };

    struct Picture
    {
        QString id;
        bool hasGeometry = false; // position, size and data below are valid
        QPointF pos;
        int width = 0;
        int height = 0;
        QByteArray data; // PNG file bytes
    };

    struct Text
    {
        QString id;
        bool hasGeometry = false; // position, width and html below are valid
        QPointF pos;
        qreal textWidth = -1;
        QString html;
    };

    // Each reader returns false when the text is not of its type and shape.
    static bool readStroke(const QString &text, Stroke &out);
    static bool readPicture(const QString &text, Picture &out);
    static bool readText(const QString &text, Text &out);

    static QString writeStroke(const QColor &color, int width, const QList<QPointF> &points);
    static QString writePicture(const QString &id, const QPointF &pos, qreal width, qreal height,
                                const QByteArray &data);
    static QString writeText(const QString &id, const QPointF &pos, qreal textWidth, qreal height,
                             const QString &html);

    // A number as item texts write it: format 'g', 6 significant digits.
    static QString number(double value);
    // A stroke coordinate as its text keeps it: written as number() writes it, read back.
    static qreal storedCoordinate(double value);
};

#endif // ITEMTEXT_H
