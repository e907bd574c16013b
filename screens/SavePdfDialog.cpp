#include "screens/SavePdfDialog.h"

#include "link/Settings.h"
#include "screens/CRMessageBox.h"
#include "screens/LineEdit.h"

#include <QDebug>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {
// Longest file name most file systems take, in UTF-8 bytes.
const int kMaxNameBytes = 255;
const QLatin1String kSuffix(".pdf");
} // namespace

SavePdfDialog::SavePdfDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Enter File Name"));
    auto *layout = new QVBoxLayout;
    auto *pathLabel = new QLabel(tr("Save Path:  ") + Settings::instance()->savePdfDir());

    auto *nameRow = new QHBoxLayout;
    m_FileName = new LineEdit;
    m_FileName->setMaximumWidth(180);
    nameRow->addWidget(new QLabel(tr("File Name:")));
    nameRow->addWidget(m_FileName);
    nameRow->addStretch();

    m_Hint = new QLabel(tr("Invalid file name."));
    m_Hint->setStyleSheet(QStringLiteral("color:red"));
    m_Hint->hide();

    auto *buttonRow = new QHBoxLayout;
    auto *btnOk = new QPushButton(tr("OK"));
    auto *btnCancel = new QPushButton(tr("Cancel"));
    btnOk->setObjectName(QStringLiteral("ok"));
    btnCancel->setObjectName(QStringLiteral("cancel"));
    buttonRow->addWidget(btnOk);
    buttonRow->addWidget(btnCancel);

    layout->addWidget(pathLabel);
    layout->addLayout(nameRow);
    layout->addWidget(m_Hint);
    layout->addSpacing(20);
    layout->addLayout(buttonRow);
    setLayout(layout);
    setMinimumSize(250, 150);

    connect(btnOk, SIGNAL(clicked()), this, SLOT(onOK()));
    connect(btnCancel, SIGNAL(clicked()), this, SLOT(reject()));
}

QString SavePdfDialog::fileNameFor(const QString &typed)
{
    if (typed.isEmpty())
        return QString();
    QString name = typed;
    if (!name.endsWith(kSuffix))
        name += kSuffix;
    // The file must stay inside the book folder and be a plain file name on every platform.
    if (name.contains(QLatin1String("..")) || name.toUtf8().size() > kMaxNameBytes)
        return QString();
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            return QString();
    }
    if (name.trimmed() == kSuffix)
        return QString();
    // Device names of Windows ("CON.pdf" is the console there, not a file).
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (device.match(name.section(QLatin1Char('.'), 0, 0).trimmed()).hasMatch())
        return QString();
    return name;
}

void SavePdfDialog::onOK()
{
    const QString typed = m_FileName->text();
    if (typed.isEmpty())
        return;
    const QString name = fileNameFor(typed);
    if (name.isEmpty()) {
        qDebug() << "SavePdfDialog::onOK refused name" << typed;
        m_Hint->show();
        return;
    }
    m_Hint->hide();
    Settings *settings = Settings::instance();
    const QString path = settings->savePdfDir() + name;
    if (QFileInfo::exists(path)) {
        // Replacing a book or an earlier export needs the student's yes.
        CRMessageBox box(this);
        box.setMessage(tr("Replace File"), tr("This file already exists. Replace it?"));
        box.centerOnMainWidget();
        if (box.exec() != QDialog::Accepted)
            return;
    }
    settings->m_strSavePdfPath = path;
    accept();
}
