#ifndef TESTARTIFACTS_H
#define TESTARTIFACTS_H

#include <QString>

class QWidget;

// Screenshots that tests leave in the build folder's artifacts/ for a person to look at.
// Names get the X screen's size appended when the test runs on a sized screen
// ("login" becomes "login_1920x1080.png").
class TestArtifacts
{
public:
    static QString folder();
    static QString path(const QString &name);
    // The whole primary screen as the X server shows it (every top-level window on it);
    // offscreen, where there is no such picture, the widget's own rendering.
    static bool saveScreen(const QString &name, QWidget *fallback = nullptr);
    // One widget as it renders itself.
    static bool saveWidget(QWidget *widget, const QString &name);
};

#endif // TESTARTIFACTS_H
