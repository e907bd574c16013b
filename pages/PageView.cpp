#include "pages/PageView.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/ImageItem.h"
#include "pages/ItemKey.h"
#include "pages/PageItemFactory.h"
#include "pages/PageTarget.h"
#include "pages/PictureCache.h"
#include "pages/PictureData.h"
#include "pages/TaskToolManager.h"
#include "pages/TextItem.h"
#include "pages/WholeRender.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <cmath>
#include <vector>

namespace {
// Largest page image file taken from the page-image channel.
const qint64 kMaxPageImageFile = 64LL * 1024 * 1024;
const int kPreviewSide = 500;
// Item data: the index a kept item had in its page before the page was resized.
const int kOldIndex = 0;
} // namespace

PageView::PageView(bool eNote, QWidget *parent)
    : QGraphicsView(parent),
      m_layer(
          &m_scene,
          [this](QPainter *painter, const QRectF &rect) { drawBackground(painter, rect); },
          [this] { viewport()->update(); }, viewport())
{
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setCacheMode(QGraphicsView::CacheBackground);
    // The items are handed to drawItems, which paints the committed ink from the layer.
    setOptimizationFlag(QGraphicsView::IndirectPainting, true);
    setRenderHints(QPainter::TextAntialiasing | QPainter::Antialiasing);
    setAttribute(Qt::WA_AcceptTouchEvents);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scene.setSceneRect(0, 0, 1, 1);
    setScene(&m_scene);
    m_document.m_strFolder =
        eNote ? Settings::instance()->tempNotesDir() : Settings::instance()->tempBooksDir();

    m_thumbnailTimer.setSingleShot(true);
    m_thumbnailTimer.setInterval(ThumbnailDelay);
    connect(&m_thumbnailTimer, SIGNAL(timeout()), this, SIGNAL(updateThunmbianl()));
    // A thumbnail drawn before its pictures were decoded is drawn again.
    connect(PictureCache::instance(), SIGNAL(pictureReady()), &m_thumbnailTimer, SLOT(start()));
    connect(PictureCache::instance(), &PictureCache::pictureReady, this,
            [this] { m_layer.picturesChanged(); });
    // The cached background follows the page's size.
    connect(&m_scene, &QGraphicsScene::sceneRectChanged, this, [this] { resetCachedContent(); });
}

PageView::~PageView()
{
    dropTools();
    m_scene.clear(true);
    m_document.clearAll();
    setScene(nullptr);
}

bool PageView::validPage(int index) const
{
    return index >= 0 && index < pageCount();
}

// The items go back into the held record; strokes in progress on this canvas end first,
// unless the page stays shown.
void PageView::writeBack(Strokes strokes)
{
    if (!pageShown())
        return;
    if (strokes == Strokes::GoOn) {
        m_scene.storeItems(m_document.m_currPage);
        return;
    }
    // They belong to the page shown, whatever row the page list has moved to.
    PageTarget::setPinnedRow(m_document.m_nCurrIndex);
    TaskToolManager::instance()->releaseScene(&m_scene);
    PageTarget::setPinnedRow(-1);
    m_scene.storeToPage(m_document.m_currPage);
}

void PageView::reshowPage()
{
    TaskToolManager *tools = TaskToolManager::instance();
    const std::vector<TaskTool *> lifted = tools->liftScene(&m_scene);
    showPage();
    tools->landScene(&m_scene, lifted);
}

void PageView::showPage()
{
    m_comingAgain.clear();
    m_scene.setPage(m_document.m_currPage);
    m_layer.invalidate();
    emit pageShownAfresh();
}

void PageView::switchTo(int index)
{
    writeBack();
    m_document.setCurrpage(index, false);
    showPage();
}

// The scene is about to lose its items without writing them back.
void PageView::dropTools()
{
    TaskToolManager::instance()->dropScene(&m_scene);
}

void PageView::sendPageMessage(const QString &message)
{
    TcpManager::instance()->sendShareData(message, false);
}

