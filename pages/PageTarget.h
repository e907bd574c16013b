#ifndef PAGETARGET_H
#define PAGETARGET_H

#include <QString>
#include <functional>

class QGraphicsScene;
class QGraphicsView;

// Names the page the student writes on: the target word and page row of the current mode,
// and the page view a screen shows for a mode. The screens install the row through
// PageToolHooks::currentPageRow and the view through setViewProvider.
class PageTarget
{
public:
    using ViewProvider = std::function<QGraphicsView *(int mode)>;

    static void setViewProvider(const ViewProvider &provider);

    // "ebook" for mode 0, "enote" for mode 1, else empty.
    static QString targetWord(int mode);
    // Current page row of the screen of the mode; -1 when there is none.
    static int currentRow(int mode);
    // While set (not -1), the row of every page message: a canvas ending the strokes of the
    // page it leaves, when its list already shows the next one.
    static void setPinnedRow(int row);
    // The page view of the screen of the mode, or null.
    static QGraphicsView *pageView(int mode);

    // "line@<word>&<row>&<item text>" for the page whose scene holds the item: that of the
    // screen whose canvas shows the scene, whatever the mode is now (a stroke begun there
    // before the class moved on), else that of the current mode's screen. Empty when no page
    // is addressed (a scene of neither canvas in modes 2 and 3, or no page row).
    static QString lineMessage(const QGraphicsScene *scene, const QString &itemText);

private:
    // The mode of the screen whose canvas shows the scene (the given mode's first); the given
    // mode when neither does.
    static int modeShowing(const QGraphicsScene *scene, int mode);
};

#endif // PAGETARGET_H
