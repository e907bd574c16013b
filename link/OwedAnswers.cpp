#include "link/OwedAnswers.h"

#include <QDebug>

OwedAnswers::OwedAnswers(int capacity, qint64 lifetimeMs)
    : m_nCapacity(capacity), m_nLifetime(lifetimeMs)
{
}

void OwedAnswers::add(const Entry &entry)
{
    for (int i = 0; m_list.size() >= m_nCapacity && i < m_list.size();) {
        if (m_list.at(i).wanted)
            ++i;
        else
            m_list.removeAt(i);
    }
    m_list.append(entry);
}

void OwedAnswers::addAnswer(const QString &path)
{
    Entry entry;
    entry.path = path;
    add(entry);
}

void OwedAnswers::addBytes(const QString &path, qint64 count)
{
    Entry entry;
    entry.bytes = true;
    entry.path = path;
    entry.missing = count;
    add(entry);
}

void OwedAnswers::giveUpWanted(qint64 now)
{
    for (Entry &entry : m_list) {
        if (entry.wanted) {
            entry.wanted = false;
            entry.givenUpAt = now;
        }
    }
}

void OwedAnswers::expire(qint64 now)
{
    while (!m_list.isEmpty() && !m_list.first().wanted &&
           now - m_list.first().givenUpAt > m_nLifetime) {
        qDebug() << "owed download answer not come in time, no longer awaited"
                 << m_list.first().path;
        m_list.removeFirst();
    }
}

bool OwedAnswers::takeAnswer(const QString &path, bool failure, Entry *taken)
{
    int found = -1;
    int oldest = -1;
    for (int i = 0; i < m_list.size() && found < 0; ++i) {
        if (m_list.at(i).bytes)
            continue;
        if (oldest < 0)
            oldest = i;
        if (!path.isEmpty() && m_list.at(i).path == path)
            found = i;
    }
    if (found < 0 && failure)
        found = oldest;
    if (found < 0)
        return false;
    *taken = m_list.at(found);
    m_list.erase(m_list.begin(), m_list.begin() + found + 1);
    return true;
}

const OwedAnswers::Entry *OwedAnswers::firstBytes() const
{
    for (const Entry &entry : m_list) {
        if (entry.bytes)
            return &entry;
    }
    return nullptr;
}

void OwedAnswers::dropBeforeBytes()
{
    while (!m_list.isEmpty() && !m_list.first().bytes)
        m_list.removeFirst();
}

void OwedAnswers::takeBytes(qint64 count)
{
    Entry &entry = m_list.first();
    entry.missing -= count;
    entry.taken += count;
    if (entry.missing <= 0)
        m_list.removeFirst();
}
