// The main window's teacher commands: each argument is read by TeacherCommand and the command
// goes to the screen its target word names (or the screen of the current mode).
#include "app/MainWidget.h"

#include "link/BookName.h"
#include "link/Settings.h"
#include "link/TcpManager.h"
#include "link/TeacherCommand.h"
#include "pages/TaskToolManager.h"
#include "screens/ChatWidget.h"
#include "screens/DisplayWidget.h"
#include "screens/ENoteWidget.h"
#include "screens/LockWidget.h"
#include "screens/LoginWidget.h"
#include "screens/ToolbarButton.h"
#include "screens/VoteWidget.h"
#include "screens/eBrowserWidget.h"

#include <QDebug>
#include <QFileInfo>
#include <QLabel>
#include <QStackedWidget>

void MainWidget::onLineData(QString data)
{
    TeacherCommand::PageMessage message;
    if (!TeacherCommand::parseLine(data, message))
        return;
    if (message.target == TeacherCommand::EBook)
        m_DisplayWidget->lineUpdatePage(message.page, message.itemText);
    else
        m_ENoteWidget->lineUpdatePage(message.page, message.itemText);
}

void MainWidget::onMoveImageData(QString data)
{
    TeacherCommand::MoveItem move;
    if (!TeacherCommand::parseMove(data, move) || move.target != TeacherCommand::ENote)
        return;
    m_ENoteWidget->moveItem(move.page, move.itemId, move.pos);
}

// Every target word but "ebook" names the e-note screen.
void MainWidget::onReceClearPage(QString data)
{
    const QStringList fields = data.split(QLatin1Char('#'));
    const int page =
        fields.size() == 2 ? TeacherCommand::readNumber(fields.at(1), TeacherCommand::MaxRow) : -1;
    if (page < 0) {
        qDebug() << "clear@ dropped: not target and page" << data.left(64);
        return;
    }
    if (TeacherCommand::readTarget(fields.at(0)) == TeacherCommand::EBook)
        m_DisplayWidget->clearPage(page);
    else
        m_ENoteWidget->clearPage(page);
}

void MainWidget::onReceRotateCmd(QString data)
{
    TeacherCommand::PageRef ref;
    if (!TeacherCommand::parsePageRef(data, ref))
        return;
    if (ref.target == TeacherCommand::EBook) {
        qDebug() << "onReceRotateCmd 111";
        m_DisplayWidget->rotatePage(ref.page);
    } else {
        m_ENoteWidget->rotatePage(ref.page);
    }
}

void MainWidget::onShareVote(QString data)
{
    TeacherCommand::ShareVote vote;
    if (!TeacherCommand::parseShareVote(data, vote))
        return;
    qDebug() << "shareVote " << vote.fields;
    if (vote.target == TeacherCommand::EBook)
        m_DisplayWidget->showShareVote(vote.fields);
    else
        m_ENoteWidget->showShareVote(vote.fields);
}

void MainWidget::onLineSyncEnd(QString target)
{
    if (TeacherCommand::readTarget(target) == TeacherCommand::ENote)
        m_ENoteWidget->lineSyncEnd();
}

void MainWidget::onReceAddpage(QStringList fields)
{
    TeacherCommand::AddPage page;
    if (TeacherCommand::parseAddPage(fields, page))
        m_ENoteWidget->addPage(page.width, page.height, page.withImage);
}

void MainWidget::onReceShareMode(int mode)
{
    m_ShareLabel->setVisible(mode == 1 || mode == 2);
    if (mode != 2)
        return;
    if (currentMode() == 0)
        m_DisplayWidget->shareLines();
    else if (currentMode() == 1)
        m_ENoteWidget->shareLines();
}

void MainWidget::onGetPreview()
{
    if (currentMode() == 0)
        m_DisplayWidget->sendPreview();
    else if (currentMode() == 1)
        m_ENoteWidget->sendPreview();
}

void MainWidget::onChatting(QString text)
{
    centreOverWindow(m_ChatWidget);
    m_ChatWidget->onChatting(text);
}

void MainWidget::onReceVote(QString data)
{
    if (data == QLatin1String("1")) {
        centreOverWindow(m_VoteWidget);
        m_VoteWidget->show();
    } else {
        m_VoteWidget->close();
    }
}

void MainWidget::onReceWarnning(QString text)
{
    if (m_WarningWidget) {
        m_WarningWidget->close();
        delete m_WarningWidget;
    }
    m_WarningWidget = new LockWidget(text, true, nullptr);
    m_WarningWidget->showFullScreen();
}

// Every lock command is answered with the state the lock screen is in afterwards.
void MainWidget::onReceLock(QString data)
{
    QString text;
    switch (TeacherCommand::parseLock(data, text)) {
    case TeacherCommand::Lock:
        m_LockWidget->setMessage(text);
        // The lock takes the input away: strokes under way end where they are, as their
        // releases will not come through.
        if (!m_LockWidget->isLocked())
            TaskToolManager::instance()->forceReleaseAll();
        m_LockWidget->show();
        break;
    case TeacherCommand::Unlock:
        m_LockWidget->hide();
        break;
    case TeacherCommand::LockNone:
        break;
    }
    TcpManager::instance()->sendLockScreen(m_LockWidget->isLocked() ? QStringLiteral("1")
                                                                    : QStringLiteral("0"));
}

