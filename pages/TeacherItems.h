#ifndef TEACHERITEMS_H
#define TEACHERITEMS_H

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// Which items of each e-note page came from the teacher. A page synchronised again gets every
// teacher item anew: the old ones make way, the student's own strokes and texts stay.
class TeacherItems
{
public:
    void add(int page, const QString &itemText);
    bool contains(int page, const QString &itemText) const;
    void forgetPage(int page);
    void clear();

private:
    // Pictures and texts by their id (the teacher moves them), strokes by their text, which a
    // page writes back unchanged when it is in the form strokes are written in; hashed, so a
    // long stroke is not held twice.
    static QByteArray key(const QString &itemText);

    QHash<int, QSet<QByteArray>> m_keys;
};

#endif // TEACHERITEMS_H
