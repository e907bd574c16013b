#ifndef PAGEVIEW_H
#define PAGEVIEW_H

#include "pages/DisplayPage.h"
#include "pages/Document.h"
#include "pages/InkLayer.h"

#include <QGraphicsView>
#include <QHash>
#include <QSet>
#include <QTimer>

#include <functional>

class QTouchEvent;

// The canvas showing one page of an e-book or e-note: page switching, teacher items,
// clearing, rotation, votes, previews, and touch and mouse input to the drawing tools.
class PageView : public QGraphicsView
{
    Q_OBJECT
public:
    static constexpr int MouseTouchId = 28671;
    // Incoming items within this time share one thumbnail redraw.
    static constexpr int ThumbnailDelay = 50;
    using ItemFilter = std::function<bool(const QString &itemText)>;

    explicit PageView(bool eNote, QWidget *parent = nullptr);
    ~PageView() override;

    void clearPages();
    // As clearPages, but the page files stay: their paths, for the caller to write again or
    // delete (deleting a long book's files takes a while).
    QStringList releasePages();
    void clearCurrentPage(bool all);
    bool checkIsUpdate() const;
    void resetPagesInit();
    void addBlankPage(int width, int height, bool init);
    void addPixmapPage(const QPixmap &pixmap, bool init);
    // Appends a page whose file is already written in the page folder.
    bool addPageFile(const QString &name);
    void removePage(int index);
    void rotatePage(int page);
    // Replaces a page by a blank one of the new size and shows it; the page's items that keep
    // accepts stay on it, and strokes under way on it go on. Until the page is shown afresh,
    // the other items, when they come again, take their old places among the kept ones.
    void resizePage(int page, int width, int height, const ItemFilter &keep = ItemFilter());
    void showShareVote(const QStringList &fields);
    // False when no page is shown or the export failed; the pages written blank, their files
    // unreadable, go to blankPages.
    bool saveAsPdf(QList<int> *blankPages = nullptr);
    // The item made of the text, owned by the scene; null when none was made.
    QGraphicsItem *procLineData(int page, const QString &itemText);
    void shareLines();
    void moveItem(int page, const QString &id, const QString &pos);
    // The received image becomes the shown page's background; true when the page now counts
    // as synchronised: its image was taken, or none was sent.
    bool setSyncFinish();
    void sendPreview();
    void resetZoom();

    DisplayPage *pageScene() { return &m_scene; }
    Document *document() { return &m_document; }
    int currentIndex() const { return m_document.m_nCurrIndex; }
    int pageCount() const { return m_document.pageCount(); }
    float zoomScale() const { return m_fScale; }
    bool isZooming() const { return m_bZooming; }
    // The committed ink is painted from a raster of the page kept up to date (InkLayer), or,
    // not layered, every item is painted on every repaint.
    void setLayered(bool layered);
    bool isLayered() const { return m_bLayered; }
    InkLayer &inkLayer() { return m_layer; }
    const InkLayer &inkLayer() const { return m_layer; }

signals:
    void updateThunmbianl();
    // A page was shown afresh: its items are new.
    void pageShownAfresh();

public slots:
    void onCurrentPageChanged(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void paintEvent(QPaintEvent *event) override;
    void drawItems(QPainter *painter, int numItems, QGraphicsItem *items[],
                   const QStyleOptionGraphicsItem options[]) override;

private:
    bool validPage(int index) const;
    bool pageShown() const { return m_document.m_nCurrIndex >= 0; }
    bool takesInput() const;
    enum class Strokes
    {
        End, // strokes in progress become items of the page first
        GoOn // the page stays shown: fingers still down go on drawing
    };
    void writeBack(Strokes strokes = Strokes::End);
    // Shows the held record again; strokes in progress go on over it.
    void reshowPage();
    void switchTo(int index);
    // Shows the held record; items coming again no longer have old places.
    void showPage();
    void placeComingAgain(QGraphicsItem *item);
    void mouseDown(QMouseEvent *event, bool doubleClick);
    void dropTools();
    void sendPageMessage(const QString &message);
    void touchToTools(const QTouchEvent *event);
    void pinch(const QTouchEvent *event);
    void textEntry(const QTouchEvent *event);
    QPointF scenePoint(const QPointF &viewportPos) const;
    // How the view shows the scene, for the ink layer; false when it cannot (turned or
    // skewed, fractional device pixels).
    bool layerView(InkLayer::View *view) const;
    void setSettling(bool settling);

    DisplayPage m_scene;
    Document m_document;
    bool m_bZooming = false;
    float m_fZoomDistance = 0.0f;
    float m_fScale = 1.0f;
    QTimer m_thumbnailTimer;
    InkLayer m_layer;
    bool m_bLayered = true;
    bool m_bInPaint = false;
    QRegion m_paintRegion;          // of the paint under way
    QSet<int> m_touchIds;           // touch points pressed on this canvas and not yet released
    bool m_bTouchTextPress = false; // a text-mode touch press was handed to the tools
    // The items a page replaced by resizePage did not keep, by ItemKey: their indexes in the
    // old page, each taken once when the item comes again. The kept items carry theirs.
    QHash<QByteArray, QList<int>> m_comingAgain;
};

#endif // PAGEVIEW_H
