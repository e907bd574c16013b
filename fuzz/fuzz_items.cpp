// Item text readers: strokes, pictures and texts from peers and page files.
#include "pages/DecimalText.h"
#include "pages/ImageItem.h"
#include "pages/ItemText.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void check(bool condition)
{
    if (!condition)
        abort();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    qSetMessagePattern(QStringLiteral("%{if-critical}%{message}%{endif}"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));

    // Numbers are read fast to exactly what Qt reads.
    const QString number = text.left(40);
    const float fast = DecimalText::toFloat(number.constData(), number.size());
    const float qt = number.toFloat();
    check(memcmp(&fast, &qt, sizeof(float)) == 0);

    PolylineItem stroke;
    stroke.fromString(text);
    const QString strokeText = stroke.toString();
    // The text read is given back only when it is the very text written.
    check(strokeText == ItemText::writeStroke(stroke.m_color, stroke.m_nWidth, stroke.m_points));
    PolylineItem strokeAgain;
    strokeAgain.fromString(strokeText);
    check(strokeAgain.toString() == strokeText);
    check(stroke.m_points.size() <= ItemText::kMaxStrokePoints);

    ImageItem picture;
    picture.fromString(text);
    check(picture.rect().width() <= ItemText::kMaxPictureSide);
    check(picture.rect().height() <= ItemText::kMaxPictureSide);
    ImageItem pictureAgain;
    pictureAgain.fromString(picture.toString());
    check(pictureAgain.toString() == picture.toString());

    TextItem textItem;
    textItem.fromString(text);
    ItemText::Text parsed;
    if (ItemText::readText(text, parsed))
        check(textItem.m_strId == parsed.id);

    QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    stroke.paint(&painter, nullptr);
    picture.paint(&painter, nullptr);

    // Strokes one after the other on a page, the later going on from the earlier where they
    // are pieces of one: drawn, and taken off again in any order.
    QGraphicsScene scene;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines.mid(0, 4)) {
        auto *piece = new PolylineItem;
        piece->fromString(line);
        scene.addItem(piece);
    }
    scene.render(&painter);
    const QList<QGraphicsItem *> pieces = scene.items(Qt::AscendingOrder);
    if (!pieces.isEmpty())
        delete pieces.at(pieces.size() / 2);
    scene.render(&painter);
    return 0;
}
