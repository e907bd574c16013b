#include "pdf/ImportPdf.h"

#include "link/Settings.h"
#include "pdf/PdfImportThread.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

ImportPdf::~ImportPdf() = default;

void ImportPdf::importFile(const QString &path, const QString &text)
{
    m_bFailed = false;
    m_bCancelled = false;
    m_nProgress = 0;
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        qDebug() << "ImportPdf::importFile: no file name in" << path;
        m_bFailed = true;
        return;
    }
    const QString folder = Settings::instance()->dataRoot() + name + QLatin1Char('/');
    QDir dir(folder);
    if (!dir.exists() && !dir.mkpath(QStringLiteral(".")))
        qDebug() << "ImportPdf::importFile: cannot make folder" << folder;
    QThreadPool::globalInstance()->start(new PdfImportThread(*this, text, path, folder), 0);
}
