#include "pages/PictureCache.h"

#include "pages/PictureData.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QGraphicsItem>

namespace {
PictureCache *g_instance = nullptr;

// The form the raster painter draws fastest.
QImage drawable(const QImage &image)
{
    if (image.isNull())
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

QImage decoded(const PictureCache::Key &key, const QByteArray &bytes)
{
    return drawable(PictureData::decodePart(bytes, key.clip, key.size));
}

int costOf(const QImage &image)
{
    return int(qMax<qint64>(1, image.sizeInBytes() / 1024));
}

// Workers finish before the application goes.
void stopDecoding()
{
    if (g_instance)
        g_instance->stopWorkers();
}
} // namespace

uint qHash(const PictureCache::Key &key, uint seed)
{
    uint h = qHash(key.digest, seed);
    for (int n : {key.clip.x(), key.clip.y(), key.clip.width(), key.clip.height(), key.size.width(),
                  key.size.height()})
        h = h * 31 + uint(n);
    return h;
}

PictureCache::PictureCache(QObject *parent) : QObject(parent)
{
    m_held.setMaxCost(int(kByteLimit / 1024));
    m_pool.setMaxThreadCount(kDecodeThreads);
}

PictureCache *PictureCache::instance()
{
    if (!g_instance) {
        g_instance = new PictureCache;
        qAddPostRoutine(stopDecoding);
    }
    return g_instance;
}

QByteArray PictureCache::digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

bool PictureCache::find(const Key &key, QImage *image)
{
    const QImage *held = m_held.object(key);
    if (!held)
        return false;
    *image = *held;
    return true;
}

QImage PictureCache::decodeNow(const Key &key, const QByteArray &bytes, bool pushOut)
{
    QImage image;
    if (find(key, &image))
        return image;
    image = decoded(key, bytes);
    if (pushOut || m_held.totalCost() + costOf(image) <= m_held.maxCost())
        insert(key, image);
    return image;
}

bool PictureCache::request(const Key &key, const QByteArray &bytes, QGraphicsItem *waiter)
{
    if (m_held.contains(key))
        return false;
    QSharedPointer<Job> job = m_pending.value(key);
    if (job) {
        job->waiters.insert(waiter);
        return false;
    }
    job = QSharedPointer<Job>::create();
    job->waiters.insert(waiter);
    m_pending.insert(key, job);
    m_pool.start(QRunnable::create([this, job, key, bytes] {
        if (job->cancelled)
            return;
        const QImage image = decoded(key, bytes);
        QMetaObject::invokeMethod(
            this, [this, job, key, image] { onDecoded(job, key, image); }, Qt::QueuedConnection);
    }));
    return true;
}

void PictureCache::onDecoded(const QSharedPointer<Job> &job, const Key &key, const QImage &image)
{
    if (m_pending.value(key) == job)
        m_pending.remove(key);
    if (job->cancelled)
        return;
    insert(key, image);
    for (QGraphicsItem *item : qAsConst(job->waiters))
        item->update();
    emit pictureReady();
}

void PictureCache::forget(QGraphicsItem *waiter)
{
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        Job &job = **it;
        job.waiters.remove(waiter);
        if (job.waiters.isEmpty()) {
            job.cancelled = true;
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
}

void PictureCache::insert(const Key &key, const QImage &image)
{
    m_held.insert(key, new QImage(image), costOf(image));
}

void PictureCache::stopWorkers()
{
    for (const QSharedPointer<Job> &job : qAsConst(m_pending))
        job->cancelled = true;
    m_pending.clear();
    m_pool.clear();
    m_pool.waitForDone();
}

qint64 PictureCache::heldBytes() const
{
    return qint64(m_held.totalCost()) * 1024;
}

qint64 PictureCache::byteLimit() const
{
    return qint64(m_held.maxCost()) * 1024;
}

void PictureCache::setByteLimit(qint64 bytes)
{
    m_held.setMaxCost(int(qBound<qint64>(1, bytes / 1024, INT_MAX)));
}
