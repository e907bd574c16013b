#ifndef OWEDANSWERS_H
#define OWEDANSWERS_H

#include <QList>
#include <QString>

// Download requests that the wait ended before the server answered them, oldest first. The
// server answers in the order it was asked, so their answers, when they still come, come
// before the answer of any later request. An entry lasts one more wait after its request
// ended: an answer later than that is not coming.
class OwedAnswers
{
public:
    explicit OwedAnswers(int capacity, qint64 lifetimeMs);

    void add(const QString &path, qint64 now);
    // Drops the entries that have had their one more wait.
    void expire(qint64 now);
    // An answer naming path is the answer of its entry, and shows the answers of the entries
    // before it are not coming: all of them go. False when no entry has that path.
    bool takeAnswerOf(const QString &path);
    // An answer naming no entry: the oldest one's. False when there is none.
    bool takeOldest();
    void clear() { m_list.clear(); }
    bool isEmpty() const { return m_list.isEmpty(); }
    int size() const { return m_list.size(); }

private:
    struct Entry
    {
        QString path;
        qint64 endedAt;
    };

    QList<Entry> m_list;
    int m_nCapacity;
    qint64 m_nLifetime;
};

#endif // OWEDANSWERS_H
