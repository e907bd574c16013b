#include "app/MainWidget.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/PageTarget.h"
#include "pages/PageToolHooks.h"
#include "pages/PageView.h"
#include "screens/ChatWidget.h"
#include "screens/DisplayWidget.h"
#include "screens/ENoteWidget.h"
#include "screens/LocalBooksWidget.h"
#include "screens/LockWidget.h"
#include "screens/LoginWidget.h"
#include "screens/SavePdfDialog.h"
#include "screens/ScreenPointers.h"
#include "screens/ToolbarButton.h"
#include "screens/VoteWidget.h"
#include "screens/eBrowserWidget.h"
#include "screens/serverbooswidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace {
const int kButtonWidth = 70;
const int kButtonHeight = 62;

} // namespace

QString MainWidget::res(const char *name)
{
    return QStringLiteral(":/res/res/") + QString::fromUtf8(name);
}

MainWidget::MainWidget(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    m_BrowserWidget = nullptr;

    Settings *settings = Settings::instance();
    settings->removeDir(QFileInfo(settings->tempBooksDir()));
    settings->removeDir(QFileInfo(settings->tempNotesDir()));

    m_bCanHandsUp = true;
    m_nLastBattery = -1;
    m_clock = [] {
        static QElapsedTimer s_clock;
        if (!s_clock.isValid())
            s_clock.start();
        return s_clock.elapsed();
    };
    m_SavePdfDialog = nullptr;
    ScreenPointers::setMainWidget(this);
    settings->m_nMode = 3;

    auto *mainLayout = new QVBoxLayout;
    auto *toolbar = new QWidget;
    toolbar->setAutoFillBackground(true);
    QPalette palette = toolbar->palette();
    palette.setBrush(QPalette::All, QPalette::Window,
                     QBrush(QPixmap(res("Toolbar background.svg"))));
    toolbar->setPalette(palette);
    buildToolbar(toolbar);
    buildScreens();

    mainLayout->addWidget(toolbar);
    mainLayout->addWidget(m_StackedWidget);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    setLayout(mainLayout);

    connect(&m_AppsTimer, SIGNAL(timeout()), this, SLOT(onAppsTimer()));
    connect(&m_BatteryTimer, SIGNAL(timeout()), this, SLOT(onBattleryTimer()));
    m_BatteryTimer.start(1000);
    connect(&m_ReconnectTimer, SIGNAL(timeout()), this, SLOT(tryReconnect()));
    connectSignals();
    installPageHooks();
}

MainWidget::~MainWidget()
{
    PageToolHooks::currentPageRow = nullptr;
    PageTarget::setViewProvider(nullptr);
    // Windows of their own, not children of this one.
    delete m_WarningWidget;
    delete m_LockWidget;
    delete m_BrowserWidget;
    delete m_btnBrowser;
}

void MainWidget::buildToolbar(QWidget *toolbar)
{
    auto *row = new QHBoxLayout;
    toolbar->setLayout(row);
    m_ShareLabel = new QLabel;
    m_StatusLabel = new QLabel;

    struct ButtonSpec
    {
        ToolbarButton **button;
        const char *normal;
        const char *pressed;
    };
    const ButtonSpec specs[] = {
        {&m_btnLogin, "Login_offline.svg", "Login_offline.svg"},
        {&m_btnArrow, "Pointer.svg", "Pointer - clicked.svg"},
        {&m_btnMarker, "Pen.svg", "Pen - clicked.svg"},
        {&m_btnHighlighter, "highlighter.svg", "highlighter-clicked.svg"},
        {&m_btnColor, "Colors_black.svg", "Clicked Color-black.svg"},
        {&m_btnTextEdit, "Texting.svg", "Texting - clicked.svg"},
        {&m_btnEraser, "Eraser.svg", "Eraser - clicked.svg"},
        {&m_btnClearAll, "Clear Page.svg", "Clear Page - clicked.svg"},
        {&m_btnRotate, "Rotate.svg", "Click - Rotate.svg"},
        {&m_btnSave, "save.svg", "save-clicked.svg"},
        {&m_btnLocalBooks, "eBook.svg", "eBook - clicked.svg"},
        {&m_btnServerBooks, "eBook Manager.svg", "eBook Manager - clicked.svg"},
        {&m_btnHandsUp, "Hands-up.svg", "Hands-up - clicked.svg"},
    };
    for (const ButtonSpec &spec : specs) {
        *spec.button = new ToolbarButton(QString(), nullptr);
        (*spec.button)->setObjectName(QString::fromLatin1(spec.normal));
    }
    m_btnBrowser = new ToolbarButton(QString(), nullptr);
    for (const ButtonSpec &spec : specs) {
        (*spec.button)->setImage(res(spec.normal), false);
        (*spec.button)->setImage(res(spec.pressed), true);
    }

    setLabelSvg(m_ShareLabel, res("share.svg"));
    setLabelSvg(m_StatusLabel, res("offline.svg"));

    row->addWidget(m_StatusLabel);
    for (const ButtonSpec &spec : specs) {
        if (spec.button == &m_btnHandsUp)
            continue;
        row->addWidget(*spec.button);
    }
    row->addStretch(0);
    row->addSpacing(2);
    row->addWidget(m_ShareLabel);
    m_ShareLabel->hide();
    row->addWidget(m_btnHandsUp);
    row->addSpacing(10);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
}

