#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMovie>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QtTest>

namespace {
const QString kPrefix = QStringLiteral(":/res/res/");

// Every ":/res/res/<name>" (or ":res/res/<name>") written in a string of the given folders, and,
// in files that use that prefix, every bare picture file name (joined to the prefix there).
QStringList namesInSources(const QString &root, const QStringList &folders)
{
    static const QRegularExpression full(QStringLiteral(":/?res/res/([^\"\\n]+)\""));
    static const QRegularExpression bare(QStringLiteral("\"([^\"/%\\n]+\\.(?:svg|png|gif|jpg))\""));
    QSet<QString> names;
    for (const QString &folder : folders) {
        QDirIterator it(root + QLatin1Char('/') + folder,
                        QStringList() << QStringLiteral("*.cpp") << QStringLiteral("*.h"),
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            if (!text.contains(QLatin1String("res/res/")))
                continue;
            auto match = full.globalMatch(text);
            while (match.hasNext())
                names.insert(match.next().captured(1));
            match = bare.globalMatch(text);
            while (match.hasNext())
                names.insert(match.next().captured(1));
        }
    }
    QStringList list = names.values();
    list.sort();
    return list;
}

// Empty when the resource is a usable picture (or sample book), else what is wrong.
QString checkResource(const QString &name)
{
    const QString path = kPrefix + name;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("missing");
    const QByteArray data = file.readAll();
    const QString suffix = QFileInfo(name).suffix();
    if (suffix == QLatin1String("pdf"))
        return data.startsWith("%PDF-") && data.contains("%%EOF") ? QString()
                                                                  : QStringLiteral("not a PDF");
    if (suffix == QLatin1String("svg")) {
        QSvgRenderer renderer(data);
        if (!renderer.isValid() || renderer.defaultSize().isEmpty())
            return QStringLiteral("invalid SVG");
    }
    if (suffix == QLatin1String("gif")) {
        QMovie movie(path);
        if (!movie.isValid() || movie.frameCount() < 2)
            return QStringLiteral("not an animation");
    }
    // Whatever the type, it loads as a picture the way the widgets load it.
    const QImage image(path);
    if (image.isNull() || image.width() < 8 || image.height() < 8)
        return QStringLiteral("does not load as a picture");
    return QString();
}
} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void namesUsedInSourcesExist();
    void everyBuiltInPictureLoads();
    void toolbarPicturesHaveToolbarShape();
    void relativeResourcePathResolves();
    void everyTextIsTranslated();
};

void TestResources::namesUsedInSourcesExist()
{
    const QString root = qEnvironmentVariable("CORVANE_TEST_SOURCE");
    QVERIFY2(!root.isEmpty(), "CORVANE_TEST_SOURCE not set");
    const QStringList names =
        namesInSources(root, QStringList() << QStringLiteral("app") << QStringLiteral("screens")
                                           << QStringLiteral("pages"));
    QStringList wrong;
    for (const QString &name : names) {
        const QString fault = checkResource(name);
        if (!fault.isEmpty())
            wrong << name + QStringLiteral(": ") + fault;
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    qDebug() << names.size() << "resource names used in the sources";
}

void TestResources::everyBuiltInPictureLoads()
{
    QDirIterator it(QStringLiteral(":/res/res"), QDir::Files);
    int count = 0;
    QStringList wrong;
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).fileName();
        ++count;
        const QString fault = checkResource(name);
        if (!fault.isEmpty())
            wrong << name + QStringLiteral(": ") + fault;
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    QVERIFY(count >= 50);
    QVERIFY(QFile::exists(kPrefix + QStringLiteral("test.pdf")));
}

void TestResources::toolbarPicturesHaveToolbarShape()
{
    // Drawn for 70 x 62 so that rendering at the button size keeps their proportions.
    QDirIterator it(QStringLiteral(":/res/res"), QStringList() << QStringLiteral("*.svg"),
                    QDir::Files);
    const QSet<QString> square{QStringLiteral("Open.svg"),     QStringLiteral("delete.svg"),
                               QStringLiteral("Download.svg"), QStringLiteral("Download Click.svg"),
                               QStringLiteral("Setting.svg"),  QStringLiteral("keyboard.svg")};
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QFileInfo(path).fileName();
        const QSize size = QSvgRenderer(path).defaultSize();
        if (square.contains(name))
            QVERIFY2(size.width() == size.height(), qPrintable(name));
        else if (name != QLatin1String("Toolbar background.svg"))
            QVERIFY2(size == QSize(70, 62), qPrintable(name));
        else
            QCOMPARE(size.height(), 62);
    }
    QCOMPARE(QImage(kPrefix + QStringLiteral("waitting.gif")).size(), QSize(128, 15));
}

void TestResources::relativeResourcePathResolves()
{
    // The keyboard icon is also written without the slash after the colon.
    QVERIFY(QFile::exists(QStringLiteral(":res/res/keyboard.svg")));
}

void TestResources::everyTextIsTranslated()
{
    // Every language of the built-in list has its translation, and each has every text.
    QFile list(QStringLiteral(":/lang/lang/lang.xml"));
    QVERIFY(list.open(QIODevice::ReadOnly));
    static const QRegularExpression fileAttr(QStringLiteral("file=\"([^\"]+)\\.qm\""));
    auto files = fileAttr.globalMatch(QString::fromUtf8(list.readAll()));
    const QString root = qEnvironmentVariable("CORVANE_TEST_SOURCE");
    static const QRegularExpression message(
        QStringLiteral("<source>(.*?)</source>\\s*<translation( type=\"unfinished\")?>(.*?)<"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList missing;
    int languages = 0;
    int messages = 0;
    while (files.hasNext()) {
        const QString lang = files.next().captured(1);
        ++languages;
        QVERIFY2(QFile::exists(QStringLiteral(":/lang/lang/%1.qm").arg(lang)), qPrintable(lang));
        QFile ts(root + QStringLiteral("/resources/lang/%1.ts").arg(lang));
        QVERIFY2(ts.open(QIODevice::ReadOnly), qPrintable(ts.fileName()));
        auto it = message.globalMatch(QString::fromUtf8(ts.readAll()));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            ++messages;
            // A translation holding the file's own markup was pasted over others.
            if (!m.captured(2).isEmpty() || m.captured(3).isEmpty() ||
                m.captured(3).contains(QStringLiteral("&lt;/translation&gt;")))
                missing << lang + QStringLiteral(": ") + m.captured(1);
            // Vote answers are sent to the teacher as shown.
            if (m.captured(1).size() == 1 && m.captured(1).at(0).isDigit())
                QCOMPARE(m.captured(3), m.captured(1));
        }
    }
    QCOMPARE(languages, 9);
    QVERIFY(messages >= languages * 10);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("run scripts/update-translations.sh "
                                                          "and add the missing texts: ") +
                                           missing.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
