#include "pages/ItemText.h"

#include "pages/DecimalText.h"

#include <QtGlobal>
#include <cmath>

namespace {
const QChar kField('#');
const QChar kComma(',');
const QChar kSpace(' ');
const QString kTextSeparator = QStringLiteral("$$");

// Cuts text at separator into exactly count fields, without building a list: a peer's text
// may hold millions of separators. False for any other count.
bool cutFields(const QStringRef &text, QChar separator, QStringRef *fields, int count)
{
    int start = 0;
    for (int k = 0; k < count - 1; ++k) {
        const int at = text.indexOf(separator, start);
        if (at < 0)
            return false;
        fields[k] = text.mid(start, at - start);
        start = at + 1;
    }
    if (text.indexOf(separator, start) >= 0)
        return false;
    fields[count - 1] = text.mid(start);
    return true;
}

int colorComponent(const QStringRef &piece, bool *exact)
{
    bool ok = false;
    const int value = piece.toInt(&ok);
    *exact = *exact && ok && value >= 0 && value <= 255;
    return qBound(0, value, 255);
}

// A coordinate read from text; non-finite values count 0.
qreal finiteOrZero(const QStringRef &piece)
{
    const double value = piece.toDouble();
    return std::isfinite(value) ? value : 0.0;
}

int pictureSide(const QStringRef &piece)
{
    const double value = piece.toDouble();
    if (!std::isfinite(value) || value <= 0.0)
        return 0;
    return int(qMin(value, double(ItemText::kMaxPictureSide)));
}

// The point field: "x,y" tokens separated by spaces, read in one pass. A token that is
// not two numbers is skipped; at most kMaxStrokePoints tokens are looked at. A field
// without any space is a single token and gives no points. True when every token but the
// empty one after the last space was a point.
bool readPoints(const QStringRef &field, QPolygonF &points)
{
    points.clear();
    if (field.indexOf(kSpace) < 0)
        return false;
    const QChar *p = field.unicode();
    const int n = field.size();
    int start = 0;
    int tokens = 0;
    for (int i = 0; i <= n && tokens < ItemText::kMaxStrokePoints; ++i) {
        if (i < n && p[i] != kSpace)
            continue;
        ++tokens;
        int comma = -1;
        bool pair = true;
        for (int j = start; j < i && pair; ++j) {
            if (p[j] == kComma) {
                pair = comma < 0;
                comma = j;
            }
        }
        if (comma >= 0 && pair) {
            const float x = DecimalText::toFloat(p + start, comma - start);
            const float y = DecimalText::toFloat(p + comma + 1, i - comma - 1);
            if (std::isfinite(x) && std::isfinite(y))
                points.append(QPointF(x, y));
        }
        start = i + 1;
    }
    return points.size() == tokens - 1 && start == n + 1 && field.endsWith(kSpace);
}
} // namespace

QString ItemText::number(double value)
{
    return QString::number(value, 'g', 6);
}

qreal ItemText::storedCoordinate(double value)
{
    // Whole numbers of up to six digits are written and read exactly.
    if (std::fabs(value) < 1e6 && std::floor(value) == value)
        return value;
    const QString text = number(value);
    return DecimalText::toFloat(text.constData(), text.size());
}

bool ItemText::readStroke(const QString &text, Stroke &out)
{
    QStringRef parts[4];
    if (!cutFields(QStringRef(&text), kField, parts, 4) || parts[0] != QLatin1String("3"))
        return false;
    QStringRef rgba[4];
    bool exact = true;
    if (cutFields(parts[1], kComma, rgba, 4)) {
        out.hasColor = true;
        const int red = colorComponent(rgba[0], &exact);
        const int green = colorComponent(rgba[1], &exact);
        const int blue = colorComponent(rgba[2], &exact);
        out.color = QColor(red, green, blue, colorComponent(rgba[3], &exact));
    } else {
        exact = false;
    }
    bool widthRead = false;
    out.width = parts[2].toInt(&widthRead);
    exact = readPoints(parts[3], out.points) && widthRead && exact;
    out.exact = exact;
    return true;
}

bool ItemText::readPicture(const QString &text, Picture &out)
{
    QStringRef parts[4];
    if (!cutFields(QStringRef(&text), kField, parts, 4) || parts[0] != QLatin1String("5"))
        return false;
    out.id = parts[1].toString();
    QStringRef geometry[4];
    if (!cutFields(parts[2], kComma, geometry, 4))
        return true;
    out.hasGeometry = true;
    out.pos = QPointF(finiteOrZero(geometry[0]), finiteOrZero(geometry[1]));
    out.width = pictureSide(geometry[2]);
    out.height = pictureSide(geometry[3]);
    out.data = QByteArray::fromBase64(parts[3].toLatin1());
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
    QStringRef geometry[4];
    if (!cutFields(text.midRef(first + 2, second - first - 2), kComma, geometry, 4))
        return true;
    out.hasGeometry = true;
    out.pos = QPointF(finiteOrZero(geometry[0]), finiteOrZero(geometry[1]));
    const double width = geometry[2].toDouble();
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
