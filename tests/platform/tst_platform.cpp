#include "platform/OnScreenKeyboard.h"
#include "platform/PowerStatus.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private:
    static void supply(const QString &root, const QString &name, const QByteArray &type,
                       const QByteArray &capacity)
    {
        QDir(root).mkpath(name);
        QFile t(root + "/" + name + "/type");
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write(type + "\n");
        if (capacity.isNull())
            return;
        QFile c(root + "/" + name + "/capacity");
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write(capacity + "\n");
    }

private slots:
    void batteryFromPowerSupplies()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        PowerStatus::setSupplyRoot(dir.path());
        QCOMPARE(PowerStatus::batteryPercent(), 255); // no supply at all

        supply(dir.path(), "AC", "Mains", QByteArray());
        QCOMPARE(PowerStatus::batteryPercent(), 255);

        supply(dir.path(), "BAT0", "Battery", "80");
        QCOMPARE(PowerStatus::batteryPercent(), 80);

        supply(dir.path(), "BAT1", "Battery", "40");
        QCOMPARE(PowerStatus::batteryPercent(), 60);

        supply(dir.path(), "BAT2", "Battery", "garbage");
        supply(dir.path(), "BAT3", "Battery", "1000");
        QCOMPARE(PowerStatus::batteryPercent(), 60);

        PowerStatus::setSupplyRoot(dir.path() + "/missing");
        QCOMPARE(PowerStatus::batteryPercent(), 255);
    }

    void keyboardStartUsesTheLauncher()
    {
        QStringList tried;
        OnScreenKeyboard::setLauncher([&](const QString &program) {
            tried << program;
            return false;
        });
        QVERIFY(!OnScreenKeyboard::start());
        QCOMPARE(tried, OnScreenKeyboard::candidates());
        QVERIFY(!tried.isEmpty());

        tried.clear();
        OnScreenKeyboard::setLauncher([&](const QString &program) {
            tried << program;
            return true;
        });
        QVERIFY(OnScreenKeyboard::start());
        QCOMPARE(tried.size(), 1);
        OnScreenKeyboard::setLauncher(OnScreenKeyboard::Launcher());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
