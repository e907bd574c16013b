#ifndef TEACHERITEMS_H
#define TEACHERITEMS_H

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

class QGraphicsItem;

// Which items of each e-note page came from the teacher. A page synchronised again gets every
// teacher item anew: the old ones make way, the student's own strokes and texts stay.
class TeacherItems
{
public:
    // The item the page made of a teacher's item text.
    void add(int page, const QGraphicsItem *item);
    // Whether an item text the page stores is one of the teacher's items.
    bool contains(int page, const QString &itemText) const;
    void forgetPage(int page);
    void clear();

private:
    QHash<int, QSet<QByteArray>> m_keys; // ItemKey
};

#endif // TEACHERITEMS_H
