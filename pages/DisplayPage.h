#ifndef DISPLAYPAGE_H
#define DISPLAYPAGE_H

#include <QByteArray>
#include <QGraphicsScene>
#include <QPixmap>
#include <QVector>

class HSPage;
class QPainter;
class QGraphicsPixmapItem;
class TextItem;
class VoteItem;

// The scene of one page: background, stroke, picture and text items, vote chart.
class DisplayPage : public QGraphicsScene
{
    Q_OBJECT
public:
    explicit DisplayPage(QObject *parent = nullptr);
    ~DisplayPage() override;

    void setPage(HSPage &page);
    // A background decoded elsewhere: the next page set with exactly these Base64 bytes takes
    // it instead of decoding them again.
    void primeBackground(const QByteArray &base64, const QPixmap &pixmap);
    // Ends the strokes in progress here, then writes the items back into the record.
    void storeToPage(HSPage &page);
    // Writes the finished items back; strokes in progress stay with their tools.
    void storeItems(HSPage &page);
    void clear(bool all);
    void renderToPixmap(QPixmap &target);
    void sendText(TextItem *item);

    void createVoteItem();
    void setVoteData(HSPage &page);
    void setShowVote(HSPage &page);

    // Paints the items, bottom first, as the scene paints them for a view, onto any painter;
    // widget is what their paint is given.
    void paintItems(QPainter *painter, QVector<QGraphicsItem *> items, QWidget *widget);

    // The strokes, pictures and texts, bottom first: what storeItems writes back.
    QList<QGraphicsItem *> pageItems() const;

    // The page message of a text item, for the page whose scene holds it (PageTarget).
    static QString textMessage(TextItem *item);

    bool m_bPageSet = false;
    VoteItem *m_pVoteItem = nullptr;

private:
    void clearAllItems();

    // The background as setPage showed it, kept to skip re-encoding it.
    QGraphicsPixmapItem *m_pBackground = nullptr;
    qint64 m_nBackgroundKey = 0;
    QByteArray m_baBackground;
    QByteArray m_baPrimed;
    QPixmap m_primedPixmap;
};

#endif // DISPLAYPAGE_H
