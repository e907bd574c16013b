// screen sizes: 1920x1080 1280x800
#include "screens/BrowserAddress.h"
#include "screens/LineEdit.h"
#include "screens/ScreenCover.h"
#include "screens/eBrowserWidget.h"
#include "support/TestArtifacts.h"
#include "tst_browser_support.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>
#include <QtTest>

namespace {
QByteArray page(const QByteArray &title, const QByteArray &body)
{
    return "<!DOCTYPE html><html><head><title>" + title +
           "</title><style>body{font:24px sans-serif;margin:40px}a{display:block;margin:16px 0}"
           "</style></head><body><h1>" +
           title + "</h1>" + body + "</body></html>";
}
} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void addresses();
    void startsOnLocalBlankPageWithPluginsOff();
    void loadsFollowsLinksAndRefusesLocalFiles();
    void typedAddressKeepsPathCase();
    void fullScreenCoversScreen();

private:
    // Runs the action and waits for the view's next finished load; false when it failed.
    bool loadAfter(const std::function<void()> &action);
    void clickElement(const QString &selector);
    QUrl url(const QString &path) const { return QUrl(m_server.base() + path); }

    LocalWebServer m_server;
    std::unique_ptr<eBrowserWidget> m_browser;
};

void TestBrowser::initTestCase()
{
    QVERIFY(m_server.listen());
    m_server.setPage(QStringLiteral("/first.html"),
                     page("First", "<a id=\"next\" href=\"/Second.HTML?Q=Up\">Second page</a>"
                                   "<a id=\"file\" href=\"file:///etc/hostname\">Local file</a>"
                                   "<a id=\"ftp\" href=\"ftp://127.0.0.1/x\">FTP</a>"));
    m_server.setPage(QStringLiteral("/Second.HTML?Q=Up"), page("Second", "<p>Second</p>"));
    m_server.setPage(QStringLiteral("/Third/Page.HTML?Q=Mixed"), page("Third", "<p>Third</p>"));
}

void TestBrowser::addresses()
{
    // Typed: scheme and host lower-cased, path and query as typed, http unless https is named.
    const QPair<QString, QString> typed[] = {
        {"WWW.Example.COM/Path/Index.HTML?Q=AbC", "http://www.example.com/Path/Index.HTML?Q=AbC"},
        {"HTTPS://Example.COM/A/B", "https://example.com/A/B"},
        {"Http://HOST:8080/X", "http://host:8080/X"},
        {"  example.com  ", "http://example.com"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto &t : typed) {
        const QUrl url = BrowserAddress::fromTyped(t.first);
        QCOMPARE(url.toString(), t.second);
        QCOMPARE(BrowserAddress::isAllowed(url), !t.second.isEmpty());
    }
    // Followed: web pages and the browser's own blank pages only.
    const QPair<QString, bool> followed[] = {
        {"http://127.0.0.1/a", true},
        {"https://example.com/", true},
        {"about:blank", true},
        {BrowserAddress::homePage().toString(), true},
        {"file:///etc/passwd", false},
        {"ftp://127.0.0.1/x", false},
        {"data:text/html,<b>x</b>", false},
        {"javascript:alert(1)", false},
        {"qrc:/res/res/test.pdf", false},
        {"http:///etc/passwd", false},
    };
    for (const auto &f : followed)
        QVERIFY2(BrowserAddress::isAllowed(QUrl(f.first)) == f.second, qPrintable(f.first));
}

bool TestBrowser::loadAfter(const std::function<void()> &action)
{
    QSignalSpy finished(m_browser->webView(), &QWebView::loadFinished);
    action();
    if (!finished.wait(15000))
        return false;
    return finished.first().first().toBool();
}

void TestBrowser::clickElement(const QString &selector)
{
    QWebFrame *frame = m_browser->webView()->page()->mainFrame();
    const QWebElement element = frame->findFirstElement(selector);
    QVERIFY2(!element.isNull(), qPrintable(selector));
    const QPoint at = element.geometry().center() - frame->scrollPosition();
    QTest::mouseClick(m_browser->webView(), Qt::LeftButton, Qt::NoModifier, at);
}

void TestBrowser::startsOnLocalBlankPageWithPluginsOff()
{
    m_browser = std::make_unique<eBrowserWidget>();
    QWebView *view = m_browser->webView();
    QCOMPARE(view->parentWidget(), m_browser.get());
    QCOMPARE(view->contextMenuPolicy(), Qt::NoContextMenu);
    QWebSettings *settings = view->settings();
    QVERIFY(!settings->testAttribute(QWebSettings::PluginsEnabled));
    QVERIFY(!settings->testAttribute(QWebSettings::JavaEnabled));
    QVERIFY(settings->testAttribute(QWebSettings::JavascriptEnabled));
    QVERIFY(!settings->testAttribute(QWebSettings::DeveloperExtrasEnabled));
    QCOMPARE(settings->defaultTextEncoding(), QStringLiteral("utf-8"));
    QCOMPARE(m_browser->addressLine()->height(), 36);
    for (const char *name : {"back", "forward", "go"}) {
        auto *button = m_browser->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY(button);
        QCOMPARE(button->size(), QSize(36, 36));
        QVERIFY(!button->icon().isNull());
    }

    // The first page is the program's own blank page; the address line stays empty for it.
    QTRY_COMPARE(view->url(), BrowserAddress::homePage());
    QTRY_VERIFY(!view->page()->mainFrame()->toHtml().isEmpty());
    QVERIFY(m_browser->addressText().isEmpty());
    QCOMPARE(view->page()->linkDelegationPolicy(), QWebPage::DelegateAllLinks);
    QVERIFY(m_server.requests().isEmpty());

    // Empty addresses do nothing.
    m_browser->addressLine()->clear();
    m_browser->onGo();
    QCOMPARE(view->url(), BrowserAddress::homePage());
}

void TestBrowser::loadsFollowsLinksAndRefusesLocalFiles()
{
    QVERIFY(m_browser);
    QWebView *view = m_browser->webView();
    m_browser->resize(1000, 700);
    m_browser->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_browser.get()));

    QVERIFY(loadAfter([this] { m_browser->loadUrl(m_server.base() + "/first.html"); }));
    QCOMPARE(view->title(), QStringLiteral("First"));
    QCOMPARE(m_browser->addressText(), url("/first.html").toString());
    QCOMPARE(m_server.requests(), QStringList{"/first.html"});

    // A link click is delegated to the browser, which loads it in the same view.
    QSignalSpy clicked(view, &QWebView::linkClicked);
    QVERIFY(loadAfter([this] { clickElement("#next"); }));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(view->title(), QStringLiteral("Second"));
    QCOMPARE(view->url(), url("/Second.HTML?Q=Up"));
    QCOMPARE(m_browser->addressText(), url("/Second.HTML?Q=Up").toString());
    QCOMPARE(m_server.requests().last(), QStringLiteral("/Second.HTML?Q=Up"));

    // Back to the first page, where links to local files and other schemes lead nowhere,
    // whether clicked, set by a script or handed over directly.
    QVERIFY(loadAfter([this] { m_browser->onBack(); }));
    QCOMPARE(view->title(), QStringLiteral("First"));
    const int requests = m_server.requests().size();
    clickElement("#file");
    clickElement("#ftp");
    view->page()->mainFrame()->evaluateJavaScript(
        QStringLiteral("window.location.href = 'file:///etc/hostname';"));
    m_browser->linkClicked(QUrl(QStringLiteral("file:///etc/hostname")));
    m_browser->loadUrl(QStringLiteral("file:///etc/hostname"));
    m_browser->loadUrl(QStringLiteral("javascript:document.title='x'"));
    // The next real link is the first thing that loads.
    QVERIFY(loadAfter([this] { clickElement("#next"); }));
    QCOMPARE(view->url(), url("/Second.HTML?Q=Up"));
    QCOMPARE(m_server.requests().mid(requests), QStringList{"/Second.HTML?Q=Up"});
    QVERIFY(!view->page()->mainFrame()->toHtml().contains(QLatin1String("localhost")));

    QVERIFY(loadAfter([this] { m_browser->onBack(); }));
    QVERIFY(loadAfter([this] { m_browser->onForward(); }));
    QCOMPARE(view->title(), QStringLiteral("Second"));

    // The teacher's "about:blank" loads too.
    m_browser->loadUrl(QStringLiteral("about:blank"));
    QTRY_COMPARE(view->url(), QUrl(QStringLiteral("about:blank")));
    QCOMPARE(m_browser->addressText(), QStringLiteral("about:blank"));
}

