#ifndef BROWSERPAGE_H
#define BROWSERPAGE_H

#include <QWebPage>

// Web page of the built-in browser: refuses every navigation (link, form, script, history) to an
// address that is not a web page, in the main frame and in sub-frames.
class BrowserPage : public QWebPage
{
    Q_OBJECT
public:
    explicit BrowserPage(QObject *parent = nullptr);

protected:
    bool acceptNavigationRequest(QWebFrame *frame, const QNetworkRequest &request,
                                 NavigationType type) override;
};

#endif // BROWSERPAGE_H
