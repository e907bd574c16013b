// The main window's toolbar actions and its battery, hands-up and reconnect timers.
#include "app/MainWidget.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/TaskToolManager.h"
#include "platform/PowerStatus.h"
#include "screens/DisplayWidget.h"
#include "screens/ENoteWidget.h"
#include "screens/LocalBooksWidget.h"
#include "screens/NoticeBox.h"
#include "screens/SavePdfDialog.h"
#include "screens/ToolbarButton.h"
#include "screens/serverbooswidget.h"

#include <QDebug>
#include <QStackedWidget>

namespace {
// Pages named in the notice of pages saved blank; more are shown as an ellipsis.
const int kBlankPagesNamed = 20;
} // namespace

void MainWidget::onBtnLogin()
{
    m_StackedWidget->setCurrentIndex(LoginPage);
}

void MainWidget::onbtnLocalBooks()
{
    m_StackedWidget->setCurrentIndex(LocalBooksPage);
}

void MainWidget::onBtnServerBooks()
{
    m_StackedWidget->setCurrentIndex(ServerBooksPage);
    if (TcpManager::instance()->m_bServerConnected)
        m_ServerBooksWidget->queryBooks();
}

void MainWidget::onSwitchEBook()
{
    m_StackedWidget->setCurrentIndex(EBookPage);
    Settings::instance()->m_nMode = 0;
}

// The drawing tools draw on the scene of the screen of the current mode.
void MainWidget::attachToolScene()
{
    if (currentMode() == 0)
        m_DisplayWidget->attachToolScene();
    else if (currentMode() == 1)
        m_ENoteWidget->attachToolScene();
}

void MainWidget::onBtnArrow()
{
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
}

void MainWidget::onBtnMarker()
{
    TaskToolManager::instance()->setMode(TaskToolManager::PenMode);
    attachToolScene();
}

void MainWidget::onBtnEraser()
{
    TaskToolManager::instance()->setMode(TaskToolManager::EraserMode);
}

void MainWidget::onBtnHighlighter()
{
    TaskToolManager::instance()->setMode(TaskToolManager::HighlighterMode);
    attachToolScene();
}

void MainWidget::onBtnTextEdit()
{
    qDebug() << "onBtnTextEdit";
    TaskToolManager::instance()->setMode(TaskToolManager::TextMode);
    attachToolScene();
}

// The colour button shows the colour that the press selects.
void MainWidget::onBtnColor()
{
    struct ColourImages
    {
        Qt::GlobalColor current;
        const char *normal;
        const char *pressed;
    };
    static const ColourImages next[] = {
        {Qt::black, "Colors_red.svg", "Clicked Color-red.svg"},
        {Qt::red, "Colors_blue.svg", "Clicked Color-blue.svg"},
        {Qt::blue, "Colors_green.svg", "Clicked Color-green.svg"},
        {Qt::green, "Colors_black.svg", "Clicked Color-black.svg"},
    };
    TaskToolManager *tools = TaskToolManager::instance();
    for (const ColourImages &entry : next) {
        if (tools->color() == QColor(entry.current)) {
            m_btnColor->setImage(res(entry.normal), false);
            m_btnColor->setImage(res(entry.pressed), true);
            break;
        }
    }
    tools->switchColor();
}

void MainWidget::onBtnClearAll()
{
    if (currentMode() == 0)
        m_DisplayWidget->clearPage(m_DisplayWidget->currentPage());
    else if (currentMode() == 1)
        m_ENoteWidget->clearPage(m_ENoteWidget->currentPage());
}

void MainWidget::onBtnRotate()
{
    if (currentMode() == 0)
        m_DisplayWidget->rotatePage(m_DisplayWidget->currentPage());
}

void MainWidget::onBtnSave()
{
    const int mode = currentMode();
    const int pages = mode == 0   ? m_DisplayWidget->pageCount()
                      : mode == 1 ? m_ENoteWidget->pageCount()
                                  : 0;
    if (pages < 1) {
        qDebug() << "onBtnSave: nothing to save in mode" << mode;
        return;
    }
    if (!m_SavePdfDialog)
        m_SavePdfDialog = new SavePdfDialog(this);
    if (m_SavePdfDialog->exec() != QDialog::Accepted)
        return;
    delete m_SavePdfDialog;
    m_SavePdfDialog = nullptr;
    QList<int> blank;
    const bool saved =
        mode == 0 ? m_DisplayWidget->saveAsPdf(&blank) : m_ENoteWidget->saveAsPdf(&blank);
    if (!saved) {
        NoticeBox::show(this, tr("Save"), tr("The pages could not be saved as a PDF file."));
    } else if (!blank.isEmpty()) {
        // Page numbers as the student counts them; a long list is cut short.
        QStringList numbers;
        for (int i = 0; i < blank.size() && i < kBlankPagesNamed; ++i)
            numbers << QString::number(blank.at(i) + 1);
        if (blank.size() > kBlankPagesNamed)
            numbers << QString(QChar(0x2026));
        NoticeBox::show(
            this, tr("Save"),
            tr("The PDF file was saved, but these pages could not be read and were saved "
               "blank: %1")
                .arg(numbers.join(QStringLiteral(", "))));
    }
    m_LocalBooksWidget->LoadBooks();
}

void MainWidget::onBtnBrowser()
{
    showBrowser();
    Settings::instance()->m_nMode = 2;
    TcpManager::instance()->sendStatus(QStringLiteral("browser"));
}

void MainWidget::onShowQuick() {}

// One hand a lockout period, and only to a teacher who is there to see it.
void MainWidget::onBtnHansdsUp()
{
    TcpManager *tcp = TcpManager::instance();
    if (!tcp->m_bTeacherConnected)
        return;
    onCanHandsUp();
    if (!m_bCanHandsUp)
        return;
    m_bCanHandsUp = false;
    m_nHandsUpTime = now();
    tcp->sendHandsUp();
}

// The clock alone ends the lockout: no timer, late or extra, can open it early.
void MainWidget::onCanHandsUp()
{
    if (!m_bCanHandsUp && now() - m_nHandsUpTime >= HandsUpLockout)
        m_bCanHandsUp = true;
}

void MainWidget::onAppsTimer()
{
    if (m_strApp.isEmpty())
        return;
    m_strApp.clear();
    TcpManager::instance()->sendApp(m_strApp);
}

void MainWidget::onBattleryTimer()
{
    const int percent = PowerStatus::batteryPercent();
    if (percent == m_nLastBattery)
        return;
    m_nLastBattery = percent;
    qDebug() << "onBattleryTimer sendBattlery " << percent;
    TcpManager::instance()->sendBattery(QString::number(percent));
}

void MainWidget::tryReconnect()
{
    qDebug() << "tryReconnect()";
    TcpManager *tcp = TcpManager::instance();
    if (tcp->m_bTeacherConnected)
        m_ReconnectTimer.stop();
    if (tcp->m_bServerConnected)
        tcp->queryTeacherList();
    else
        tcp->connectToServer();
}
