#ifndef KEPTPAGEMESSAGES_H
#define KEPTPAGEMESSAGES_H

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The teacher's page messages for book pages that have not come in yet, in order for each
// page, and the page the teacher went to last among them. What is kept is bounded in count
// and bytes; a message past the bound is dropped.
class KeptPageMessages
{
public:
    static constexpr int MaxMessages = 4096;
    static constexpr qint64 MaxBytes = 16 * 1024 * 1024;

    enum class Kind
    {
        Item,   // itemText
        Clear,  // no payload
        Rotate, // no payload
        Vote    // fields, as the vote message has them
    };
    struct Message
    {
        Kind kind = Kind::Item;
        QString itemText;
        QStringList fields;
    };
    static Message item(const QString &itemText) { return {Kind::Item, itemText, {}}; }
    static Message clearing() { return {Kind::Clear, {}, {}}; }
    static Message rotation() { return {Kind::Rotate, {}, {}}; }
    static Message vote(const QStringList &fields) { return {Kind::Vote, {}, fields}; }

    // False, with a debug line when the dropping begins, when the message is past the bound.
    bool keep(int page, const Message &message);
    bool holds(int page) const { return m_pages.contains(page); }
    // The lowest page holding messages; -1 when none.
    int firstPage() const { return m_pages.isEmpty() ? -1 : m_pages.firstKey(); }
    // The oldest message of a page that holds some.
    Message takeFirst(int page);
    // Forgets the messages of the pages from `page` on; how many were forgotten.
    int dropFrom(int page);
    // Forgets every message and the teacher's page.
    void clear();

    int count() const { return m_nCount; }
    qint64 bytes() const { return m_nBytes; }

    // The page the teacher went to last, -1 for none; told: the teacher asked for it by its
    // index and is to be told when it is reached.
    void setTeacherPage(int page, bool told);
    int teacherPage() const { return m_nTeacherPage; }
    bool teacherPageTold() const { return m_bTold; }

private:
    static qint64 cost(const Message &message);

    QMap<int, QList<Message>> m_pages;
    int m_nCount = 0;
    qint64 m_nBytes = 0;
    int m_nDropped = 0;
    int m_nTeacherPage = -1;
    bool m_bTold = false;
};

#endif // KEPTPAGEMESSAGES_H
