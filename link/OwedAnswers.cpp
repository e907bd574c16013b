#include "link/OwedAnswers.h"

OwedAnswers::OwedAnswers(int capacity, qint64 lifetimeMs)
    : m_nCapacity(capacity), m_nLifetime(lifetimeMs)
{
}

void OwedAnswers::add(const QString &path, qint64 now)
{
    if (m_list.size() >= m_nCapacity)
        m_list.removeFirst();
    m_list.append({path, now});
}

void OwedAnswers::expire(qint64 now)
{
    while (!m_list.isEmpty() && now - m_list.first().endedAt > m_nLifetime)
        m_list.removeFirst();
}

bool OwedAnswers::takeAnswerOf(const QString &path)
{
    if (path.isEmpty())
        return false;
    for (int i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).path == path) {
            m_list.erase(m_list.begin(), m_list.begin() + i + 1);
            return true;
        }
    }
    return false;
}

bool OwedAnswers::takeOldest()
{
    if (m_list.isEmpty())
        return false;
    m_list.removeFirst();
    return true;
}
