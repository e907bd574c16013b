#ifndef TST_CANVAS_SUPPORT_H
#define TST_CANVAS_SUPPORT_H

// Shared by the canvas, tool and page view tests: a teacher on 127.0.0.1, a canvas with
// blank pages, and helpers to look at what a scene holds.

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/LiveSegment.h"
#include "pages/PageTarget.h"
#include "pages/PageToolHooks.h"
#include "pages/PageView.h"
#include "pages/PolylineItem.h"
#include "pages/TaskToolManager.h"
#include "pages/TextItem.h"
#include "support/FakeTeacher.h"

#include <QBuffer>
#include <QGraphicsScene>
#include <QImage>
#include <QtTest>

#include <memory>

namespace canvas {

template <typename Item> QList<Item *> itemsOf(QGraphicsScene *scene)
{
    QList<Item *> found;
    const QList<QGraphicsItem *> items = scene->items(Qt::AscendingOrder);
    for (QGraphicsItem *item : items) {
        if (auto *typed = dynamic_cast<Item *>(item))
            found << typed;
    }
    return found;
}

// The process-wide protocol client connected to a teacher of our own.
struct TeacherLink
{
    FakeTeacher teacher;
    FakePeer image;

    bool connect()
    {
        TcpManager *tcp = TcpManager::instance();
        if (!teacher.listen() || !image.listen())
            return false;
        tcp->setTeacherPorts(teacher.port(), image.port());
        tcp->connectToTeacher(QStringLiteral("127.0.0.1"));
        if (!teacher.waitForConnection() || !teacher.waitForFrames(1)) // "information@"
            return false;
        teacher.clearFrames();
        return true;
    }

    // Frames as "word@args", after the given time for late ones.
    QList<QByteArray> framesAfter(int waitMs)
    {
        QTest::qWait(waitMs);
        return teacher.frameTexts();
    }
};

// Puts the tool manager back to pen, black, width 3, drawing into the given scene.
inline void resetTools(QGraphicsScene *scene, int mode = TaskToolManager::PenMode)
{
    TaskToolManager *tools = TaskToolManager::instance();
    tools->forceReleaseAll();
    while (tools->color() != QColor(Qt::black))
        tools->switchColor();
    while (tools->width() != 3)
        tools->cycleWidth();
    tools->setScene(scene);
    tools->setMode(mode);
}

// A shown canvas with blank pages, page 0 shown, the screens' hooks pointing at it.
inline std::unique_ptr<PageView> makeCanvas(int pages, const QSize &pageSize,
                                            const QSize &viewSize = QSize(400, 300))
{
    auto view = std::make_unique<PageView>(false);
    for (int i = 0; i < pages; ++i)
        view->addBlankPage(pageSize.width(), pageSize.height(), false);
    view->onCurrentPageChanged(0);
    view->resize(viewSize);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    PageView *raw = view.get();
    PageToolHooks::currentPageRow = [raw](int) { return raw->currentIndex(); };
    PageTarget::setViewProvider([raw](int) -> QGraphicsView * { return raw; });
    Settings::instance()->m_nMode = 0;
    resetTools(raw->pageScene());
    return view;
}

inline QByteArray pngBytes(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A PNG of few bytes and many black pixels.
inline QByteArray monoPng(int w, int h)
{
    QImage image(w, h, QImage::Format_Mono);
    image.fill(0);
    return pngBytes(image);
}

inline void dropCanvasHooks()
{
    PageToolHooks::currentPageRow = nullptr;
    PageTarget::setViewProvider(nullptr);
}

} // namespace canvas

#endif // TST_CANVAS_SUPPORT_H
