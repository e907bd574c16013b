#include "screens/BrowserPage.h"

#include "screens/BrowserAddress.h"

#include <QDebug>
#include <QNetworkRequest>

BrowserPage::BrowserPage(QObject *parent) : QWebPage(parent) {}

bool BrowserPage::acceptNavigationRequest(QWebFrame *frame, const QNetworkRequest &request,
                                          NavigationType type)
{
    if (!BrowserAddress::isAllowed(request.url())) {
        qDebug() << "browser refused" << request.url().toString() << "navigation type" << type;
        return false;
    }
    return QWebPage::acceptNavigationRequest(frame, request, type);
}
