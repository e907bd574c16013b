#include "pages/PageTarget.h"

#include "link/Settings.h"
#include "pages/PageToolHooks.h"

#include <QDebug>
#include <QGraphicsView>

namespace {
PageTarget::ViewProvider &viewProvider()
{
    static PageTarget::ViewProvider s_provider;
    return s_provider;
}

int s_nPinnedRow = -1;
} // namespace

void PageTarget::setViewProvider(const ViewProvider &provider)
{
    viewProvider() = provider;
}

QString PageTarget::targetWord(int mode)
{
    if (mode == 0)
        return QStringLiteral("ebook");
    if (mode == 1)
        return QStringLiteral("enote");
    return QString();
}

void PageTarget::setPinnedRow(int row)
{
    s_nPinnedRow = row;
}

int PageTarget::currentRow(int mode)
{
    if (targetWord(mode).isEmpty())
        return -1;
    if (s_nPinnedRow >= 0)
        return s_nPinnedRow;
    if (!PageToolHooks::currentPageRow)
        return -1;
    return PageToolHooks::currentPageRow(mode);
}

QGraphicsView *PageTarget::pageView(int mode)
{
    if (!viewProvider())
        return nullptr;
    return viewProvider()(mode);
}

int PageTarget::modeShowing(const QGraphicsScene *scene, int mode)
{
    if (!scene)
        return mode;
    for (int candidate : {mode == 1 ? 1 : 0, mode == 1 ? 0 : 1}) {
        const QGraphicsView *view = pageView(candidate);
        if (view && view->scene() == scene)
            return candidate;
    }
    return mode;
}

QString PageTarget::lineMessage(const QGraphicsScene *scene, const QString &itemText)
{
    const int mode = modeShowing(scene, Settings::instance()->m_nMode);
    const QString word = targetWord(mode);
    const int row = currentRow(mode);
    if (word.isEmpty() || row < 0) {
        qDebug() << "lineMessage: no page addressed, mode=" << mode << "row=" << row;
        return QString();
    }
    return QStringLiteral("line@%1&%2&").arg(word).arg(row) + itemText;
}
