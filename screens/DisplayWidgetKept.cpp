// The e-book screen's teacher messages for pages of the opening book that are not in yet: kept,
// applied when their pages come in, and the teacher's page followed then.
#include "screens/DisplayWidget.h"

#include "link/TcpManager.h"
#include "pages/PageView.h"
#include "screens/EBookItemDelegate.h"

#include <QDebug>
#include <QElapsedTimer>

bool DisplayWidget::stillToCome(int page) const
{
    return page >= 0 && (m_kept.holds(page) || (isOpening() && page >= pageCount()));
}

bool DisplayWidget::keepForLater(int page, const KeptPageMessages::Message &message)
{
    if (!stillToCome(page)) {
        if (validRow(page))
            teacherOnPageIn(page);
        return false;
    }
    m_kept.keep(page, message);
    m_kept.setTeacherPage(page, page == m_kept.teacherPage() && m_kept.teacherPageTold());
    return true;
}

void DisplayWidget::teacherOnPageIn(int page)
{
    m_kept.setTeacherPage(-1, false);
    if (m_keptReturn)
        m_keptReturn = page;
}

void DisplayWidget::forgetKept()
{
    m_kept.clear();
    m_keptTimer.stop();
    m_keptReturn.reset();
}

void DisplayWidget::pageCameIn(int row)
{
    if (m_kept.holds(row) || m_kept.teacherPage() == row)
        m_keptTimer.start();
}

void DisplayWidget::settleKept(bool whole)
{
    const int teacher = m_kept.teacherPage();
    const int dropped = m_kept.dropFrom(pageCount());
    if (dropped > 0)
        qDebug() << "settleKept:" << dropped << "teacher messages for pages past" << pageCount();
    if (whole && teacher >= pageCount() && pageCount() > 0)
        showPageNotice(teacher);
    if (validRow(m_kept.firstPage()) || validRow(m_kept.teacherPage()))
        m_keptTimer.start();
}

void DisplayWidget::leaveFor(int row)
{
    const int shown = m_PageView->currentIndex();
    if (shown != row && validRow(shown)) {
        m_Delegate->refresh(shown);
        repaintRow(shown);
    }
    showRow(row);
}

void DisplayWidget::applyKept(int page, const KeptPageMessages::Message &message)
{
    switch (message.kind) {
    case KeptPageMessages::Kind::Item:
        applyLine(page, message.itemText);
        break;
    case KeptPageMessages::Kind::Clear:
        applyClear(page);
        break;
    case KeptPageMessages::Kind::Rotate:
        applyRotate(page);
        break;
    case KeptPageMessages::Kind::Vote:
        applyVote(message.fields);
        break;
    }
}

void DisplayWidget::onApplyKept()
{
    QElapsedTimer clock;
    clock.start();
    if (!m_keptReturn)
        m_keptReturn = m_PageView->currentIndex();
    // Pages come in in order: when the lowest page kept is not in, none is.
    int applied = 0;
    for (int page = m_kept.firstPage();
         validRow(page) && applied < KeptSliceMessages && !clock.hasExpired(KeptSliceMs);
         page = m_kept.firstPage(), ++applied)
        applyKept(page, m_kept.takeFirst(page));

    const bool more = validRow(m_kept.firstPage());
    const int teacher = m_kept.teacherPage();
    if (validRow(teacher) && !m_kept.holds(teacher)) {
        const bool told = m_kept.teacherPageTold();
        m_kept.setTeacherPage(-1, false);
        m_keptReturn = teacher;
        leaveFor(teacher);
        if (told && TcpManager::instance()->m_bTeacherConnected)
            TcpManager::instance()->syncEBook(teacher);
    } else if (!more && m_PageView->currentIndex() != *m_keptReturn) {
        // The teacher is not on the pages written on: back to the page shown before, or to the
        // book's first page.
        leaveFor(validRow(*m_keptReturn) ? *m_keptReturn : 0);
    }
    if (more)
        m_keptTimer.start();
    else
        m_keptReturn.reset();
}
