#ifndef EBROWSERWIDGET_H
#define EBROWSERWIDGET_H

#include <QUrl>
#include <QWidget>

class LineEdit;
class QWebView;

// The built-in web browser: back, forward, an address line and go over a web view. It follows
// only web pages (http and https) and starts on a local blank page.
class eBrowserWidget : public QWidget
{
    Q_OBJECT
public:
    explicit eBrowserWidget(QWidget *parent = nullptr);

    // Loads an address that carries its scheme (the teacher's); anything but a web page is
    // refused.
    void loadUrl(const QString &address);
    QString addressText() const;

    QWebView *webView() const { return m_WebView; }
    LineEdit *addressLine() const { return m_AddressLine; }

    // A full-screen browser covers its screen also where no window manager resizes it.
    void setVisible(bool visible) override;

public slots:
    void onBack();
    void onForward();
    void onGo();
    void onUrlChanged(const QUrl &url);
    void linkClicked(const QUrl &url);

private:
    void load(const QUrl &url);

    QWebView *m_WebView;
    LineEdit *m_AddressLine;
};

#endif // EBROWSERWIDGET_H
