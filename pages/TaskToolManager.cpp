#include "pages/TaskToolManager.h"

#include "link/TcpManager.h"
#include "pages/DisplayPage.h"
#include "pages/EraserTool.h"
#include "pages/HighlighterTool.h"
#include "pages/PageToolHooks.h"
#include "pages/PointerTool.h"
#include "pages/PolyLineTool.h"
#include "pages/TextEdit.h"
#include "pages/TextItem.h"
#include "platform/OnScreenKeyboard.h"

#include <QDebug>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>

namespace {
QString hexByte(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}
} // namespace

TaskToolManager *TaskToolManager::instance()
{
    static TaskToolManager *s_instance = new TaskToolManager;
    return s_instance;
}

TaskToolManager::TaskToolManager() : QObject(nullptr)
{
    PageToolHooks::endStrokes = [this](QGraphicsScene *scene) { releaseScene(scene); };
    PageToolHooks::clearToolItems = [this](QGraphicsScene *scene) { dropScene(scene); };
    PageToolHooks::currentColor = [this]() { return m_color; };
}

TaskToolManager::~TaskToolManager()
{
    PageToolHooks::endStrokes = nullptr;
    PageToolHooks::clearToolItems = nullptr;
    PageToolHooks::currentColor = nullptr;
    m_penTools.clear();
    m_eraserTools.clear();
    m_highlighterTools.clear();
    m_pointerTools.clear();
}

void TaskToolManager::setMode(int mode)
{
    m_nMode = mode;
    if (!m_scene || m_scene->views().isEmpty())
        return;
    QGraphicsView *view = m_scene->views().first();
    switch (mode) {
    case EraserMode:
        view->setCursor(m_eraserCursor);
        break;
    case HighlighterMode:
        view->setCursor(m_highlighterCursor);
        break;
    case PenMode:
        view->setCursor(m_penCursor);
        break;
    default:
        view->setCursor(m_pointerCursor);
        break;
    }
}

void TaskToolManager::setScene(QGraphicsScene *scene)
{
    m_scene = scene;
}

void TaskToolManager::switchColor()
{
    static const QColor cycle[] = {QColor(Qt::black), QColor(Qt::red), QColor(Qt::blue),
                                   QColor(Qt::green)};
    for (int i = 0; i < 4; ++i) {
        if (m_color == cycle[i]) {
            m_color = cycle[(i + 1) % 4];
            return;
        }
    }
}

void TaskToolManager::cycleWidth()
{
    static const int cycle[] = {3, 5, 7, 10};
    for (int i = 0; i < 4; ++i) {
        if (m_nWidth == cycle[i]) {
            m_nWidth = cycle[(i + 1) % 4];
            return;
        }
    }
}

std::vector<std::unique_ptr<TaskTool>> *TaskToolManager::poolFor(int mode)
{
    switch (mode) {
    case PointerMode:
        return &m_pointerTools;
    case PenMode:
        return &m_penTools;
    case EraserMode:
        return &m_eraserTools;
    case HighlighterMode:
        return &m_highlighterTools;
    default:
        return nullptr;
    }
}

TaskTool *TaskToolManager::getTool(bool create, int touchId, QGraphicsScene *scene)
{
    if (!create) {
        for (TaskTool *tool : m_activeTools) {
            if (tool && tool->touchId() == touchId)
                return tool;
        }
        return nullptr;
    }
    std::vector<std::unique_ptr<TaskTool>> *pool = poolFor(m_nMode);
    if (!pool)
        return nullptr;
    int slot = 0;
    while (slot < MaxActiveTools && m_activeTools[slot])
        ++slot;
    if (slot == MaxActiveTools) {
        qDebug() << "getTool: all" << MaxActiveTools << "tools busy, touch" << touchId << "ignored";
        return nullptr;
    }
    TaskTool *tool = nullptr;
    for (const auto &pooled : *pool) {
        if (pooled->touchId() == -1) {
            tool = pooled.get();
            break;
        }
    }
    if (!tool) {
        switch (m_nMode) {
        case PointerMode:
            pool->push_back(std::make_unique<PointerTool>());
            break;
        case PenMode:
            pool->push_back(std::make_unique<PolyLineTool>());
            break;
        case EraserMode:
            pool->push_back(std::make_unique<EraserTool>());
            break;
        default:
            pool->push_back(std::make_unique<HighlighterTool>());
            break;
        }
        tool = pool->back().get();
    }
    m_activeTools[slot] = tool;
    tool->setTouchId(touchId);
    tool->setScene(scene ? scene : m_scene.data());
    tool->setColor(m_color);
    tool->setWidth(m_nWidth);
    return tool;
}

void TaskToolManager::releaseSlot(int slot)
{
    TaskTool *tool = m_activeTools[slot];
    tool->release(tool->currentPoint());
    tool->setTouchId(-1);
    m_activeTools[slot] = nullptr;
}

bool TaskToolManager::press(int touchId, const QPointF &pos, QGraphicsScene *scene)
{
    if (m_nMode != TextMode) {
        // A second press on a bound touch point ends its old stroke first.
        for (int slot = 0; slot < MaxActiveTools; ++slot) {
            if (m_activeTools[slot] && m_activeTools[slot]->touchId() == touchId) {
                qDebug() << "press on busy touch" << touchId;
                releaseSlot(slot);
            }
        }
        TaskTool *tool = getTool(true, touchId, scene);
        return tool ? tool->press(pos) : false;
    }
    if (!scene)
        scene = m_scene;
    if (!scene)
        return false;
    if (!isTextEntryOpen()) {
        openTextEntry(scene, pos);
        return false;
    }
    closeTextEntry();
    m_pendingText = nullptr;
    setMode(PointerMode);
    return false;
}

