#include "screens/LocalBooksWidget.h"

#include "link/Settings.h"
#include "link/TcpManager.h"
#include "screens/BookIconList.h"
#include "screens/CRMessageBox.h"
#include "screens/DisplayWidget.h"
#include "screens/NoticeBox.h"
#include "screens/ScreenPointers.h"
#include "screens/ToolbarButton.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {
ToolbarButton *bookButton(const QString &picture)
{
    auto *button = new ToolbarButton(QString());
    button->setImageSize(50, 50);
    button->setImage(picture, false);
    button->setImage(picture, true);
    return button;
}
} // namespace

LocalBooksWidget::LocalBooksWidget(QWidget *parent) : QWidget(parent)
{
    ScreenPointers::setLocalBooksWidget(this);

    m_btnOpen = bookButton(QStringLiteral(":/res/res/Open.svg"));
    m_btnDelete = bookButton(QStringLiteral(":/res/res/delete.svg"));
    m_btnOpen->setObjectName(QStringLiteral("open"));
    m_btnDelete->setObjectName(QStringLiteral("delete"));
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_btnOpen);
    buttons->addWidget(m_btnDelete);
    buttons->addStretch();

    m_BookList = new BookIconList;
    auto *layout = new QVBoxLayout;
    layout->addLayout(buttons);
    layout->addWidget(m_BookList);
    setLayout(layout);
    m_Icon = QIcon(QStringLiteral(":/res/res/pdf.png"));

    LoadBooks();

    connect(m_BookList, SIGNAL(itemDoubleClicked(QListWidgetItem *)), this,
            SLOT(onItemDBClicked(QListWidgetItem *)));
    connect(m_btnDelete, SIGNAL(clicked()), this, SLOT(onBtnDelete()));
    connect(m_btnOpen, SIGNAL(clicked()), this, SLOT(onBtnOpen()));
    connect(TcpManager::instance(), SIGNAL(downloadPdfComplete(QString)), this, SLOT(LoadBooks()));
}

LocalBooksWidget::~LocalBooksWidget() = default;

QListWidget *LocalBooksWidget::bookList() const
{
    return m_BookList;
}

void LocalBooksWidget::LoadBooks()
{
    m_BookList->clear();
    const QStringList entries = QDir(Settings::instance()->localBookDir()).entryList();
    for (const QString &name : entries) {
        if (name.endsWith(QLatin1String(".pdf")))
            m_BookList->addBook(name, m_Icon);
    }
}

void LocalBooksWidget::onItemDBClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    qDebug() << "onItemDBClicked " << item->text();
    auto *display = qobject_cast<DisplayWidget *>(ScreenPointers::displayWidget());
    if (!display)
        return;
    display->onOpeneBook(Settings::instance()->localBookDir() + item->text());
    emit jumpEBook();
}

void LocalBooksWidget::onBtnOpen()
{
    if (QListWidgetItem *item = m_BookList->currentItem())
        onItemDBClicked(item);
}

void LocalBooksWidget::onBtnDelete()
{
    QListWidgetItem *item = m_BookList->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    const QString path = Settings::instance()->localBookDir() + name;
    CRMessageBox box(this);
    box.centerOnMainWidget();
    // The list may be reloaded while the question is open: items are looked up again.
    if (box.exec() != QDialog::Accepted)
        return;
    QFile::remove(path);
    if (!QFileInfo::exists(path)) {
        qDeleteAll(m_BookList->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
        return;
    }
    // The book is still there: it stays listed.
    qDebug() << "onBtnDelete: cannot remove" << path;
    m_FailBox = NoticeBox::show(this, tr("Fail"), tr("The file could not be deleted."),
                                QMessageBox::Information);
}
