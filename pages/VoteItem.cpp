#include "pages/VoteItem.h"

#include <QDebug>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QScreen>

#include <cmath>

namespace {
const double kDegToRad = 0.017453292222222222;

// Rotation about a centre, in screen coordinates (y grows downward).
QPointF rotateAbout(const QPointF &p, const QPointF &o, double degrees)
{
    const double r = degrees * kDegToRad;
    const double c = std::cos(r);
    const double s = std::sin(r);
    return QPointF(o.x() + (p.x() - o.x()) * c - (o.y() - p.y()) * s,
                   o.y() - ((o.y() - p.y()) * c + (p.x() - o.x()) * s));
}

// Values are shares of 1; anything else is drawn clamped.
float drawnValue(float value)
{
    if (!std::isfinite(value))
        return 0.0f;
    return qBound(0.0f, value, 1.0f);
}
} // namespace

VoteItem::VoteItem() : m_rect(chartRect())
{
    m_colors[0] = QColor(13, 142, 207);
    m_colors[1] = QColor(128, 102, 0);
    m_colors[2] = QColor(255, 159, 3);
    m_colors[3] = QColor(102, 210, 2);
    m_colors[4] = QColor(63, 72, 204);
    m_colors[5] = QColor(175, 220, 6);
    for (int i = 0; i < kOptions; ++i)
        m_values.insert(i, 0.0f);
    m_pixmap = QPixmap(int(m_rect.width()) - 5, int(m_rect.height()));
    m_pixmap.fill(Qt::transparent);
}

VoteItem::~VoteItem() = default;

QRectF VoteItem::chartRect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect geometry = screen->geometry();
        if (geometry.width() >= 1280 && geometry.height() >= 800) {
            const int w = int(geometry.width() * 0.31);
            const int h = int(geometry.height() * 0.48);
            qDebug() << "VoteItem::boundingRect()" << w << h;
            return QRectF(0, 0, w, h);
        }
    }
    return QRectF(0, 0, 450, 450);
}

QRectF VoteItem::boundingRect() const
{
    return m_rect;
}

void VoteItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->drawPixmap(QPointF(5, 0), m_pixmap);
}

void VoteItem::setValue(int index, float value)
{
    m_values[index] = value;
    renderChart();
    update();
}

QString VoteItem::voteText() const
{
    QStringList pairs;
    for (int option = 1; option <= kOptions; ++option)
        pairs << QString::number(option) + QLatin1Char(',') +
                     QString::number(double(value(option - 1)), 'g', 6);
    return pairs.join(QLatin1Char('#'));
}

void VoteItem::drawArrowHead(QPainter &painter, const QPointF &start, const QPointF &tip) const
{
    const QPen pen = painter.pen();
    const double length = pen.widthF();
    const QPointF dir = start - tip;
    const double distance = std::hypot(dir.x(), dir.y());
    if (length > 0 && distance <= 0)
        return;
    const QPointF base = length > 0 ? tip + dir * (length / distance) : tip;

    QPolygonF head;
    head << rotateAbout(base, tip, -30) << rotateAbout(base, tip, 30) << tip;
    QPen headPen(pen);
    headPen.setJoinStyle(Qt::MiterJoin);
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setPen(headPen);
    painter.drawPolygon(head, Qt::OddEvenFill);
    painter.setCompositionMode(mode);
    painter.setPen(pen);
}

void VoteItem::renderChart()
{
    const double W = m_pixmap.width();
    const double H = m_pixmap.height();
    m_pixmap.fill(Qt::transparent);
    QPainter painter(&m_pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);

    QPen pen(QBrush(Qt::black), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(pen);
    painter.drawLine(QPointF(5, H - 5), QPointF(5, 5));
    drawArrowHead(painter, QPointF(5, H - 5), QPointF(5, 5));
    painter.drawLine(QPointF(5, H - 5), QPointF(W - 5, H - 5));
    drawArrowHead(painter, QPointF(5, H - 5), QPointF(W - 5, H - 5));

    pen.setWidth(1);
    painter.setPen(pen);

    for (int i = 0; i < kOptions; ++i) {
        const double y = 5 + 25 * i;
        painter.setBrush(m_colors[i]);
        painter.drawRect(QRectF(W - 65, y, 34, 19));
        painter.setBrush(Qt::NoBrush);
        painter.drawText(QRectF(W - 25, y, 25, 20), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(i + 1));
    }

    const double b = (W - 95) / 12.0;
    for (int i = 0; i < kOptions; ++i) {
        const double v = drawnValue(value(i));
        double h = (H - 2 * b) * v;
        if (h == 0)
            h = 5;
        const double x0 = (2 * i + 1) * b;
        const double x1 = x0 + b;
        const double base = H - 5;
        const double top = base - h;
        const double d = b / 4;

        QPainterPath path;
        path.moveTo(x0, base);
        path.lineTo(x0, top);
        path.lineTo(x0 + d, top - 2 * d);
        path.lineTo(x1 + d, top - 2 * d);
        path.lineTo(x1 + d, base - d);
        path.lineTo(x1, base);
        path.lineTo(x1, top);
        path.lineTo(x0, top);
        path.moveTo(x1, top);
        path.lineTo(x1 + d, top - 2 * d);
        path.moveTo(x0, base);
        path.lineTo(x1, base);
        path.closeSubpath();
        path.addRect(QRectF(x0, top, b, h));
        painter.fillPath(path, QBrush(m_colors[i], Qt::SolidPattern));
        painter.drawPath(path);

        const QRect label(int(x0 - b + 5), int(top - 2 * d - b), int(2 * b), int(b));
        painter.drawText(label, Qt::AlignCenter, QString::asprintf("%.1f", v * 100) + "%");
    }
    painter.end();
}
