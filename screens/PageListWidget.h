#ifndef PAGELISTWIDGET_H
#define PAGELISTWIDGET_H

#include <QListWidget>
#include <QPointF>

// The e-note page list: thumbnails in a column of fixed width, scrolled by touch one row for
// every 100 pixels a finger moves; a tap selects the row under it.
class PageListWidget : public QListWidget
{
    Q_OBJECT
public:
    static constexpr int ListWidth = 200;
    // A finger must move further than this (in pixels) to scroll one row.
    static constexpr int ScrollStep = 100;
    // A touch that moves less than this and scrolls nothing is a tap.
    static constexpr int TapSlop = 20;

    explicit PageListWidget(QWidget *parent = nullptr);
    ~PageListWidget() override;

protected:
    bool viewportEvent(QEvent *event) override;

private:
    void tapAt(const QPoint &pos);

    QPointF m_lastPos; // where the last scroll step (or the press) was
    QPointF m_pressPos;
    bool m_bScrolled = false;
};

#endif // PAGELISTWIDGET_H
