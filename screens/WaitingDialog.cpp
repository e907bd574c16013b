#include "screens/WaitingDialog.h"

#include <QLabel>
#include <QMovie>

WaitingDialog::WaitingDialog(QWidget *parent) : QWidget(parent)
{
    m_Label = new QLabel(this);
    setFixedSize(128, 15);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    setContentsMargins(0, 0, 0, 0);
    m_Label->setContentsMargins(0, 0, 0, 0);
    m_Label->setGeometry(0, 0, 128, 15);
    m_Movie = std::make_unique<QMovie>(QStringLiteral(":/res/res/waitting.gif"), QByteArray());
    m_Label->setMovie(m_Movie.get());
    m_Movie->start();
}

WaitingDialog::~WaitingDialog()
{
    // The label lets go of the movie before the movie goes.
    delete m_Label;
}
