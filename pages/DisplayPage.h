#ifndef DISPLAYPAGE_H
#define DISPLAYPAGE_H

#include <QByteArray>
#include <QGraphicsScene>

class HSPage;
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
    void storeToPage(HSPage &page);
    void clear(bool all);
    void renderToPixmap(QPixmap &target);
    void sendText(TextItem *item);

    void createVoteItem();
    void setVoteData(HSPage &page);
    void setShowVote(HSPage &page);

    // The page message of a text item for the current mode and page row.
    static QString textMessage(TextItem *item);

    bool m_bPageSet = false;
    VoteItem *m_pVoteItem = nullptr;

private:
    void clearAllItems();

    // The background as setPage showed it, kept to skip re-encoding it.
    QGraphicsPixmapItem *m_pBackground = nullptr;
    qint64 m_nBackgroundKey = 0;
    QByteArray m_baBackground;
};

#endif // DISPLAYPAGE_H
