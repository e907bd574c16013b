#ifndef LOCKCOMMAND_H
#define LOCKCOMMAND_H

#include <QString>

// The teacher's lock command: "1#" and the lock text locks, "0" unlocks. Every command is
// answered with its own first "#" field, whether or not it changes the screen.
class LockCommand
{
public:
    enum Action
    {
        None,
        Lock,
        Unlock
    };

    explicit LockCommand(const QString &argument);

    Action action() const { return m_action; }
    QString text() const { return m_strText; }
    QString answer() const { return m_strAnswer; }

private:
    Action m_action = None;
    QString m_strText;
    QString m_strAnswer;
};

#endif // LOCKCOMMAND_H