void TestBrowser::typedAddressKeepsPathCase()
{
    QWebView *view = m_browser->webView();
    LineEdit *line = m_browser->addressLine();
    const QString host = m_server.base().mid(int(qstrlen("http://")));

    // Return in the address line: no scheme typed, so http; the path keeps its capitals.
    line->setText(host + "/Third/Page.HTML?Q=Mixed");
    line->setFocus();
    QVERIFY(loadAfter([line] { QTest::keyClick(line, Qt::Key_Return); }));
    QCOMPARE(view->title(), QStringLiteral("Third"));
    QCOMPARE(m_server.requests().last(), QStringLiteral("/Third/Page.HTML?Q=Mixed"));
    QCOMPARE(line->text(), url("/Third/Page.HTML?Q=Mixed").toString());

    // The go button, with the scheme in capitals: no second scheme put in front.
    line->setText("HTTP://" + host + "/Second.HTML?Q=Up");
    QVERIFY(loadAfter([this] {
        QTest::mouseClick(m_browser->findChild<QPushButton *>(QStringLiteral("go")),
                          Qt::LeftButton);
    }));
    QCOMPARE(view->url(), url("/Second.HTML?Q=Up"));
    QCOMPARE(view->title(), QStringLiteral("Second"));
}

void TestBrowser::fullScreenCoversScreen()
{
    QVERIFY(loadAfter([this] { m_browser->loadUrl(m_server.base() + "/first.html"); }));
    m_browser->hide();
    m_browser->showFullScreen();
    QVERIFY(QTest::qWaitForWindowExposed(m_browser.get()));
    QCOMPARE(m_browser->geometry(), ScreenCover::screenOf(m_browser.get()));
    QCOMPARE(m_browser->geometry(), QGuiApplication::primaryScreen()->geometry());
    m_browser->repaint();
    QApplication::processEvents();
    QVERIFY(TestArtifacts::saveScreen(QStringLiteral("browser"), m_browser.get()));
    // Tool row on top, page under it, both across the whole width.
    QWebView *view = m_browser->webView();
    QVERIFY(m_browser->addressLine()->geometry().bottom() < view->y());
    QVERIFY(view->width() > m_browser->width() - 40);
    QVERIFY(view->geometry().bottom() >= m_browser->height() - 20);
    m_browser->hide();
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