void MainWidget::onBrowserCommand(QString data)
{
    QString address;
    if (!TeacherCommand::parseBrowser(data, address))
        return;
    showBrowser();
    qDebug() << "emit goToSignal " << address;
    emit goToSignal(QVariant(address));
    m_BrowserWidget->loadUrl(address);
}

bool MainWidget::browserUp() const
{
    return m_BrowserWidget && m_BrowserWidget->isVisible();
}

void MainWidget::showBrowser()
{
    if (browserUp())
        return;
    if (!m_BrowserWidget)
        m_BrowserWidget = new eBrowserWidget(nullptr);
    m_BrowserWidget->showFullScreen();
    m_BrowserWidget->raise();
    m_BrowserWidget->activateWindow();
}

void MainWidget::hideBrowser()
{
    if (m_BrowserWidget)
        m_BrowserWidget->hide();
}

void MainWidget::onTeacherStatusResult(QString status)
{
    TcpManager *tcp = TcpManager::instance();
    m_ChatWidget->setPeerName(m_LoginWidget->teacherName());
    tcp->sendBattery(QString::number(m_nLastBattery));
    qDebug() << "onTeacherStatusResult strRet=" << status;
    if (status == QLatin1String("browser")) {
        showBrowser();
        tcp->queryBrowserUrl();
        Settings::instance()->m_nMode = 2;
    } else {
        if (!isVisible())
            show();
        hideBrowser();
        if (status == QLatin1String("ebook")) {
            m_StackedWidget->setCurrentIndex(EBookPage);
            qDebug() << "m_DisplayWidget->getPageCount() " << m_DisplayWidget->pageCount();
            tcp->queryBookPath();
            Settings::instance()->m_nMode = 0;
        } else if (status == QLatin1String("enote")) {
            qDebug() << "queryTeacher_ENotePageCount(1)";
            m_StackedWidget->setCurrentIndex(ENotePage);
            tcp->queryENotePageCount();
            Settings::instance()->m_nMode = 1;
        }
    }
    tcp->sendStatus(status);
}

void MainWidget::onTeacherBookResult(QStringList fields)
{
    TeacherCommand::Answer answer;
    if (!TeacherCommand::parseBookAnswer(fields, answer))
        return;
    TcpManager *tcp = TcpManager::instance();
    if (answer.kind == TeacherCommand::PageIndex) {
        if (m_DisplayWidget->setCurrentPage(answer.number))
            tcp->syncEBook(answer.number);
        return;
    }
    const QString local = BookName::localPath(Settings::instance()->localBookDir(), answer.path);
    const bool exists = !local.isEmpty() && QFileInfo(local).isFile();
    qDebug() << "onTeacherBookResult " << local << " " << (exists ? "true" : "false");
    if (!exists) {
        tcp->downloadBooks(answer.path);
        return;
    }
    // The e-book screen comes up with the e-book mode only, never over another lesson mode.
    if (currentMode() == 0)
        m_StackedWidget->setCurrentIndex(EBookPage);
    tcp->m_strDownloadPath = answer.path;
    m_DisplayWidget->openTeacherBook(QFileInfo(local).absoluteFilePath());
}

void MainWidget::onTeacherENoteResult(QStringList fields)
{
    TeacherCommand::Answer answer;
    if (!TeacherCommand::parseENoteAnswer(fields, answer))
        return;
    if (answer.kind == TeacherCommand::PageIndex) {
        m_ENoteWidget->setCurrentPage(answer.number);
        return;
    }
    m_ENoteWidget->matchPageCount(answer.number);
    TcpManager::instance()->queryENotePageIndex();
}

void MainWidget::onLoginTeacherResult(bool ok)
{
    if (!ok)
        return;
    setLabelSvg(m_StatusLabel, res("Online.svg"));
    m_btnLocalBooks->setEnabled(false);
    m_btnServerBooks->setEnabled(false);
}

void MainWidget::showOffline()
{
    m_ShareLabel->hide();
    setLabelSvg(m_StatusLabel, res("offline.svg"));
    m_btnLocalBooks->setEnabled(true);
    m_btnServerBooks->setEnabled(true);
    m_ENoteWidget->resetPagesInit();
}

// The lesson is over for this student: every view of it goes, and no re-join follows.
void MainWidget::onTeacherKick()
{
    m_ReconnectTimer.stop();
    Settings::instance()->m_bReconnecting = false;
    showOffline();
    m_LockWidget->hide();
    if (m_WarningWidget)
        m_WarningWidget->close();
    hideBrowser();
    m_VoteWidget->close();
    m_ChatWidget->hide();
    m_StackedWidget->setCurrentIndex(LoginPage);
}

void MainWidget::onTeacherReconnect()
{
    showOffline();
    Settings::instance()->m_bReconnecting = true;
    m_ReconnectTimer.start(10000);
}

void MainWidget::onChangeServerStatus(bool on)
{
    const QString image = res(on ? "Login.svg" : "Login_offline.svg");
    m_btnLogin->setImage(image, false);
    m_btnLogin->setImage(image, true);
    m_LoginWidget->setLoginState(on);
}