void MainWidget::buildScreens()
{
    m_StackedWidget = new QStackedWidget;
    m_LoginWidget = new LoginWidget(this);
    m_LocalBooksWidget = new LocalBooksWidget(nullptr);
    m_ServerBooksWidget = new serverbooswidget(nullptr);
    m_DisplayWidget = new DisplayWidget(nullptr);
    m_ChatWidget = new ChatWidget(this);
    m_ENoteWidget = new ENoteWidget(nullptr);
    m_LockWidget = new LockWidget(QString(), false, nullptr);
    m_VoteWidget = new VoteWidget(this);
    m_WarningWidget = nullptr;

    m_StackedWidget->addWidget(m_LoginWidget);
    m_StackedWidget->addWidget(m_LocalBooksWidget);
    m_StackedWidget->addWidget(m_ServerBooksWidget);
    m_StackedWidget->addWidget(m_DisplayWidget);
    m_StackedWidget->addWidget(m_ENoteWidget);
    m_StackedWidget->setCurrentIndex(LoginPage);
}

void MainWidget::connectSignals()
{
    connect(m_btnLogin, SIGNAL(clicked()), this, SLOT(onBtnLogin()));
    connect(m_btnArrow, SIGNAL(clicked()), this, SLOT(onBtnArrow()));
    connect(m_btnMarker, SIGNAL(clicked()), this, SLOT(onBtnMarker()));
    connect(m_btnHighlighter, SIGNAL(clicked()), this, SLOT(onBtnHighlighter()));
    connect(m_btnColor, SIGNAL(clicked()), this, SLOT(onBtnColor()));
    connect(m_btnTextEdit, SIGNAL(clicked()), this, SLOT(onBtnTextEdit()));
    connect(m_btnEraser, SIGNAL(clicked()), this, SLOT(onBtnEraser()));
    connect(m_btnClearAll, SIGNAL(clicked()), this, SLOT(onBtnClearAll()));
    connect(m_btnRotate, SIGNAL(clicked()), this, SLOT(onBtnRotate()));
    connect(m_btnSave, SIGNAL(clicked()), this, SLOT(onBtnSave()));
    connect(m_btnLocalBooks, SIGNAL(clicked()), this, SLOT(onbtnLocalBooks()));
    connect(m_btnServerBooks, SIGNAL(clicked()), this, SLOT(onBtnServerBooks()));
    connect(m_btnHandsUp, SIGNAL(clicked()), this, SLOT(onBtnHansdsUp()));
    connect(m_btnBrowser, SIGNAL(clicked()), this, SLOT(onBtnBrowser()));
    connect(m_LoginWidget, SIGNAL(jumpLocalbook()), this, SLOT(onbtnLocalBooks()));
    connect(m_LoginWidget, SIGNAL(reconnectStopped()), &m_ReconnectTimer, SLOT(stop()));
    TcpManager *tcp = TcpManager::instance();
    connect(tcp, SIGNAL(queryTeacherStatusResult(QString)), this,
            SLOT(onTeacherStatusResult(QString)));
    connect(tcp, SIGNAL(queryTeacherbookResult(QStringList)), this,
            SLOT(onTeacherBookResult(QStringList)));
    connect(tcp, SIGNAL(queryTeacherENoteResult(QStringList)), this,
            SLOT(onTeacherENoteResult(QStringList)));
    connect(tcp, SIGNAL(sendTeacherConnectedRet(bool)), this, SLOT(onLoginTeacherResult(bool)));
    connect(tcp, SIGNAL(lineData(QString)), this, SLOT(onLineData(QString)));
    connect(tcp, SIGNAL(moveImage(QString)), this, SLOT(onMoveImageData(QString)));
    connect(tcp, SIGNAL(receChat(QString)), this, SLOT(onChatting(QString)));
    connect(tcp, SIGNAL(receCloseChat()), m_ChatWidget, SLOT(hide()));
    connect(tcp, SIGNAL(receWarnning(QString)), this, SLOT(onReceWarnning(QString)));
    connect(tcp, SIGNAL(receLock(QString)), this, SLOT(onReceLock(QString)));
    connect(tcp, SIGNAL(receVote(QString)), this, SLOT(onReceVote(QString)));
    connect(tcp, SIGNAL(receshareVoteCmd(QString)), this, SLOT(onShareVote(QString)));
    connect(tcp, SIGNAL(browserCommand(QString)), this, SLOT(onBrowserCommand(QString)));
    connect(tcp, SIGNAL(lineSyncEnd(QString)), this, SLOT(onLineSyncEnd(QString)));
    connect(tcp, SIGNAL(receAddPage(QStringList)), this, SLOT(onReceAddpage(QStringList)));
    connect(tcp, SIGNAL(receClearPage(QString)), this, SLOT(onReceClearPage(QString)));
    connect(tcp, SIGNAL(receShareMode(int)), this, SLOT(onReceShareMode(int)));
    connect(tcp, SIGNAL(receRotateCmd(QString)), this, SLOT(onReceRotateCmd(QString)));
    connect(tcp, SIGNAL(getPreview()), this, SLOT(onGetPreview()));
    connect(m_LocalBooksWidget, SIGNAL(jumpEBook()), this, SLOT(onSwitchEBook()));
    connect(m_DisplayWidget, SIGNAL(jumpEBook()), this, SLOT(onSwitchEBook()));
    connect(tcp, SIGNAL(teacherReconnect()), this, SLOT(onTeacherReconnect()));
    connect(tcp, SIGNAL(teacherKick()), this, SLOT(onTeacherKick()));
    connect(tcp, SIGNAL(changeServerStatus(bool)), this, SLOT(onChangeServerStatus(bool)));
}

