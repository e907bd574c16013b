#ifndef TASKTOOLMANAGER_H
#define TASKTOOLMANAGER_H

#include <QColor>
#include <QCursor>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QObject>
#include <QPointF>
#include <QPointer>

#include "pages/TextEdit.h"
#include <array>
#include <memory>
#include <vector>

class TaskTool;
class StrokeTool;
class TextItem;

// Owns the student's drawing tools: the current mode, colour and width, and one tool per touch
// point (the mouse counts as the touch point MouseTouchId). A tool draws into the scene of the
// canvas that took the press; the scene set last serves presses that name none.
class TaskToolManager : public QObject
{
    Q_OBJECT
public:
    enum Mode
    {
        PointerMode = 0,
        PenMode = 1,
        EraserMode = 2,
        HighlighterMode = 3,
        TextMode = 4
    };
    static constexpr int MouseTouchId = 28671;
    static constexpr int MaxActiveTools = 32;

    static TaskToolManager *instance();
    ~TaskToolManager() override;

    int mode() const { return m_nMode; }
    void setMode(int mode);
    int width() const { return m_nWidth; }
    QColor color() const { return m_color; }
    QGraphicsScene *scene() const { return m_scene; }
    void setScene(QGraphicsScene *scene);
    void switchColor();
    void cycleWidth();

    bool press(int touchId, const QPointF &pos, QGraphicsScene *scene = nullptr);
    bool move(int touchId, const QPointF &pos);
    bool release(int touchId, const QPointF &pos);
    // Ends the stroke of one touch point at its last point (a cancelled touch).
    void cancel(int touchId);
    void forceReleaseAll();
    // Ends the strokes drawn into one scene, which is about to be emptied.
    void releaseScene(QGraphicsScene *scene);
    // The tools drawing into a scene step off it while it shows its page again (their live
    // segments leave it undeleted), then step back on and go on drawing.
    std::vector<TaskTool *> liftScene(QGraphicsScene *scene);
    void landScene(QGraphicsScene *scene, const std::vector<TaskTool *> &lifted);
    // The scene is about to delete its items unsaved: its strokes end without an item and
    // every tool and text entry forgets what it holds there.
    void dropScene(QGraphicsScene *scene);
    void clearToolItems();
    void startOnScreenKeyboard();

    bool isTextEntryOpen() const;
    TextEdit *textEdit() const { return m_textEdit; }
    // The tool bound to a touch point, or null.
    TaskTool *boundTool(int touchId) { return getTool(false, touchId); }
    int activeToolCount() const;
    int poolSize(int mode) const;

public slots:
    void onRaiseEdit();

private:
    TaskToolManager();
    TaskTool *getTool(bool create, int touchId, QGraphicsScene *scene = nullptr);
    std::vector<std::unique_ptr<TaskTool>> *poolFor(int mode);
    void releaseSlot(int slot);
    void openTextEntry(QGraphicsScene *scene, const QPointF &pos);
    void closeTextEntry();
    std::vector<StrokeTool *> strokeTools() const;

    int m_nMode = PointerMode;
    int m_nWidth = 3;
    std::array<TaskTool *, MaxActiveTools> m_activeTools{};
    QColor m_color = QColor(Qt::black);
    QCursor m_pointerCursor;
    QCursor m_penCursor;
    QCursor m_highlighterCursor;
    QCursor m_eraserCursor;
    QPointer<QGraphicsScene> m_scene;
    TextItem *m_pendingText = nullptr;
    QPointer<TextEdit> m_textEdit;
    QPointer<QGraphicsProxyWidget> m_textProxy;
    std::vector<std::unique_ptr<TaskTool>> m_highlighterTools;
    std::vector<std::unique_ptr<TaskTool>> m_penTools;
    std::vector<std::unique_ptr<TaskTool>> m_eraserTools;
    std::vector<std::unique_ptr<TaskTool>> m_pointerTools;
};

#endif // TASKTOOLMANAGER_H
