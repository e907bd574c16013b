#ifndef PAGETHUMBNAIL_H
#define PAGETHUMBNAIL_H

#include <QPixmap>
#include <QRectF>
#include <QVector>

class DisplayPage;
class QGraphicsItem;

// Draws a page's thumbnail as DisplayPage::renderToPixmap does, but keeps what it drew: when
// the scene has only gained items on top since (strokes written, items come from the teacher),
// the next thumbnail of the same row paints those over the kept one instead of the whole page.
// What lies above the first item a canvas's ink layer would not hold (live ink, the vote
// chart) is painted afresh over a copy each time.
class PageThumbnail
{
public:
    // The thumbnail of what the scene shows now, fitted into the size, for that row.
    QPixmap draw(DisplayPage *scene, const QSize &size, int row);
    // The next thumbnail is drawn whole (pages gone).
    void forget();
    // Pictures decoded since: the next thumbnail is drawn whole if it shows any.
    void picturesChanged();

private:
    struct Drawn
    {
        quint64 tag;
        QRectF rect;
    };

    static QList<QGraphicsItem *> shown(DisplayPage *scene);
    static void paint(DisplayPage *scene, QPixmap &target, const QVector<QGraphicsItem *> &items);

    int m_nRow = -1;
    QRectF m_sceneRect;
    QSize m_size;
    QPixmap m_base; // the items drawn, the bottom of the page
    QVector<Drawn> m_drawn;
    bool m_bPictures = false; // among the items drawn
};

#endif // PAGETHUMBNAIL_H
