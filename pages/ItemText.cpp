#include "pages/ItemText.h"

#include <QStringList>
#include <QVector>
#include <QtGlobal>
#include <cmath>

namespace {
const QChar kField('#');
const QChar kComma(',');
const QChar kSpace(' ');
const QString kTextSeparator = QStringLiteral("$$");

int colorComponent(const QString &piece)
{
    return qBound(0, piece.toInt(), 255);
}

// A coordinate read from text; non-finite values count 0.
qreal finiteOrZero(const QString &piece)
{
    const double value = piece.toDouble();
    return std::isfinite(value) ? value : 0.0;
}

int pictureSide(const QString &piece)
{
    const double value = piece.toDouble();
    if (!std::isfinite(value) || value <= 0.0)
        return 0;
    return int(qMin(value, double(ItemText::kMaxPictureSide)));
}
} // namespace

QString ItemText::number(double value)
{
    return QString::number(value, 'g', 6);
}

bool ItemText::readStroke(const QString &text, Stroke &out)
{
    const QVector<QStringRef> parts = text.splitRef(kField);
    if (parts.size() != 4 || parts.at(0) != QLatin1String("3"))
        return false;

    const QStringList rgba = parts.at(1).toString().split(kComma);
    if (rgba.size() == 4) {
        out.hasColor = true;
        out.color = QColor(colorComponent(rgba.at(0)), colorComponent(rgba.at(1)),
                           colorComponent(rgba.at(2)), colorComponent(rgba.at(3)));
    }
    out.width = parts.at(2).toInt();

    out.points.clear();
    const QVector<QStringRef> tokens = parts.at(3).split(kSpace);
    if (tokens.size() < 2)
        return true;
    for (const QStringRef &token : tokens) {
        if (out.points.size() >= kMaxStrokePoints)
            break;
        const int comma = token.indexOf(kComma);
        if (comma < 0 || token.indexOf(kComma, comma + 1) >= 0)
            continue;
        const float x = token.left(comma).toFloat();
        const float y = token.mid(comma + 1).toFloat();
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        out.points.append(QPointF(x, y));
    }
    return true;
}

bool ItemText::readPicture(const QString &text, Picture &out)
{
    const QVector<QStringRef> parts = text.splitRef(kField);
    if (parts.size() != 4 || parts.at(0) != QLatin1String("5"))
        return false;
    out.id = parts.at(1).toString();
    const QStringList geometry = parts.at(2).toString().split(kComma);
    if (geometry.size() != 4)
        return true;
    out.hasGeometry = true;
    out.pos = QPointF(finiteOrZero(geometry.at(0)), finiteOrZero(geometry.at(1)));
    out.width = pictureSide(geometry.at(2));
    out.height = pictureSide(geometry.at(3));
    out.data = QByteArray::fromBase64(parts.at(3).toLatin1());
    return true;
}

bool ItemText::readText(const QString &text, Text &out)
{
    if (!text.startsWith(QLatin1String("6#")))
        return false;
    // Id up to the first "$$", geometry up to the second, HTML all the rest.
    const int first = text.indexOf(kTextSeparator, 2);
    if (first < 0)
        return false;
    const int second = text.indexOf(kTextSeparator, first + 2);
    if (second < 0)
        return false;
    out.id = text.mid(2, first - 2);
    const QStringList geometry = text.mid(first + 2, second - first - 2).split(kComma);
    if (geometry.size() != 4)
        return true;
    out.hasGeometry = true;
    out.pos = QPointF(finiteOrZero(geometry.at(0)), finiteOrZero(geometry.at(1)));
    const double width = geometry.at(2).toDouble();
    out.textWidth = std::isfinite(width) ? width : -1.0;
    out.html = text.mid(second + 2);
    const int nul = out.html.indexOf(QChar(0));
    if (nul >= 0)
        out.html.truncate(nul);
    return true;
}

QString ItemText::writeStroke(const QColor &color, int width, const QList<QPointF> &points)
{
    QString text;
    text.reserve(24 + points.size() * 16);
    text += QLatin1String("3#");
    text += QString::number(color.red()) + kComma + QString::number(color.green()) + kComma +
            QString::number(color.blue()) + kComma + QString::number(color.alpha());
    text += kField + QString::number(width) + kField;
    for (const QPointF &point : points) {
        text += number(point.x());
        text += kComma;
        text += number(point.y());
        text += kSpace;
    }
    return text;
}

QString ItemText::writePicture(const QString &id, const QPointF &pos, qreal width, qreal height,
                               const QByteArray &data)
{
    return QLatin1String("5#") + id + kField + number(pos.x()) + kComma + number(pos.y()) + kComma +
           number(width) + kComma + number(height) + kField + QString::fromLatin1(data.toBase64());
}

QString ItemText::writeText(const QString &id, const QPointF &pos, qreal textWidth, qreal height,
                            const QString &html)
{
    return QLatin1String("6#") + id + kTextSeparator + number(pos.x()) + kComma + number(pos.y()) +
           kComma + number(textWidth) + kComma + number(height) + kTextSeparator + html;
}
