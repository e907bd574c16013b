#include "pdf/PopplerGlobals.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <memory>
#include <mutex>

#include <poppler/Error.h>
#include <poppler/GfxState.h>
#include <poppler/GlobalParams.h>
#include <poppler/Page.h>
#include <poppler/goo/GooString.h>

namespace {
// Poppler reports every syntax problem of a damaged file; keep the log readable.
constexpr int kMaxLoggedErrors = 100;
std::atomic<int> sLoggedErrors{0};

void logPopplerError(ErrorCategory category, Goffset pos, const char *msg)
{
    if (sLoggedErrors.fetch_add(1) >= kMaxLoggedErrors)
        return;
    qDebug() << "poppler error" << int(category) << "at" << qint64(pos) << ":" << msg;
}

// The base-14 fonts may be shipped in a "fonts" folder beside the program;
// without it Poppler's own font search (fontconfig) applies.
void addBaseFonts(GlobalParams &params)
{
    static const char *const kBaseFonts[] = {
        "Courier",     "Courier-Bold",   "Courier-BoldOblique",   "Courier-Oblique",
        "Helvetica",   "Helvetica-Bold", "Helvetica-BoldOblique", "Helvetica-Oblique",
        "Symbol",      "Times-Bold",     "Times-BoldItalic",      "Times-Italic",
        "Times-Roman", "ZapfDingbats"};
    static const char *const kSuffixes[] = {".pfb", ".pfa", ".ttf", ".otf"};
    if (!QCoreApplication::instance())
        return;
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/fonts");
    if (!QFileInfo(dir).isDir())
        return;
    for (const char *name : kBaseFonts) {
        for (const char *suffix : kSuffixes) {
            const QString file =
                dir + QLatin1Char('/') + QLatin1String(name) + QLatin1String(suffix);
            if (!QFileInfo(file).isFile())
                continue;
            const GooString fontName(name);
            const GooString path(QFile::encodeName(file).toStdString());
            params.addFontFile(&fontName, &path);
            break;
        }
    }
}
} // namespace

void PopplerGlobals::ensure()
{
    static std::once_flag once;
    std::call_once(once, &PopplerGlobals::setup);
}

void PopplerGlobals::setup()
{
    setErrorCallback(&logPopplerError);
    if (!globalParams) {
        auto params = std::make_unique<GlobalParams>();
        addBaseFonts(*params);
        globalParams = std::move(params);
    }
    makeSharedRenderState();
}

// Poppler makes some process-wide state on first use, without a lock: made here, once, before
// any page renders. The first graphics state makes the shared colour profiles (sRGB and XYZ);
// the UTF-8 map is looked up once and kept.
void PopplerGlobals::makeSharedRenderState()
{
    const PDFRectangle box(0, 0, 1, 1);
    const GfxState state(72.0, 72.0, &box, 0, true);
    globalParams->getUtf8Map();
}
