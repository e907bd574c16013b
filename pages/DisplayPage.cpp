#include "pages/DisplayPage.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/BackgroundItem.h"
#include "pages/HSPage.h"
#include "pages/ImageItem.h"
#include "pages/PageItemFactory.h"
#include "pages/PageTarget.h"
#include "pages/PageToolHooks.h"
#include "pages/PictureData.h"
#include "pages/PolylineItem.h"
#include "pages/TextItem.h"
#include "pages/VoteItem.h"

#include <QDebug>
#include <QGraphicsPixmapItem>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QStyleOptionGraphicsItem>

namespace {
const qreal kVoteZ = 1000;

QString itemToText(QGraphicsItem *item)
{
    if (auto *stroke = dynamic_cast<PolylineItem *>(item))
        return stroke->toString();
    if (auto *text = dynamic_cast<TextItem *>(item))
        return text->toString();
    if (auto *picture = dynamic_cast<ImageItem *>(item))
        return picture->toString();
    return QString();
}
} // namespace

DisplayPage::DisplayPage(QObject *parent) : QGraphicsScene(parent) {}

DisplayPage::~DisplayPage()
{
    PageToolHooks::clearItems(this);
}

void DisplayPage::clearAllItems()
{
    PageToolHooks::clearItems(this);
    QGraphicsScene::clear();
    m_pVoteItem = nullptr;
    m_pBackground = nullptr;
    m_nBackgroundKey = 0;
    m_baBackground.clear();
}

void DisplayPage::setPage(HSPage &page)
{
    qDebug() << "set page";
    m_bPageSet = true;
    clearAllItems();
    qDebug() << "set page pagesize=" << page.m_size;
    setSceneRect(0, 0, page.m_size.width(), page.m_size.height());

    if (!page.m_baImage.isEmpty()) {
        const bool primed = !m_baPrimed.isEmpty() && page.m_baImage == m_baPrimed;
        m_pBackground = new BackgroundItem(
            primed ? m_primedPixmap
                   : QPixmap::fromImage(PictureData::decodeBase64(page.m_baImage)));
        addItem(m_pBackground);
        m_pBackground->setZValue(0);
        m_pBackground->setPos(0, 0);
        m_nBackgroundKey = m_pBackground->pixmap().cacheKey();
        m_baBackground = page.m_baImage;
    }

    for (const QString &text : qAsConst(page.m_listItems)) {
        if (QGraphicsItem *item = PageItemFactory::fromText(text))
            addItem(item);
    }

    createVoteItem();
    setVoteData(page);
    m_pVoteItem->setVisible(!page.m_strVote.isEmpty());
    m_baPrimed.clear();
    m_primedPixmap = QPixmap();
}

void DisplayPage::primeBackground(const QByteArray &base64, const QPixmap &pixmap)
{
    m_baPrimed = pixmap.isNull() ? QByteArray() : base64;
    m_primedPixmap = pixmap;
}

void DisplayPage::storeToPage(HSPage &page)
{
    if (!m_bPageSet)
        return;
    PageToolHooks::endStrokesIn(this);
    storeItems(page);
}

void DisplayPage::storeItems(HSPage &page)
{
    if (!m_bPageSet)
        return;
    const QList<QGraphicsItem *> ordered = items(Qt::AscendingOrder);
    page.clearImage();
    page.clearItems();
    page.setSize(qRound(sceneRect().width()), qRound(sceneRect().height()));

    for (int i = 0; i < ordered.size(); ++i) {
        QGraphicsItem *item = ordered.at(i);
        const QString text = itemToText(item);
        if (!text.isNull()) {
            page.appendItem(text);
            continue;
        }
        auto *background = dynamic_cast<QGraphicsPixmapItem *>(item);
        if (i != 0 || !background)
            continue;
        // Unchanged since setPage: keep the encoded form it was given.
        if (background == m_pBackground && background->pixmap().cacheKey() == m_nBackgroundKey)
            page.m_baImage = m_baBackground;
        else
            page.setPixmap(background->pixmap());
    }
}