// The drawing tools name the page they write on, and find its canvas, by the current mode.
void MainWidget::installPageHooks()
{
    PageToolHooks::currentPageRow = [this](int mode) {
        if (mode == 0)
            return m_DisplayWidget->currentPage();
        if (mode == 1)
            return m_ENoteWidget->currentPage();
        return -1;
    };
    PageTarget::setViewProvider([this](int mode) -> QGraphicsView * {
        if (mode == 0)
            return m_DisplayWidget->pageView();
        if (mode == 1)
            return m_ENoteWidget->pageView();
        return nullptr;
    });
}

int MainWidget::currentMode() const
{
    return Settings::instance()->m_nMode;
}

qint64 MainWidget::now() const
{
    return m_clock();
}

void MainWidget::setClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

// Dialog-like views sit over the middle of the main window.
void MainWidget::centreOverWindow(QWidget *view)
{
    view->move((width() - view->width()) / 2, (height() - view->height()) / 2);
}

void MainWidget::setLabelSvg(QLabel *label, const QString &path)
{
    QSvgRenderer renderer(path);
    QPixmap pixmap(kButtonWidth, kButtonHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, kButtonWidth, kButtonHeight));
    painter.end();
    label->setPixmap(pixmap);
    label->setStyleSheet(QStringLiteral("background:rgba(0,0,0,0)"));
    label->setFixedSize(kButtonWidth, kButtonHeight);
}

void MainWidget::closeEvent(QCloseEvent *event)
{
    QMessageBox box(QMessageBox::Question, tr("Exit?"), tr("Are you sure to exit?"),
                    QMessageBox::NoButton, this);
    QPushButton *yes = box.addButton(tr("Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(tr("No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() == no) {
        event->ignore();
        return;
    }
    event->accept();
    // Other top-level windows (lock screen, warning, browser) must not keep the program alive.
    QCoreApplication::quit();
}

void MainWidget::hideEvent(QHideEvent *event)
{
    qDebug() << "hideEvent";
    QWidget::hideEvent(event);
}
