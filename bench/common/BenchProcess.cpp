#include "common/BenchProcess.h"

#include <QFont>

#include <cstdio>

namespace {
void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

BenchProcess::BenchProcess(int &argc, char **argv)
{
    qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(quiet);
    m_app->setFont(QFont(QStringLiteral("Arial"), 13));
}
