#include "link/Settings.h"
#include "screens/SettingWidget.h"
#include "support/DialogAnswer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDataStream>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
QString dataFile(const char *name)
{
    return Settings::instance()->dataRoot() + name;
}

QStringList langCfg()
{
    QFile file(dataFile("lang.cfg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_5_4);
    QString name, lang;
    in >> name >> lang;
    return {name, lang};
}
QByteArray langCfgBytes(const QString &lang)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_4);
    out << QStringLiteral("Old") << lang;
    return bytes;
}
} // namespace

class TestSettingWidget : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QFile::remove(dataFile("setting.ini"));
        QFile::remove(dataFile("lang.cfg"));
    }

    void defaultsAndChecks()
    {
        QWidget login;
        SettingWidget panel(&login);
        QVERIFY(panel.windowFlags() & Qt::FramelessWindowHint);
        auto *ip = panel.findChild<QLineEdit *>("ipEdit");
        auto *port = panel.findChild<QLineEdit *>("portEdit");
        auto *langs = panel.findChild<QComboBox *>("languageCombo");
        QCOMPARE(ip->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(port->text(), QStringLiteral("5502"));
        QCOMPARE(langs->count(), 9);
        QCOMPARE(langs->currentText(), QStringLiteral("English"));
        QCOMPARE(panel.languageIndex(), 0);
        // Rows of the open list are as tall as the fields, for fingers.
        panel.show();
        langs->showPopup();
        QCOMPARE(langs->view()->visualRect(langs->model()->index(1, 0)).height(), ip->height());
        langs->hidePopup();

        // Typing is held to ports; what is set in code is checked by OK.
        port->clear();
        QTest::keyClicks(port, "07x0000");
        QCOMPARE(port->text(), QStringLiteral("7000"));

        QSignalSpy reloads(&panel, SIGNAL(reloadSettings()));
        panel.show();
        const struct
        {
            const char *ip;
            const char *port;
        } refused[] = {{"", "5502"},           {"bad address!", "5502"}, {"-host.school", "5502"},
                       {"10.0.0.300", "5502"}, {"10.0.0.5", "0"},        {"10.0.0.5", "65536"},
                       {"10.0.0.5", ""}};
        for (const auto &fields : refused) {
            ip->setText(fields.ip);
            port->setText(fields.port);
            QTest::mouseClick(panel.findChild<QPushButton *>("okButton"), Qt::LeftButton);
            auto *notice = panel.findChild<QMessageBox *>("notice");
            QVERIFY2(notice && notice->isVisible(), fields.ip);
            delete notice;
        }
        QCOMPARE(reloads.count(), 0);
        QVERIFY(panel.isVisible());
        QVERIFY(!QFile::exists(dataFile("setting.ini")));

        // Trimmed before they are kept; a host name is taken as well.
        for (const char *address : {" 192.168.4.20 ", "server.school-7.local", "::1"}) {
            ip->setText(address);
            port->setText(" 6000 ");
            QTest::mouseClick(panel.findChild<QPushButton *>("okButton"), Qt::LeftButton);
            QVERIFY(!panel.isVisible());
            QSettings ini(dataFile("setting.ini"), QSettings::IniFormat);
            QCOMPARE(ini.value("init/Ip").toString(), QString(address).trimmed());
            QCOMPARE(ini.value("init/Port").toString(), QStringLiteral("6000"));
            panel.show();
        }
        QCOMPARE(reloads.count(), 3);
        QVERIFY(!QFile::exists(dataFile("lang.cfg")));
    }

    void languageQuestion()
    {
        QWidget login;
        SettingWidget panel(&login);
        auto *langs = panel.findChild<QComboBox *>("languageCombo");
        auto *ok = panel.findChild<QPushButton *>("okButton");
        QSignalSpy reloads(&panel, SIGNAL(reloadSettings()));
        panel.show();

        // No: nothing is written and the language in use is shown again.
        langs->setCurrentIndex(6);
        {
            DialogAnswer no(QStringLiteral("no"));
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(no.answered());
            QCOMPARE(no.title(), tr("Change Language"));
        }
        QVERIFY(!QFile::exists(dataFile("lang.cfg")));
        QVERIFY(!QFile::exists(dataFile("setting.ini")));
        QCOMPARE(langs->currentIndex(), 0);
        QVERIFY(panel.isVisible());
        QCOMPARE(reloads.count(), 0);

        // Yes: the choice is written, the settings saved and the panel closed.
        langs->setCurrentIndex(6);
        {
            DialogAnswer yes(QStringLiteral("yes"));
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(yes.answered());
        }
        QCOMPARE(langCfg(), (QStringList{"Deutsch", "de_DE.qm"}));
        QVERIFY(QFile::exists(dataFile("setting.ini")));
        QVERIFY(!panel.isVisible());
        QCOMPARE(reloads.count(), 1);

        // The same language again asks nothing; a newly built panel shows it.
        panel.show();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(reloads.count(), 2);
        SettingWidget again(&login);
        QCOMPARE(again.findChild<QComboBox *>("languageCombo")->currentText(),
                 QStringLiteral("Deutsch"));

        // A choice that cannot be read, or is not in the list, shows as the default language;
        // OK then asks nothing and keeps the list.
        for (const QByteArray &cfg : {QByteArray("\0\0\0\x02x", 5), langCfgBytes("xx.qm")}) {
            QFile file(dataFile("lang.cfg"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(cfg) == cfg.size());
            file.close();
            SettingWidget damaged(&login);
            auto *list = damaged.findChild<QComboBox *>("languageCombo");
            QCOMPARE(list->currentText(), QStringLiteral("English"));
            damaged.show();
            DialogAnswer no(QStringLiteral("no"), 500);
            QTest::mouseClick(damaged.findChild<QPushButton *>("okButton"), Qt::LeftButton);
            QVERIFY(!no.answered() && !damaged.isVisible());
            QCOMPARE(list->count(), 9);
        }
    }
};

QTEST_MAIN(TestSettingWidget)
#include "tst_settingwidget.moc"
