#include "screens/BrowserAddress.h"

QUrl BrowserAddress::homePage()
{
    return QUrl(QStringLiteral("qrc:/qml/home.html"));
}

QUrl BrowserAddress::fromTyped(const QString &text)
{
    QString address = text.trimmed();
    if (address.isEmpty())
        return QUrl();
    if (!address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
        !address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        address.prepend(QLatin1String("http://"));
    QUrl url(address, QUrl::TolerantMode);
    if (url.isValid()) {
        url.setScheme(url.scheme().toLower());
        url.setHost(url.host().toLower());
    }
    return url;
}

bool BrowserAddress::isAllowed(const QUrl &url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    return url == QUrl(QStringLiteral("about:blank")) || url == homePage();
}
