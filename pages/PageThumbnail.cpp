#include "pages/PageThumbnail.h"

#include "pages/DisplayPage.h"
#include "pages/ImageItem.h"
#include "pages/InkRaster.h"
#include "pages/ItemTag.h"

#include <QGraphicsItem>
#include <QPainter>
#include <QSet>

// The top-level items the scene renders, bottom first: those whose items meet the page.
QList<QGraphicsItem *> PageThumbnail::shown(DisplayPage *scene)
{
    const QRectF page = scene->sceneRect();
    QList<QGraphicsItem *> found;
    QSet<QGraphicsItem *> tops;
    const QList<QGraphicsItem *> items = scene->items(Qt::AscendingOrder);
    for (QGraphicsItem *item : items) {
        if (!item->isVisible() || qFuzzyIsNull(item->effectiveOpacity()) ||
            (item->flags() & QGraphicsItem::ItemHasNoContents) ||
            !InkRaster::searchRect(item).intersects(page))
            continue;
        QGraphicsItem *top = item->topLevelItem();
        if (!tops.contains(top)) {
            tops.insert(top);
            found.append(top);
        }
    }
    return found;
}

// Paints as QGraphicsScene::render paints the page into the whole target, keeping its aspect.
void PageThumbnail::paint(DisplayPage *scene, QPixmap &target,
                          const QVector<QGraphicsItem *> &items)
{
    if (items.isEmpty())
        return;
    const QRectF page = scene->sceneRect();
    const QRectF whole(target.rect());
    const qreal ratio = qMin(whole.width() / page.width(), whole.height() / page.height());
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setClipRect(whole, Qt::IntersectClip);
    painter.setWorldTransform(QTransform()
                                  .translate(whole.left(), whole.top())
                                  .scale(ratio, ratio)
                                  .translate(-page.left(), -page.top()),
                              true);
    scene->paintItems(&painter, items, nullptr);
}

QPixmap PageThumbnail::draw(DisplayPage *scene, const QSize &size, int row)
{
    const QRectF page = scene->sceneRect();
    const QSizeF fitted = page.size().scaled(QSizeF(size), Qt::KeepAspectRatio);
    const QSize target(qRound(fitted.width()), qRound(fitted.height()));
    if (target.isEmpty()) {
        forget();
        return QPixmap(target);
    }
    const QList<QGraphicsItem *> items = shown(scene);
    int bottom = 0;
    while (bottom < items.size() && InkRaster::holdsKind(items.at(bottom)))
        ++bottom;
    bool kept = row == m_nRow && page == m_sceneRect && target == m_size &&
                m_drawn.size() <= bottom && !m_base.isNull();
    for (int i = 0; kept && i < m_drawn.size(); ++i) {
        QGraphicsItem *item = items.at(i);
        kept = ItemTag::of(item) == m_drawn.at(i).tag &&
               item->sceneBoundingRect() == m_drawn.at(i).rect;
    }
    if (!kept) {
        m_nRow = row;
        m_sceneRect = page;
        m_size = target;
        m_drawn.clear();
        m_bPictures = false;
        m_base = QPixmap(target);
        m_base.fill(Qt::white);
    }
    QVector<QGraphicsItem *> added;
    for (int i = m_drawn.size(); i < bottom; ++i) {
        QGraphicsItem *item = items.at(i);
        added.append(item);
        m_drawn.append(Drawn{ItemTag::of(item), item->sceneBoundingRect()});
        m_bPictures = m_bPictures || dynamic_cast<ImageItem *>(item);
    }
    paint(scene, m_base, added);
    if (bottom == items.size())
        return m_base;
    QPixmap thumbnail = m_base.copy();
    paint(scene, thumbnail, items.mid(bottom).toVector());
    return thumbnail;
}

void PageThumbnail::forget()
{
    m_nRow = -1;
    m_drawn.clear();
    m_base = QPixmap();
    m_bPictures = false;
}

void PageThumbnail::picturesChanged()
{
    if (m_bPictures)
        forget();
}