void PageView::clearPages()
{
    m_comingAgain.clear();
    dropTools();
    m_scene.clear(true);
    m_layer.invalidate();
    m_scene.setSceneRect(0, 0, 1, 1);
    m_document.clearAll();
}

QStringList PageView::releasePages()
{
    m_comingAgain.clear();
    dropTools();
    m_scene.clear(true);
    m_layer.invalidate();
    m_scene.setSceneRect(0, 0, 1, 1);
    return m_document.takePageFiles();
}

void PageView::clearCurrentPage(bool all)
{
    dropTools();
    m_scene.clear(all);
    m_layer.invalidate();
    if (!pageShown())
        return;
    m_document.m_currPage.clearItems();
    const QString word = PageTarget::targetWord(Settings::instance()->m_nMode);
    if (word.isEmpty()) {
        qDebug() << "clearCurrentPage: no target in mode" << Settings::instance()->m_nMode;
        return;
    }
    sendPageMessage(QStringLiteral("clear@%1#%2").arg(word).arg(m_document.m_nCurrIndex));
}

bool PageView::checkIsUpdate() const
{
    return m_document.m_currPage.m_bInit;
}

void PageView::resetPagesInit()
{
    m_document.resetPagesInit();
}

void PageView::addBlankPage(int width, int height, bool init)
{
    m_document.addBlankPage(width, height, init);
}

void PageView::addPixmapPage(const QPixmap &pixmap, bool init)
{
    m_document.addPixmapPage(pixmap, init);
}

bool PageView::addPageFile(const QString &name)
{
    return m_document.appendPageFile(name);
}

void PageView::removePage(int index)
{
    m_document.removePage(index);
}

void PageView::onCurrentPageChanged(int index)
{
    if (!validPage(index))
        return;
    resetZoom();
    if (index == m_document.m_nCurrIndex)
        return;
    switchTo(index);
}

QGraphicsItem *PageView::procLineData(int page, const QString &itemText)
{
    qDebug() << "procLineData pageindex=" << page << " linedata:" << itemText.left(200);
    if (!validPage(page)) {
        qDebug() << "procLineData: no page" << page;
        return nullptr;
    }
    if (page != m_document.m_nCurrIndex)
        switchTo(page);
    QGraphicsItem *item = PageItemFactory::fromText(itemText);
    if (item) {
        m_scene.addItem(item);
        placeComingAgain(item);
    }
    m_document.addRecord(page, itemText);
    if (!m_thumbnailTimer.isActive())
        m_thumbnailTimer.start();
    return item;
}

// An item of the page before its resize goes back under the kept items that lay above it.
void PageView::placeComingAgain(QGraphicsItem *item)
{
    if (m_comingAgain.isEmpty())
        return;
    const auto found = m_comingAgain.find(ItemKey::ofItem(item));
    if (found == m_comingAgain.end())
        return;
    const int index = found->takeFirst();
    if (found->isEmpty())
        m_comingAgain.erase(found);
    const QList<QGraphicsItem *> items = m_scene.pageItems();
    for (QGraphicsItem *kept : items) {
        const QVariant keptIndex = kept->data(kOldIndex);
        if (keptIndex.isValid() && keptIndex.toInt() > index) {
            item->stackBefore(kept);
            return;
        }
    }
}

void PageView::moveItem(int page, const QString &id, const QString &pos)
{
    if (!validPage(page)) {
        qDebug() << "moveItem: no page" << page;
        return;
    }
    if (page != m_document.m_nCurrIndex)
        switchTo(page);
    const QStringList parts = pos.split(QLatin1Char(','));
    const QList<QGraphicsItem *> items = m_scene.items();
    for (QGraphicsItem *item : items) {
        QString itemId;
        if (auto *image = dynamic_cast<ImageItem *>(item))
            itemId = image->m_strId;
        else if (auto *text = dynamic_cast<TextItem *>(item))
            itemId = text->m_strId;
        else
            continue;
        if (itemId == id && parts.size() == 2)
            item->setPos(parts.at(0).toDouble(), parts.at(1).toDouble());
    }
    emit updateThunmbianl();
}

