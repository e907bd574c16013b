#include "app/MainWidget.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "pages/TaskToolManager.h"
#include "platform/PowerStatus.h"
#include "screens/LoginWidget.h"
#include "screens/SavePdfDialog.h"
#include "screens/ScreenPointers.h"
#include "screens/ToolbarButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
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

QString res(const char *name)
{
    return QStringLiteral(":/res/res/") + QString::fromUtf8(name);
}

// A screen that a later part of the program replaces.
QWidget *placeholderScreen(const QString &title, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    auto *label = new QLabel(title, page);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    page->setObjectName(title);
    return page;
}
} // namespace

MainWidget::MainWidget(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    m_BrowserWidget = nullptr;

    Settings *settings = Settings::instance();
    settings->removeDir(QFileInfo(settings->tempBooksDir()));
    settings->removeDir(QFileInfo(settings->tempNotesDir()));

    m_bCanHandsUp = true;
    m_nLastBattery = -1;
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
}

MainWidget::~MainWidget() = default;

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
    m_LocalBooksWidget = placeholderScreen(QStringLiteral("LocalBooksWidget"), nullptr);
    m_ServerBooksWidget = placeholderScreen(QStringLiteral("serverbooswidget"), nullptr);
    m_DisplayWidget = placeholderScreen(QStringLiteral("DisplayWidget"), nullptr);
    m_ChatWidget = placeholderScreen(QStringLiteral("ChatWidget"), this);
    m_ChatWidget->hide();
    m_ENoteWidget = placeholderScreen(QStringLiteral("ENoteWidget"), nullptr);
    m_LockWidget = placeholderScreen(QStringLiteral("LockWidget"), nullptr);
    m_VoteWidget = placeholderScreen(QStringLiteral("VoteWidget"), this);
    m_VoteWidget->hide();
    m_QuickWidget = nullptr;
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
    connect(tcp, SIGNAL(sendTeacherConnectedRet(bool)), this, SLOT(onLoginTeacherResult(bool)));
    connect(tcp, SIGNAL(receCloseChat()), m_ChatWidget, SLOT(hide()));
    connect(tcp, SIGNAL(changeServerStatus(bool)), this, SLOT(onChangeServerStatus(bool)));
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

void MainWidget::onBtnLogin()
{
    m_StackedWidget->setCurrentIndex(LoginPage);
}

void MainWidget::onLoginTeacherResult(bool ok)
{
    if (!ok)
        return;
    setLabelSvg(m_StatusLabel, res("Online.svg"));
    m_btnLocalBooks->setEnabled(false);
    m_btnServerBooks->setEnabled(false);
}

void MainWidget::onChangeServerStatus(bool on)
{
    const QString image = res(on ? "Login.svg" : "Login_offline.svg");
    m_btnLogin->setImage(image, false);
    m_btnLogin->setImage(image, true);
    m_LoginWidget->setLoginState(on);
}

void MainWidget::onbtnLocalBooks()
{
    m_StackedWidget->setCurrentIndex(LocalBooksPage);
}

void MainWidget::onBtnServerBooks()
{
    m_StackedWidget->setCurrentIndex(ServerBooksPage);
}

void MainWidget::onSwitchEBook()
{
    m_StackedWidget->setCurrentIndex(EBookPage);
    Settings::instance()->m_nMode = 0;
}

void MainWidget::onBtnArrow()
{
    TaskToolManager::instance()->setMode(TaskToolManager::PointerMode);
}

void MainWidget::onBtnMarker()
{
    TaskToolManager::instance()->setMode(TaskToolManager::PenMode);
}

void MainWidget::onBtnHighlighter()
{
    TaskToolManager::instance()->setMode(TaskToolManager::HighlighterMode);
}

void MainWidget::onBtnTextEdit()
{
    qDebug() << "onBtnTextEdit";
    TaskToolManager::instance()->setMode(TaskToolManager::TextMode);
}

void MainWidget::onBtnEraser()
{
    TaskToolManager::instance()->setMode(TaskToolManager::EraserMode);
}

// The colour button shows the colour that the next press selects.
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

void MainWidget::onBtnClearAll() {}
void MainWidget::onBtnRotate() {}
void MainWidget::onBtnSave() {}
void MainWidget::onBtnBrowser() {}
void MainWidget::onShowQuick() {}

void MainWidget::onBtnHansdsUp()
{
    if (!m_bCanHandsUp)
        return;
    m_bCanHandsUp = false;
    TcpManager::instance()->sendHandsUp();
    QTimer::singleShot(30000, this, SLOT(onCanHandsUp()));
}

void MainWidget::onCanHandsUp()
{
    m_bCanHandsUp = true;
}

void MainWidget::onAppsTimer() {}

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
