#include "screens/serverbooswidget.h"

#include "link/TcpManager.h"
#include "screens/BookIconList.h"
#include "screens/BookListAnswer.h"
#include "screens/NoticeBox.h"
#include "screens/ToolbarButton.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QVBoxLayout>

serverbooswidget::serverbooswidget(QWidget *parent) : QWidget(parent)
{
    m_BookList = new BookIconList;
    m_Icon = QIcon(QStringLiteral(":/res/res/pdf.png"));

    m_btnDownload = new ToolbarButton(QString());
    m_btnDownload->setObjectName(QStringLiteral("download"));
    m_btnDownload->setImageSize(50, 50);
    m_btnDownload->setImage(QStringLiteral(":/res/res/Download.svg"), false);
    m_btnDownload->setImage(QStringLiteral(":/res/res/Download Click.svg"), true);

    m_ProgressBar = new QProgressBar;
    m_ProgressBar->setFixedHeight(50);
    m_ProgressBar->setRange(0, 100);
    m_ProgressBar->setValue(0);
    m_ProgressBar->hide();

    auto *top = new QHBoxLayout;
    top->addWidget(m_btnDownload, 0, Qt::AlignLeft);
    top->addWidget(m_ProgressBar);
    auto *layout = new QVBoxLayout;
    layout->addLayout(top);
    layout->addWidget(m_BookList);
    setLayout(layout);

    TcpManager *tcp = TcpManager::instance();
    connect(tcp, SIGNAL(querybookResult(QString)), this, SLOT(onQueryBookResult(QString)));
    connect(tcp, SIGNAL(DownloadResult(bool)), this, SLOT(onDownloadResult(bool)));
    connect(tcp, SIGNAL(downloadPdfProgress(int, int)), this,
            SLOT(onDownloadPdfProgress(int, int)));
    connect(m_btnDownload, SIGNAL(clicked()), this, SLOT(onBtnDownload()));
    connect(m_BookList, SIGNAL(itemDoubleClicked(QListWidgetItem *)), this,
            SLOT(onItemDbClicked(QListWidgetItem *)));
}

serverbooswidget::~serverbooswidget() = default;

QListWidget *serverbooswidget::bookList() const
{
    return m_BookList;
}

void serverbooswidget::queryBooks()
{
    m_BookList->clear();
    TcpManager::instance()->queryBook();
}

void serverbooswidget::addBookItem(const QString &name, const QString &folder)
{
    QListWidgetItem *item = m_BookList->addBook(name, m_Icon);
    item->setData(ServerPathRole, folder + QLatin1Char('/') + name);
}

void serverbooswidget::onQueryBookResult(QString reply)
{
    const BookListAnswer answer = BookListAnswer::parse(reply);
    if (!answer.ok)
        return;
    for (const QString &name : answer.names)
        addBookItem(name, answer.folder);
}

void serverbooswidget::onItemDbClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    m_ProgressBar->setValue(0);
    m_ProgressBar->show();
    TcpManager::instance()->downloadBooks(item->data(ServerPathRole).toString());
}

void serverbooswidget::onBtnDownload()
{
    onItemDbClicked(m_BookList->currentItem());
}

void serverbooswidget::onDownloadPdfProgress(int total, int received)
{
    if (total <= 0)
        return;
    if (m_ProgressBar->isHidden())
        m_ProgressBar->show();
    const double share = double(qBound(0, received, total)) / total;
    m_ProgressBar->setValue(int(share * 100));
    if (received >= total) {
        m_ProgressBar->hide();
        m_ProgressBar->setValue(0);
    }
}

void serverbooswidget::onDownloadResult(bool ok)
{
    if (!ok) {
        qDebug() << "onDownloadResult: download failed";
        m_FailBox =
            NoticeBox::show(this, tr("Fail"), tr("Download failed."), QMessageBox::Information);
    }
    m_ProgressBar->setValue(0);
    m_ProgressBar->hide();
}
