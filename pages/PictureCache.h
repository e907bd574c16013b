#ifndef PICTURECACHE_H
#define PICTURECACHE_H

#include <QByteArray>
#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSet>
#include <QSharedPointer>
#include <QSize>
#include <QThreadPool>

#include <atomic>

class QGraphicsItem;

// Decoded pictures, by the picture's content and the part of it drawn, up to a byte limit:
// the least recently used go first. Decoding for the screen runs on worker threads; the
// items waiting for a picture are repainted when it is ready. GUI thread only.
class PictureCache : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kByteLimit = 256LL * 1024 * 1024;
    static constexpr int kDecodeThreads = 2;

    struct Key
    {
        QByteArray digest; // of the picture file bytes
        QRect clip;        // the part decoded, in picture pixels
        QSize size;        // the size it is decoded to
        bool operator==(const Key &other) const
        {
            return clip == other.clip && size == other.size && digest == other.digest;
        }
    };

    static PictureCache *instance();
    static QByteArray digestOf(const QByteArray &bytes);

    // True when the part is held (the image is null when it did not decode).
    bool find(const Key &key, QImage *image);
    // The part, decoded now when it is not held; then held, pushing out the least recently
    // used, or only when there is room.
    QImage decodeNow(const Key &key, const QByteArray &bytes, bool pushOut);
    // Decodes the part on a worker thread unless it is held or on its way; the waiter is
    // updated when it is ready. True when a decoding was started.
    bool request(const Key &key, const QByteArray &bytes, QGraphicsItem *waiter);
    // The item no longer waits (it is going away); decoding nobody waits for is dropped.
    void forget(QGraphicsItem *waiter);

    qint64 heldBytes() const;
    qint64 byteLimit() const;
    void setByteLimit(qint64 bytes);
    bool isPending(const Key &key) const { return m_pending.contains(key); }
    int pendingCount() const { return m_pending.size(); }
    // Drops the decoding not yet started and waits for the rest, which is then discarded.
    void stopWorkers();
    // While a page is rendered whole to go out (WholeRender), its pictures are decoded at once
    // at any scale.
    void beginWholeRender() { ++m_nWholeRenders; }
    void endWholeRender() { --m_nWholeRenders; }
    bool inWholeRender() const { return m_nWholeRenders > 0; }

signals:
    // A picture some item waited for is ready (page thumbnails are drawn again).
    void pictureReady();

private:
    struct Job
    {
        std::atomic<bool> cancelled{false};
        QSet<QGraphicsItem *> waiters;
    };

    explicit PictureCache(QObject *parent = nullptr);
    void insert(const Key &key, const QImage &image);
    void onDecoded(const QSharedPointer<Job> &job, const Key &key, const QImage &image);

    QCache<Key, QImage> m_held; // cost in KiB
    QHash<Key, QSharedPointer<Job>> m_pending;
    QThreadPool m_pool;
    int m_nWholeRenders = 0;
};

uint qHash(const PictureCache::Key &key, uint seed = 0);

#endif // PICTURECACHE_H
