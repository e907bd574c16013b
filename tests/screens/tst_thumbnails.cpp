// The e-book screen's thumbnails after the student's strokes, through touch on its canvas, and
// after the teacher's items, a clear and a vote: each is the page rendered whole, pixel for
// pixel, however it was brought up to date.
#include "link/Settings.h"
#include "pages/DisplayPage.h"
#include "pages/PageView.h"
#include "pages/TaskToolManager.h"
#include "screens/DisplayWidget.h"
#include "screens/EBookItemDelegate.h"

#include <QTouchDevice>
#include <QtTest>

class TestThumbnails : public QObject
{
    Q_OBJECT
private slots:
    void thumbnailIsThePageRenderedWhole();
};

namespace {
QImage rgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

void TestThumbnails::thumbnailIsThePageRenderedWhole()
{
    Settings::instance()->m_nMode = 0;
    DisplayWidget screen;
    QPixmap paper(800, 600);
    paper.fill(QColor(250, 245, 230));
    for (int page = 0; page < 2; ++page) {
        screen.appendThumbnail(paper);
        screen.pageView()->addPixmapPage(paper, false);
    }
    screen.resize(1000, 700);
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));
    QVERIFY(screen.setCurrentPage(0));
    PageView *canvas = screen.pageView();
    QWidget *viewport = canvas->viewport();
    QTouchDevice *device = QTest::createTouchDevice();
    TaskToolManager *tools = TaskToolManager::instance();
    tools->setScene(canvas->pageScene());
    const auto stroke = [&](int mode, const QList<QPoint> &points) {
        tools->setMode(mode);
        QTest::touchEvent(viewport, device).press(1, points.first(), viewport);
        for (const QPoint &p : points.mid(1))
            QTest::touchEvent(viewport, device).move(1, p, viewport);
        QTest::touchEvent(viewport, device).release(1, points.last(), viewport);
    };
    const auto whole = [&] {
        QPixmap pixmap(EBookItemDelegate::CellWidth, EBookItemDelegate::CellHeight);
        canvas->pageScene()->renderToPixmap(pixmap);
        return rgb(pixmap);
    };
    const auto upToDate = [&](int row) {
        return QTest::qWaitFor([&] { return rgb(screen.delegate()->thumbnail(row)) == whole(); },
                               5000);
    };

    const QImage blank = rgb(screen.delegate()->thumbnail(0));
    stroke(TaskToolManager::PenMode, {{40, 40}, {300, 200}, {60, 300}, {400, 380}});
    QVERIFY(rgb(screen.delegate()->thumbnail(0)) != blank);
    QVERIFY(upToDate(0));
    // Drawn over the kept thumbnail, a translucent one too.
    stroke(TaskToolManager::PenMode, {{500, 40}, {520, 300}});
    QVERIFY(upToDate(0));
    stroke(TaskToolManager::HighlighterMode, {{20, 250}, {600, 260}, {30, 270}});
    QVERIFY(upToDate(0));

    screen.lineUpdatePage(0, QStringLiteral("3#0,128,0,255#6#100,500 700,100 "));
    QVERIFY(upToDate(0));
    screen.showShareVote(QStringList{"ebook", "0", "1,2", "2,1", "3,0", "4,0", "5,1", "6,0"});
    stroke(TaskToolManager::PenMode, {{100, 100}, {200, 120}});
    QVERIFY(upToDate(0));
    screen.clearPage(0);
    QVERIFY(upToDate(0));
    stroke(TaskToolManager::PenMode, {{300, 300}, {350, 420}});
    QVERIFY(upToDate(0));

    // Another page keeps its own; the first stays as it was left.
    const QImage first = rgb(screen.delegate()->thumbnail(0));
    QVERIFY(screen.setCurrentPage(1));
    stroke(TaskToolManager::EraserMode, {{10, 10}, {700, 500}});
    QVERIFY(upToDate(1));
    QCOMPARE(rgb(screen.delegate()->thumbnail(0)), first);
    tools->setScene(nullptr);
}

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
