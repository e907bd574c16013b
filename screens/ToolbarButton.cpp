#include "screens/ToolbarButton.h"

#include <QPainter>
#include <QSvgRenderer>

ToolbarButton::ToolbarButton(const QString &text, QWidget *parent)
    : QPushButton(parent), m_strText(text)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

ToolbarButton::~ToolbarButton() = default;

void ToolbarButton::setImageSize(int width, int height)
{
    m_nImageWidth = width;
    m_nImageHeight = height;
}

void ToolbarButton::setImage(const QString &path, bool pressed)
{
    setFixedSize(m_nImageWidth, m_nImageHeight);
    QPixmap image;
    if (!path.endsWith(QLatin1String(".svg"))) {
        image = QPixmap(path);
    } else if (m_nImageWidth > 0 && m_nImageHeight > 0) {
        // A missing or broken file gives a transparent picture.
        QSvgRenderer renderer(path);
        image = QPixmap(m_nImageWidth, m_nImageHeight);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, m_nImageWidth, m_nImageHeight));
    }
    if (pressed)
        m_PressedImage = image;
    else
        m_NormalImage = image;
    update();
}

void ToolbarButton::mousePressEvent(QMouseEvent *)
{
    m_bPressed = true;
    update();
}

void ToolbarButton::mouseReleaseEvent(QMouseEvent *)
{
    m_bPressed = false;
    update();
    emit clicked(false);
}

void ToolbarButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::transparent);
    const QPixmap &image = m_bPressed ? m_PressedImage : m_NormalImage;
    if (!image.isNull())
        painter.drawPixmap(rect(), image, image.rect());
    if (!m_strText.isEmpty())
        painter.drawText(rect(), Qt::AlignHCenter | Qt::AlignVCenter, m_strText);
}