void PageView::rotatePage(int page)
{
    if (!validPage(page))
        return;
    if (page == m_document.m_nCurrIndex) {
        writeBack();
    } else {
        writeBack();
        m_document.setCurrpage(page, false);
    }
    m_document.rotateCurrent();
    showPage();
}

void PageView::resizePage(int page, int width, int height, const ItemFilter &keep)
{
    if (!validPage(page))
        return;
    const bool shown = page == m_document.m_nCurrIndex;
    // The shown page's latest ink is in its record; a page left ends its strokes.
    writeBack(shown ? Strokes::GoOn : Strokes::End);
    QList<QString> kept;
    QList<int> keptIndexes;
    QHash<QByteArray, QList<int>> comingAgain;
    HSPage old;
    if (keep && m_document.getPage(page, old)) {
        for (int i = 0; i < old.m_listItems.size(); ++i) {
            const QString &text = old.m_listItems.at(i);
            if (!keep(text)) {
                comingAgain[ItemKey::ofText(text)].append(i);
            } else if (PageItemFactory::makesItem(text)) {
                kept.append(text);
                keptIndexes.append(i);
            }
        }
    }
    m_document.resizepage(page, width, height);
    // The replaced page is not written back over its blank file.
    m_document.setCurrpage(page, shown);
    for (const QString &text : qAsConst(kept))
        m_document.m_currPage.appendItem(text);
    if (!kept.isEmpty())
        m_document.saveCurrent();
    resetZoom();
    if (shown)
        reshowPage(); // fingers on the page go on drawing
    else
        showPage();
    const QList<QGraphicsItem *> items = m_scene.pageItems();
    for (int i = 0; i < items.size() && i < keptIndexes.size(); ++i)
        items.at(i)->setData(kOldIndex, keptIndexes.at(i));
    m_comingAgain = comingAgain;
}

void PageView::showShareVote(const QStringList &fields)
{
    if (fields.size() != 8)
        return;
    const QString vote = fields.mid(2, 6).join(QLatin1Char('#'));
    // A page outside the document leaves the vote on the page shown.
    onCurrentPageChanged(fields.at(1).toInt());
    if (!pageShown()) {
        qDebug() << "showShareVote: no page shown";
        return;
    }
    m_document.m_currPage.m_strVote = vote;
    m_scene.setShowVote(m_document.m_currPage);
}

bool PageView::saveAsPdf(QList<int> *blankPages)
{
    if (!pageShown())
        return false;
    writeBack();
    m_document.saveCurrent();
    return m_document.exportPdf(blankPages);
}

void PageView::shareLines()
{
    writeBack(Strokes::GoOn);
    const QString word = PageTarget::targetWord(Settings::instance()->m_nMode);
    if (word.isEmpty() || !pageShown()) {
        qDebug() << "sharelines: no page addressed";
        return;
    }
    const QString prefix = QStringLiteral("%1&%2&").arg(word).arg(m_document.m_nCurrIndex);
    const QList<QString> &items = m_document.m_currPage.m_listItems;
    qDebug() << "sharelines " << prefix << " list.sz=" << items.size();
    for (const QString &item : items) {
        if (item.startsWith(QLatin1String("3#")))
            sendPageMessage(QStringLiteral("line@") + prefix + item);
    }
}

