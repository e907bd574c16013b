#ifndef BROWSERADDRESS_H
#define BROWSERADDRESS_H

#include <QString>
#include <QUrl>

// Addresses of the built-in browser: what a typed address becomes, and which addresses it
// follows at all (web pages only, besides its own blank pages).
class BrowserAddress
{
public:
    // The local blank page shown before anything is asked for.
    static QUrl homePage();
    // A typed address with "http://" put in front unless it names http or https; the scheme and
    // the host are lower-cased, the path and query kept as typed. Invalid when empty.
    static QUrl fromTyped(const QString &text);
    // http and https addresses with a host, "about:blank" and the home page.
    static bool isAllowed(const QUrl &url);
};

#endif // BROWSERADDRESS_H
