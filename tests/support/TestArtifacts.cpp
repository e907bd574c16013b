#include "support/TestArtifacts.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

QString TestArtifacts::folder()
{
    const QString folder = qEnvironmentVariable("CORVANE_TEST_ARTIFACTS", QDir::tempPath());
    QDir().mkpath(folder);
    return folder;
}

QString TestArtifacts::path(const QString &name)
{
    const QString size = qEnvironmentVariable("CORVANE_SCREEN_SIZE");
    return folder() + QLatin1Char('/') + name +
           (size.isEmpty() ? QString() : QLatin1Char('_') + size) + QStringLiteral(".png");
}

bool TestArtifacts::saveScreen(const QString &name, QWidget *fallback)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QScreen *screen = QGuiApplication::primaryScreen();
        return screen && screen->grabWindow(0).save(path(name));
    }
    return fallback && saveWidget(fallback, name);
}

bool TestArtifacts::saveWidget(QWidget *widget, const QString &name)
{
    return widget && widget->grab().save(path(name));
}