bool PageView::setSyncFinish()
{
    qDebug() << "setSyncFinish current index=" << m_document.m_nCurrIndex << " set init";
    if (!pageShown())
        return false;
    writeBack(Strokes::GoOn);
    const QString path = Settings::instance()->tempNotesDir() +
                         QStringLiteral("enote_%1.png").arg(m_document.m_nCurrIndex + 1);
    qDebug() << path;
    bool taken = true;
    QFile file(path);
    if (file.exists()) {
        QImage image;
        if (file.size() <= kMaxPageImageFile && file.open(QIODevice::ReadOnly))
            image = PictureData::decode(file.readAll());
        file.close();
        taken = !image.isNull();
        if (!taken) {
            qDebug() << "setSyncFinish: page image unreadable or too large, page not synchronised";
        } else {
            const QPixmap pixmap = QPixmap::fromImage(image);
            m_document.m_currPage.setPixmap(pixmap);
            m_scene.primeBackground(m_document.m_currPage.m_baImage, pixmap);
            qDebug() << "setSyncFinish pixsize=" << pixmap.size();
        }
        QFile::remove(path);
    }
    if (taken)
        m_document.m_currPage.setInit(true);
    reshowPage();
    return taken;
}

void PageView::sendPreview()
{
    const QRectF rect = m_scene.sceneRect();
    const QSize sceneSize(qRound(rect.width()), qRound(rect.height()));
    if (sceneSize.isEmpty()) {
        qDebug() << "PageView::sendPreview(): empty scene";
        return;
    }
    // Rendered straight at the preview size: a huge page never makes a huge pixmap.
    QSize size = sceneSize.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    {
        QPainter painter(&pixmap);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                               QPainter::TextAntialiasing);
        const WholeRender whole;
        m_scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), rect, Qt::KeepAspectRatio);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    qDebug() << "PageView::sendPreview(),pixmap size=" << pixmap.size();
    TcpManager::instance()->sendShareData(
        QStringLiteral("preview@") + QString::fromLatin1(png.toBase64()), true);
}

void PageView::drawBackground(QPainter *painter, const QRectF &rect)
{
    painter->fillRect(rect, Qt::gray);
    painter->fillRect(sceneRect() & rect, Qt::white);
}

void PageView::setLayered(bool layered)
{
    m_bLayered = layered;
    setOptimizationFlag(QGraphicsView::IndirectPainting, layered);
    m_layer.invalidate();
    viewport()->update();
}

bool PageView::layerView(InkLayer::View *view) const
{
    const QTransform t = transform();
    const qreal dpr = viewport()->devicePixelRatioF();
    if (t.type() > QTransform::TxScale || t.m11() != t.m22() || t.m11() <= 0 ||
        dpr != std::floor(dpr))
        return false;
    const QTransform shown = viewportTransform();
    view->scale = t.m11();
    view->dpr = dpr;
    view->scroll = QPoint(qRound(-shown.dx()), qRound(-shown.dy()));
    view->viewport = viewport()->size();
    view->sceneRect = sceneRect();
    view->hints = renderHints();
    view->font = viewport()->font();
    view->pen = viewport()->palette().color(viewport()->foregroundRole());
    return true;
}

void PageView::paintEvent(QPaintEvent *event)
{
    m_paintRegion = event->region();
    m_bInPaint = true;
    QGraphicsView::paintEvent(event);
    m_bInPaint = false;
}

void PageView::drawItems(QPainter *painter, int numItems, QGraphicsItem *items[],
                         const QStyleOptionGraphicsItem options[])
{
    InkLayer::View view;
    if (!m_bLayered || !m_bInPaint || !layerView(&view)) {
        QGraphicsView::drawItems(painter, numItems, items, options);
        return;
    }
    m_layer.paint(painter, m_paintRegion, view, items, numItems,
                  [&](QPainter *onto, const QVector<int> &over) {
                      if (over.isEmpty())
                          return;
                      QVector<QGraphicsItem *> overItems;
                      QVector<QStyleOptionGraphicsItem> overOptions;
                      overItems.reserve(over.size());
                      overOptions.reserve(over.size());
                      for (int i : over) {
                          overItems.append(items[i]);
                          overOptions.append(options[i]);
                      }
                      QGraphicsView::drawItems(onto, overItems.size(), overItems.data(),
                                               overOptions.data());
                  });
}

void PageView::setSettling(bool settling)
{
    if (m_layer.isStandingIn() && !settling)
        viewport()->update();
    m_layer.setSettling(settling);
}
