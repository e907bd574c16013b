#include "screens/EBookItemDelegate.h"

#include "pages/DisplayPage.h"
#include "pages/PictureCache.h"

#include <QDebug>
#include <QPainter>

EBookItemDelegate::EBookItemDelegate() : QAbstractItemDelegate(nullptr)
{
    connect(PictureCache::instance(), &PictureCache::pictureReady, this,
            [this] { m_drawing.picturesChanged(); });
}

EBookItemDelegate::~EBookItemDelegate() = default;

QSize EBookItemDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(m_nCellWidth, m_nCellHeight);
}

void EBookItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const int row = index.row();
    if (!validRow(row))
        return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    QPen pen(QColor(167, 186, 208, 255));
    pen.setWidth(1);
    const QRect cell = option.rect;
    if (option.state & QStyle::State_Selected) {
        painter->fillRect(cell, QColor(255, 199, 84, 180));
        pen.setColor(QColor(88, 93, 250, 255));
    }

    // Inner rectangle: 5 pixels in at the left, top and right, 25 at the bottom for the number.
    const QRect inner(QPoint(cell.left() + 5, cell.top() + 5),
                      QPoint(cell.right() - 5, cell.bottom() - 25));
    const int iw = inner.width();
    const int ih = inner.height();
    const QPixmap pixmap = m_store.pixmap(row);
    const int pw = pixmap.width();
    const int ph = pixmap.height();
    if (pw > 0 && ph > 0 && iw > 0 && ih > 0) {
        QRect target;
        if (double(pw) / ph > double(iw) / ih) {
            const int h = iw * ph / pw;
            target = QRect(inner.left(), inner.top() + (ih - h) / 2, iw, h);
        } else {
            const int w = pw * ih / ph;
            target = QRect(inner.left() + (iw - w) / 2, inner.top(), w, ih);
        }
        painter->drawPixmap(target, pixmap, pixmap.rect());
        pen.setWidth(3);
        painter->setPen(pen);
        painter->drawRect(target);
    }
    painter->setPen(QPen(Qt::black));
    painter->setFont(numberFont());
    painter->drawText(cell, Qt::AlignHCenter | Qt::AlignBottom, QString::number(row + 1));
    painter->restore();
}

QFont EBookItemDelegate::numberFont()
{
    return QFont(QStringLiteral("Arial"), 10);
}

void EBookItemDelegate::clear()
{
    m_store.clear();
    m_drawing.forget();
}

void EBookItemDelegate::refresh(int row)
{
    if (!validRow(row)) {
        qDebug() << "EBookItemDelegate::refresh row out of range" << row;
        return;
    }
    if (!m_scene) {
        m_store.replace(row, QPixmap(m_nCellWidth, m_nCellHeight));
        return;
    }
    m_store.replace(row, m_drawing.draw(m_scene, QSize(m_nCellWidth, m_nCellHeight), row));
}

void EBookItemDelegate::prepare(int row)
{
    if (m_scene && validRow(row))
        m_drawing.draw(m_scene, QSize(m_nCellWidth, m_nCellHeight), row);
}

void EBookItemDelegate::addPixmap(const QPixmap &pixmap)
{
    const QSize cell(m_nCellWidth, m_nCellHeight);
    const bool fitted = pixmap.width() <= cell.width() && pixmap.height() <= cell.height() &&
                        (pixmap.width() == cell.width() || pixmap.height() == cell.height());
    if (pixmap.isNull() || fitted)
        m_store.append(pixmap);
    else
        m_store.append(pixmap.scaled(cell, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void EBookItemDelegate::addPacked(const QByteArray &packed)
{
    m_store.appendPacked(packed);
}

void EBookItemDelegate::addBlank()
{
    m_store.append(QPixmap(m_nCellWidth, m_nCellHeight));
}
