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

    // The Windows road: redirection off, "osk.exe" shown once, redirection back on only when
    // it was turned off.
    void systemKeyboardCalls()
    {
        QStringList calls;
        int state = 0;
        auto make = [&](bool disables, bool opens, bool hasRevert) {
            OnScreenKeyboard::SystemCalls c;
            c.disableRedirection = [&calls, &state, disables](void **previous) {
                calls << "disable";
                *previous = &state;
                return disables;
            };
            if (hasRevert) {
                c.revertRedirection = [&calls, &state](void *previous) {
                    calls << (previous == &state ? "revert saved" : "revert other");
                    return true;
                };
            }
            c.openKeyboard = [&calls, opens](int showMode) {
                calls << QStringLiteral("open %1").arg(showMode);
                return opens;
            };
            return c;
        };
        QVERIFY(OnScreenKeyboard::startSystemKeyboard(make(true, true, true)));
        QCOMPARE(calls, (QStringList{"disable", "open 5", "revert saved"}));
        calls.clear();
        QVERIFY(OnScreenKeyboard::startSystemKeyboard(make(false, true, true)));
        QCOMPARE(calls, (QStringList{"disable", "open 5"}));
        calls.clear();
        QVERIFY(!OnScreenKeyboard::startSystemKeyboard(make(true, false, true)));
        QCOMPARE(calls, (QStringList{"disable", "open 5", "revert saved"}));
        calls.clear();
        QVERIFY(OnScreenKeyboard::startSystemKeyboard(make(true, true, false)));
        QCOMPARE(calls, (QStringList{"disable", "open 5"}));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
