#include "screens/SettingWidget.h"

#include "link/ServerSettings.h"
#include "link/Settings.h"
#include "screens/CRMessageBox.h"
#include "screens/LineEdit.h"
#include "screens/NoticeBox.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSettings>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {
const int kMaxHostNameLength = 253;

QString iniPath()
{
    return Settings::instance()->dataRoot() + QStringLiteral("setting.ini");
}

QHBoxLayout *row(const QString &text, int labelWidth, QWidget *field, const QSize &fieldSize)
{
    auto *label = new QLabel(text);
    label->setFixedWidth(labelWidth);
    label->setWordWrap(true);
    field->setFixedSize(fieldSize);
    auto *layout = new QHBoxLayout;
    layout->addStretch();
    layout->addWidget(label);
    layout->addWidget(field);
    return layout;
}
} // namespace

SettingWidget::SettingWidget(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window,
                 QBrush(QPixmap(QStringLiteral(":/res/res/background-01.jpg"))));
    setPalette(pal);
    // A frame tells the panel apart from the screen behind it, which shows the same picture.
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("SettingWidget{border: 2px solid #7f8c9d;}"));

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QSize panelSize(600, 355);
    if (screen.width() >= 1280 && screen.height() >= 800)
        panelSize = QSize(int(0.46 * screen.width()), int(0.5 * screen.height()));
    setFixedSize(panelSize);
    const int labelWidth = int(0.33 * panelSize.width());
    const int rowHeight = int(0.15 * panelSize.height());
    const QSize fieldSize(int(0.55 * panelSize.width()), rowHeight);

    m_IpEdit = new LineEdit;
    m_IpEdit->setObjectName(QStringLiteral("ipEdit"));
    m_IpEdit->setEchoMode(QLineEdit::Normal);
    m_PortEdit = new LineEdit;
    m_PortEdit->setObjectName(QStringLiteral("portEdit"));
    // Digits of a port in 1..65535 only; a QIntValidator would let "70000" through as unfinished.
    static const QRegularExpression port(QStringLiteral(
        "([1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])?"));
    m_PortEdit->setValidator(new QRegularExpressionValidator(port, m_PortEdit));
    m_LangCombo = new QComboBox;
    m_LangCombo->setObjectName(QStringLiteral("languageCombo"));
    m_LangCombo->setItemDelegate(new QStyledItemDelegate(m_LangCombo));
    m_LangCombo->setStyleSheet(
        QStringLiteral("QComboBox QAbstractItemView::item{min-height: %1px}").arg(rowHeight));

    auto *btnOk = new QPushButton(tr("OK"));
    btnOk->setObjectName(QStringLiteral("okButton"));
    btnOk->setFixedSize(labelWidth, rowHeight);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row(tr("Server IP:"), labelWidth, m_IpEdit, fieldSize));
    layout->addLayout(row(tr("Server Port:"), labelWidth, m_PortEdit, fieldSize));
    layout->addLayout(row(tr("Language:"), labelWidth, m_LangCombo, fieldSize));
    layout->addWidget(btnOk, 0, Qt::AlignRight);

    connect(btnOk, SIGNAL(clicked()), this, SLOT(onOK()));
    loadSetting();
    loadLanguages();
}

SettingWidget::~SettingWidget() = default;

void SettingWidget::loadSetting()
{
    const QString root = Settings::instance()->dataRoot();
    if (!QDir(root).exists()) {
        qDebug() << "loadSetting folder not exist";
        QDir().mkpath(root);
    }
    QSettings ini(iniPath(), QSettings::IniFormat);
    qDebug() << "loadSetting " << iniPath();
    ini.beginGroup(QStringLiteral("init"));
    const QString ip =
        ini.value(QStringLiteral("Ip"), QString::fromLatin1(ServerSettings::DefaultIp)).toString();
    const QString port =
        ini.value(QStringLiteral("Port"), QString::fromLatin1(ServerSettings::DefaultPort))
            .toString();
    ini.endGroup();
    qDebug() << "loadSetting strIp=" << ip << " strPort=" << port;
    m_IpEdit->setText(ip);
    m_PortEdit->setText(port);
}

void SettingWidget::saveSetting()
{
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("init"));
    ini.setValue(QStringLiteral("Ip"), m_IpEdit->text());
    ini.setValue(QStringLiteral("Port"), m_PortEdit->text());
    ini.endGroup();
    ini.sync();
}

void SettingWidget::loadLanguages()
{
    const QString path = Settings::instance()->languageDir() + QStringLiteral("lang.xml");
    qDebug() << "strLangXmlPath=" << path;
    m_LangCombo->clear();
    m_LangFiles.clear();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QDomDocument doc;
        doc.setContent(&file);
        file.close();
        const QDomElement root = doc.firstChildElement(QStringLiteral("Lang"));
        for (QDomElement item = root.firstChildElement(QStringLiteral("Item")); !item.isNull();
             item = item.nextSiblingElement()) {
            m_LangCombo->addItem(item.attribute(QStringLiteral("name")));
            m_LangFiles << item.attribute(QStringLiteral("file"));
        }
    }
    // A language that is not in the list (an old or damaged choice) shows as the default one.
    int at = m_LangFiles.indexOf(Settings::instance()->readLanguageFile());
    if (at < 0)
        at = m_LangFiles.indexOf(Settings::instance()->defaultLanguageFile());
    if (at >= 0) {
        m_nLangIndex = at;
        m_LangCombo->setCurrentIndex(at);
    }
}

bool SettingWidget::isValidPort(const QString &text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok, 10);
    return ok && port >= 1 && port <= 65535;
}

bool SettingWidget::isValidAddress(const QString &text)
{
    const QString address = text.trimmed();
    if (address.isEmpty() || address.size() > kMaxHostNameLength)
        return false;
    if (!QHostAddress(address).isNull())
        return true;
    // A host name: dot-separated labels of letters, digits and inner hyphens; a last label of
    // digits only would be a broken numeric address.
    static const QRegularExpression label(
        QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QStringList labels = address.split(QLatin1Char('.'));
    for (const QString &part : labels) {
        if (!label.match(part).hasMatch())
            return false;
    }
    return !digits.match(labels.last()).hasMatch();
}

// Puts the trimmed address and port back into the fields; false, with a message, when either
// is not usable.
bool SettingWidget::takeFields()
{
    if (!isValidAddress(m_IpEdit->text())) {
        NoticeBox::show(this, tr("Settings"), tr("Enter a valid server address."));
        return false;
    }
    if (!isValidPort(m_PortEdit->text())) {
        NoticeBox::show(this, tr("Settings"), tr("Enter a server port from 1 to 65535."));
        return false;
    }
    m_IpEdit->setText(m_IpEdit->text().trimmed());
    m_PortEdit->setText(QString::number(m_PortEdit->text().trimmed().toInt()));
    return true;
}

void SettingWidget::onOK()
{
    if (!takeFields())
        return;
    const int index = m_LangCombo->currentIndex();
    if (index != m_nLangIndex && index >= 0 && index < m_LangFiles.size()) {
        CRMessageBox box(this);
        box.setMessage(tr("Change Language"),
                       tr("Change language will take effect restart software."));
        box.centerOnMainWidget();
        box.setFixedSize(400, 120);
        if (box.exec() != QDialog::Accepted) {
            // The language in use stays chosen.
            m_LangCombo->setCurrentIndex(m_nLangIndex);
            return;
        }
        Settings::instance()->writeLanguageFile(m_LangCombo->currentText(), m_LangFiles.at(index));
        m_nLangIndex = index;
    }
    saveSetting();
    emit reloadSettings();
    close();
}