bool TaskToolManager::move(int touchId, const QPointF &pos)
{
    TaskTool *tool = getTool(false, touchId);
    return tool ? tool->move(pos) : false;
}

bool TaskToolManager::release(int touchId, const QPointF &pos)
{
    for (int slot = 0; slot < MaxActiveTools; ++slot) {
        TaskTool *tool = m_activeTools[slot];
        if (tool && tool->touchId() == touchId) {
            const bool result = tool->release(pos);
            tool->setTouchId(-1);
            m_activeTools[slot] = nullptr;
            return result;
        }
    }
    return false;
}

void TaskToolManager::cancel(int touchId)
{
    for (int slot = 0; slot < MaxActiveTools; ++slot) {
        if (m_activeTools[slot] && m_activeTools[slot]->touchId() == touchId) {
            qDebug() << "cancel touch" << touchId;
            releaseSlot(slot);
        }
    }
}

void TaskToolManager::forceReleaseAll()
{
    for (int slot = MaxActiveTools - 1; slot >= 0; --slot) {
        if (m_activeTools[slot]) {
            qDebug() << "force release " << m_activeTools[slot]->touchId();
            releaseSlot(slot);
        }
    }
}

void TaskToolManager::releaseScene(QGraphicsScene *scene)
{
    for (int slot = MaxActiveTools - 1; slot >= 0; --slot) {
        if (m_activeTools[slot] && m_activeTools[slot]->scene() == scene) {
            qDebug() << "force release " << m_activeTools[slot]->touchId();
            releaseSlot(slot);
        }
    }
}

std::vector<TaskTool *> TaskToolManager::liftScene(QGraphicsScene *scene)
{
    std::vector<TaskTool *> lifted;
    for (TaskTool *tool : m_activeTools) {
        if (!tool || tool->scene() != scene)
            continue;
        if (auto *stroke = dynamic_cast<StrokeTool *>(tool))
            stroke->liftSegments();
        tool->setScene(nullptr);
        lifted.push_back(tool);
    }
    return lifted;
}

void TaskToolManager::landScene(QGraphicsScene *scene, const std::vector<TaskTool *> &lifted)
{
    for (TaskTool *tool : lifted) {
        // Only a tool still bound and still off every scene goes back on.
        if (tool->touchId() == -1 || tool->scene())
            continue;
        tool->setScene(scene);
        if (auto *stroke = dynamic_cast<StrokeTool *>(tool))
            stroke->landSegments();
    }
}

void TaskToolManager::dropScene(QGraphicsScene *scene)
{
    for (int slot = 0; slot < MaxActiveTools; ++slot) {
        TaskTool *tool = m_activeTools[slot];
        if (tool && tool->scene() == scene) {
            qDebug() << "drop touch" << tool->touchId();
            tool->abandon();
            tool->setTouchId(-1);
            m_activeTools[slot] = nullptr;
        }
    }
    for (StrokeTool *tool : strokeTools()) {
        if (tool->scene() == scene)
            tool->forgetSegments();
    }
    if (m_textProxy && m_textProxy->scene() == scene) {
        m_textEdit = nullptr;
        m_textProxy = nullptr;
    }
}

std::vector<StrokeTool *> TaskToolManager::strokeTools() const
{
    std::vector<StrokeTool *> tools;
    for (const auto *pool : {&m_penTools, &m_highlighterTools, &m_eraserTools}) {
        for (const auto &tool : *pool)
            tools.push_back(static_cast<StrokeTool *>(tool.get()));
    }
    return tools;
}

void TaskToolManager::clearToolItems()
{
    for (StrokeTool *tool : strokeTools())
        tool->forgetSegments();
}

void TaskToolManager::startOnScreenKeyboard()
{
    OnScreenKeyboard::start();
}

bool TaskToolManager::isTextEntryOpen() const
{
    return m_textEdit && m_textProxy;
}

int TaskToolManager::activeToolCount() const
{
    int count = 0;
    for (TaskTool *tool : m_activeTools)
        count += tool ? 1 : 0;
    return count;
}

int TaskToolManager::poolSize(int mode) const
{
    auto *pool = const_cast<TaskToolManager *>(this)->poolFor(mode);
    return pool ? int(pool->size()) : 0;
}

void TaskToolManager::openTextEntry(QGraphicsScene *scene, const QPointF &pos)
{
    delete m_textEdit.data(); // a half-open entry whose proxy went away
    auto *edit = new TextEdit;
    m_textEdit = edit;
    m_textProxy = scene->addWidget(edit, Qt::WindowFlags());
    m_textProxy->setMinimumSize(edit->width(), edit->height());
    edit->move(int(pos.x()), int(pos.y()));
    startOnScreenKeyboard();
}

void TaskToolManager::closeTextEntry()
{
    const QString text = m_textEdit->text();
    if (text.isEmpty()) {
        delete m_textEdit.data();
        return;
    }
    auto *page = qobject_cast<DisplayPage *>(m_textProxy->scene());
    if (!page)
        return;
    auto *item = new TextItem;
    m_pendingText = item;
    const QColor c = item->defaultTextColor();
    item->setHtml(QStringLiteral("<font color=#") + hexByte(c.red()) + hexByte(c.green()) +
                  hexByte(c.blue()) + QStringLiteral(">") + text.toHtmlEscaped() +
                  QStringLiteral("</font>"));
    page->addItem(item);
    item->setPos(QPointF(m_textEdit->pos()));
    delete m_textEdit.data();
    if (TcpManager::instance()->m_bShare)
        page->sendText(item);
}

void TaskToolManager::onRaiseEdit() {}
