#include "screens/LockCommand.h"

LockCommand::LockCommand(const QString &argument)
{
    const int hash = argument.indexOf(QLatin1Char('#'));
    m_strAnswer = hash < 0 ? argument : argument.left(hash);
    if (hash < 0) {
        if (m_strAnswer == QLatin1String("0"))
            m_action = Unlock;
    } else if (m_strAnswer == QLatin1String("1")) {
        // The text may itself hold "#": everything after the first one is shown.
        m_action = Lock;
        m_strText = argument.mid(hash + 1);
    }
}
