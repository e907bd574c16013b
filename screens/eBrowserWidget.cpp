#include "screens/eBrowserWidget.h"

#include "screens/BrowserAddress.h"
#include "screens/BrowserPage.h"
#include "screens/LineEdit.h"
#include "screens/ScreenCover.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebSettings>
#include <QWebView>

namespace {
QPushButton *toolButton(const QString &picture)
{
    auto *button = new QPushButton;
    button->setIcon(QIcon(QStringLiteral(":/res/res/") + picture));
    button->setFixedSize(36, 36);
    button->setIconSize(QSize(32, 32));
    return button;
}
} // namespace

eBrowserWidget::eBrowserWidget(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout;
    auto *toolRow = new QHBoxLayout;

    QPushButton *btnBack = toolButton(QStringLiteral("backward.png"));
    QPushButton *btnForward = toolButton(QStringLiteral("forward.png"));
    m_AddressLine = new LineEdit;
    QPushButton *btnGo = toolButton(QStringLiteral("go.png"));
    btnBack->setObjectName(QStringLiteral("back"));
    btnForward->setObjectName(QStringLiteral("forward"));
    btnGo->setObjectName(QStringLiteral("go"));
    m_AddressLine->setFixedHeight(36);

    toolRow->setSpacing(3);
    toolRow->addWidget(btnBack);
    toolRow->addWidget(btnForward);
    toolRow->addWidget(m_AddressLine);
    toolRow->addWidget(btnGo);
    layout->addLayout(toolRow);

    m_WebView = new QWebView(this);
    m_WebView->setPage(new BrowserPage(m_WebView));
    layout->addWidget(m_WebView);
    setLayout(layout);

    m_WebView->setContextMenuPolicy(Qt::NoContextMenu);
    QWebSettings *settings = m_WebView->settings();
    // No plug-ins and no Java: only what the web engine itself runs.
    settings->setAttribute(QWebSettings::PluginsEnabled, false);
    settings->setAttribute(QWebSettings::JavascriptEnabled, true);
    settings->setAttribute(QWebSettings::DeveloperExtrasEnabled, false);
    settings->setAttribute(QWebSettings::JavascriptCanOpenWindows, true);
    settings->setAttribute(QWebSettings::JavaEnabled, false);
    settings->setDefaultTextEncoding(QStringLiteral("utf-8"));

    connect(m_WebView, SIGNAL(linkClicked(QUrl)), this, SLOT(linkClicked(QUrl)));
    connect(btnBack, SIGNAL(clicked()), this, SLOT(onBack()));
    connect(btnForward, SIGNAL(clicked()), this, SLOT(onForward()));
    connect(btnGo, SIGNAL(clicked()), this, SLOT(onGo()));
    connect(m_WebView, SIGNAL(urlChanged(QUrl)), this, SLOT(onUrlChanged(QUrl)));

    // Nothing leaves the machine until the teacher or the student asks for an address.
    m_WebView->load(BrowserAddress::homePage());
    connect(m_AddressLine, SIGNAL(returnPressed()), this, SLOT(onGo()));
}

void eBrowserWidget::setVisible(bool visible)
{
    if (visible && isWindow() && (windowState() & Qt::WindowFullScreen))
        setGeometry(ScreenCover::screenOf(this));
    QWidget::setVisible(visible);
}

QString eBrowserWidget::addressText() const
{
    return m_AddressLine->text();
}

void eBrowserWidget::onBack()
{
    m_WebView->stop();
    m_WebView->back();
}

void eBrowserWidget::onForward()
{
    m_WebView->stop();
    m_WebView->forward();
}

void eBrowserWidget::onGo()
{
    // The address line takes the view's address when the view reports it.
    const QUrl url = BrowserAddress::fromTyped(m_AddressLine->text());
    if (!url.isEmpty())
        load(url);
}

void eBrowserWidget::onUrlChanged(const QUrl &url)
{
    if (QWebPage *page = m_WebView->page())
        page->setLinkDelegationPolicy(QWebPage::DelegateAllLinks);
    m_AddressLine->setText(url == BrowserAddress::homePage() ? QString() : url.toString());
}

void eBrowserWidget::linkClicked(const QUrl &url)
{
    load(url);
}

void eBrowserWidget::loadUrl(const QString &address)
{
    load(QUrl(address, QUrl::TolerantMode));
}

void eBrowserWidget::load(const QUrl &url)
{
    if (!BrowserAddress::isAllowed(url)) {
        qDebug() << "browser refused" << url.toString();
        return;
    }
    m_WebView->stop();
    m_WebView->load(url);
}
