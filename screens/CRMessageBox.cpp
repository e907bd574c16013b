#include "screens/CRMessageBox.h"

#include "screens/ScreenPointers.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

CRMessageBox::CRMessageBox(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Confirm Delete"));
    setWindowModality(Qt::WindowModal);
    m_label = buildYesNo(this, tr("Sure to delete this file?"), tr("Yes"), tr("No"));
}

QLabel *CRMessageBox::buildYesNo(QDialog *dialog, const QString &text, const QString &yes,
                                 const QString &no)
{
    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(10, 10, 10, 10);
    auto *label = new QLabel(text);
    // Longer translations wrap inside the fixed box.
    label->setWordWrap(true);
    auto *row = new QHBoxLayout;
    auto *btnYes = new QPushButton(yes);
    auto *btnNo = new QPushButton(no);
    btnYes->setObjectName(QStringLiteral("yes"));
    btnNo->setObjectName(QStringLiteral("no"));
    btnYes->setMinimumHeight(40);
    btnNo->setMinimumHeight(40);
    row->addWidget(btnYes);
    row->addWidget(btnNo);
    layout->addWidget(label);
    layout->addLayout(row);
    dialog->setLayout(layout);
    QObject::connect(btnYes, SIGNAL(clicked()), dialog, SLOT(accept()));
    QObject::connect(btnNo, SIGNAL(clicked()), dialog, SLOT(reject()));
    dialog->setFixedSize(350, 120);
    return label;
}

void CRMessageBox::setMessage(const QString &title, const QString &text)
{
    m_label->setText(text);
    setWindowTitle(title);
}

QString CRMessageBox::message() const
{
    return m_label->text();
}

void CRMessageBox::centerOnMainWidget()
{
    // Without a main window the box is centred on the primary screen.
    QSize area;
    if (QWidget *main = ScreenPointers::mainWidget())
        area = main->size();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->geometry().size();
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
}