QList<QGraphicsItem *> DisplayPage::pageItems() const
{
    QList<QGraphicsItem *> found;
    const QList<QGraphicsItem *> ordered = items(Qt::AscendingOrder);
    for (QGraphicsItem *item : ordered) {
        if (dynamic_cast<PolylineItem *>(item) || dynamic_cast<TextItem *>(item) ||
            dynamic_cast<ImageItem *>(item))
            found << item;
    }
    return found;
}

void DisplayPage::clear(bool all)
{
    if (all) {
        clearAllItems();
        return;
    }
    PageToolHooks::clearItems(this);
    const QList<QGraphicsItem *> ordered = items(Qt::AscendingOrder);
    QList<QGraphicsItem *> doomed;
    for (int i = ordered.size() - 1; i >= 0; --i) {
        QGraphicsItem *item = ordered.at(i);
        if (i == 0 && dynamic_cast<QGraphicsPixmapItem *>(item))
            continue;
        // Children go with their parents.
        if (!item->parentItem())
            doomed.append(item);
    }
    for (QGraphicsItem *item : qAsConst(doomed)) {
        if (item == m_pBackground)
            m_pBackground = nullptr;
        removeItem(item);
        delete item;
    }
    m_pVoteItem = nullptr;
}

void DisplayPage::renderToPixmap(QPixmap &target)
{
    const QSizeF fitted = sceneRect().size().scaled(QSizeF(target.size()), Qt::KeepAspectRatio);
    target = QPixmap(qRound(fitted.width()), qRound(fitted.height()));
    if (target.isNull())
        return;
    target.fill(Qt::white);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    render(&painter, QRectF(target.rect()), sceneRect(), Qt::KeepAspectRatio);
}

void DisplayPage::paintItems(QPainter *painter, QVector<QGraphicsItem *> items, QWidget *widget)
{
    if (items.isEmpty())
        return;
    // The scene makes each item's style option itself; these only fill the call.
    QVector<QStyleOptionGraphicsItem> options(items.size());
    QGraphicsScene::drawItems(painter, items.size(), items.data(), options.data(), widget);
}

QString DisplayPage::textMessage(TextItem *item)
{
    // Nothing goes out unless a page of the e-book or e-note is addressed.
    return item ? PageTarget::lineMessage(item->scene(), item->toString()) : QString();
}

void DisplayPage::sendText(TextItem *item)
{
    const QString message = textMessage(item);
    if (message.isEmpty())
        return;
    TcpManager::instance()->sendTeacherData(message);
}

void DisplayPage::createVoteItem()
{
    m_pVoteItem = new VoteItem;
    m_pVoteItem->setZValue(kVoteZ);
    m_pVoteItem->setPos(sceneRect().width() - m_pVoteItem->boundingRect().width() - 20, 5);
    m_pVoteItem->setVisible(false);
    addItem(m_pVoteItem);
}

void DisplayPage::setVoteData(HSPage &page)
{
    if (!m_pVoteItem)
        return;
    const QStringList parts = page.m_strVote.split(QLatin1Char('#'));
    if (parts.size() != VoteItem::kOptions)
        return;
    for (const QString &part : parts) {
        const QStringList pair = part.split(QLatin1Char(','));
        if (pair.size() != 2)
            continue;
        const int option = pair.at(0).toInt();
        if (option >= 1 && option <= VoteItem::kOptions)
            m_pVoteItem->setValue(option - 1, pair.at(1).toFloat());
    }
}

void DisplayPage::setShowVote(HSPage &page)
{
    qDebug() << "setShowVote " << page.m_strVote;
    if (!m_pVoteItem)
        createVoteItem();
    setVoteData(page);
    m_pVoteItem->setVisible(!page.m_strVote.isEmpty());
}
