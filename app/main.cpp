#include "app/MainWidget.h"
#include "link/Settings.h"

#include <QApplication>
#include <QFont>
#include <QScreen>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator translator;
    Settings *settings = Settings::instance();
    if (!translator.load(settings->languageDir() + settings->readLanguageFile()))
        qDebug("main: translation not loaded, texts stay in English");
    app.installTranslator(&translator);
    app.setAutoSipEnabled(true);
    app.setFont(QFont(QStringLiteral("Arial"), 13));

    MainWidget window(nullptr);
    // Where no window manager honours full-screen requests, the geometry alone covers the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->geometry());
    window.showFullScreen();
    return app.exec();
}
