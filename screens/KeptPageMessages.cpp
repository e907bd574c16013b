#include "screens/KeptPageMessages.h"

#include <QDebug>

namespace {
// What a kept message costs beyond its texts: the list entry, the strings' headers.
constexpr qint64 kMessageOverhead = 64;
} // namespace

qint64 KeptPageMessages::cost(const Message &message)
{
    qint64 bytes = kMessageOverhead + qint64(message.itemText.size()) * qint64(sizeof(QChar));
    for (const QString &field : message.fields)
        bytes += kMessageOverhead + qint64(field.size()) * qint64(sizeof(QChar));
    return bytes;
}

bool KeptPageMessages::keep(int page, const Message &message)
{
    const qint64 bytes = cost(message);
    if (m_nCount >= MaxMessages || bytes > MaxBytes - m_nBytes) {
        if (m_nDropped++ == 0)
            qDebug() << "KeptPageMessages: full at" << m_nCount << "messages," << m_nBytes
                     << "bytes; dropping the teacher's messages for page" << page << "on";
        return false;
    }
    m_pages[page].append(message);
    ++m_nCount;
    m_nBytes += bytes;
    return true;
}

KeptPageMessages::Message KeptPageMessages::takeFirst(int page)
{
    const auto found = m_pages.find(page);
    if (found == m_pages.end())
        return Message();
    const Message message = found->takeFirst();
    if (found->isEmpty())
        m_pages.erase(found);
    --m_nCount;
    m_nBytes -= cost(message);
    return message;
}

int KeptPageMessages::dropFrom(int page)
{
    int dropped = 0;
    for (auto it = m_pages.lowerBound(page); it != m_pages.end(); it = m_pages.erase(it)) {
        for (const Message &message : qAsConst(*it)) {
            m_nBytes -= cost(message);
            ++dropped;
        }
    }
    m_nCount -= dropped;
    if (m_nTeacherPage >= page)
        setTeacherPage(-1, false);
    return dropped;
}

void KeptPageMessages::clear()
{
    if (m_nCount > 0 || m_nDropped > 0)
        qDebug() << "KeptPageMessages: forgetting" << m_nCount << "messages," << m_nDropped
                 << "dropped";
    m_pages.clear();
    m_nCount = 0;
    m_nBytes = 0;
    m_nDropped = 0;
    setTeacherPage(-1, false);
}

void KeptPageMessages::setTeacherPage(int page, bool told)
{
    m_bTold = page >= 0 && told;
    m_nTeacherPage = page;
}
