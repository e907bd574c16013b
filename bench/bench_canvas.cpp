// Applying incoming strokes to a page canvas and switching between full pages, next to
// building the same stroke items without a scene.

#include "pages/PageView.h"
#include "pages/PolylineItem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <vector>

namespace {
const int kIncoming = 10000;
const int kPoints = 50;
const int kPageStrokes = 2000;
const int kSwitches = 10;

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

QStringList strokeTexts(int count)
{
    QStringList texts;
    texts.reserve(count);
    for (int s = 0; s < count; ++s) {
        QString text = QStringLiteral("3#%1,0,0,255#3#").arg(s % 256);
        const double x0 = (s * 37) % 1800;
        const double y0 = (s * 53) % 1000;
        for (int p = 0; p < kPoints; ++p)
            text += QStringLiteral("%1,%2 ").arg(x0 + p * 2.5).arg(y0 + (p % 7) * 3.25);
        texts << text;
    }
    return texts;
}

double buildWithoutScene(const QStringList &texts)
{
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<PolylineItem>> items;
    items.reserve(size_t(texts.size()));
    for (const QString &text : texts) {
        items.push_back(std::make_unique<PolylineItem>());
        items.back()->fromString(text);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    return ms;
}

void print(const char *name, double value, const char *unit, double reference)
{
    QTextStream(stdout) << name << ": " << QString::number(value, 'f', 1) << ' ' << unit
                        << " (reference: " << QString::number(reference, 'f', 1) << ' ' << unit
                        << ")\n";
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet);

    const QStringList incoming = strokeTexts(kIncoming);
    {
        PageView view(false);
        view.addBlankPage(1920, 1080, false);
        view.onCurrentPageChanged(0);
        QElapsedTimer timer;
        timer.start();
        for (const QString &text : incoming)
            view.procLineData(0, text);
        const double ms = timer.nsecsElapsed() / 1e6;
        print("apply 10000 incoming strokes of 50 points", ms, "ms", buildWithoutScene(incoming));
    }
    {
        PageView view(false);
        view.addBlankPage(1920, 1080, false);
        view.addBlankPage(1920, 1080, false);
        const QStringList page = incoming.mid(0, kPageStrokes);
        for (int p = 0; p < 2; ++p)
            for (const QString &text : page)
                view.procLineData(p, text);
        view.onCurrentPageChanged(0);
        QCoreApplication::processEvents();
        // A switch as the student sees it: the page saved and read, its items made, and the
        // work the scene leaves for the event loop (polishing, indexing) done.
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= kSwitches; ++i) {
            view.onCurrentPageChanged(i % 2);
            QCoreApplication::processEvents();
        }
        const double ms = timer.nsecsElapsed() / 1e6 / kSwitches;
        double reference = 0;
        for (int i = 0; i < kSwitches; ++i)
            reference += buildWithoutScene(page);
        print("switch between two pages of 2000 strokes", ms, "ms per switch",
              reference / kSwitches);
    }
    return 0;
}
