#ifndef OWEDANSWERS_H
#define OWEDANSWERS_H

#include <QList>
#include <QString>

// What the class server still owes for the download requests written, in the order it
// answers them: an answer (an offer or a failure) to each download request, and the book
// bytes of each ready request. At most one entry is wanted, the download under way; the
// others were given up (the wait ended them, or another request's answer served them) and
// are dropped when they come, when the server shows they are not coming, or when one more
// lifetime has gone since they were given up.
class OwedAnswers
{
public:
    struct Entry
    {
        bool bytes = false; // book bytes, else an answer
        QString path;
        qint64 missing = 0; // book bytes still to come
        qint64 taken = 0;   // book bytes come so far
        bool wanted = true;
        qint64 givenUpAt = 0;
    };

    OwedAnswers(int capacity, qint64 lifetimeMs);

    void addAnswer(const QString &path);
    void addBytes(const QString &path, qint64 count);
    // The download under way is given up: what it is owed is dropped when it comes.
    void giveUpWanted(qint64 now);
    void expire(qint64 now);

    // The entry a download answer belongs to: the oldest answer entry naming path, else, for
    // a failure, the oldest answer entry. It and the entries before it go (the server answers
    // in order, so those are not coming). False when there is none.
    bool takeAnswer(const QString &path, bool failure, Entry *taken);
    // The first book-bytes entry, or null.
    const Entry *firstBytes() const;
    bool bytesFirst() const { return !m_list.isEmpty() && m_list.first().bytes; }
    // Book bytes have begun: the answers owed before them are not coming.
    void dropBeforeBytes();
    // count bytes of the first entry, book bytes, have come.
    void takeBytes(qint64 count);
    void dropFirst() { m_list.removeFirst(); }
    void clear() { m_list.clear(); }
    bool isEmpty() const { return m_list.isEmpty(); }

private:
    void add(const Entry &entry);

    QList<Entry> m_list;
    int m_nCapacity;
    qint64 m_nLifetime;
};

#endif // OWEDANSWERS_H
