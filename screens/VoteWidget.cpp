#include "screens/VoteWidget.h"

#include "link/TcpManager.h"
#include "screens/ToolbarButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QVBoxLayout>

namespace {
const int kButtonSize = 74;
const int kButtonGap = 6;
// The answer label sits inside the text-view picture, which is drawn at y = 24.
const int kTextViewTop = 24;
const int kLabelTop = 29;
} // namespace

VoteWidget::VoteWidget(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(250, 370);
    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(0, kLabelTop, 0, 0);
    layout->setSpacing(20);

    m_AnswerLabel = new QLabel;
    m_AnswerLabel->setFixedSize(184, 46);
    m_AnswerLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QFont answerFont = m_AnswerLabel->font();
    answerFont.setPixelSize(30);
    answerFont.setBold(true);
    m_AnswerLabel->setFont(answerFont);

    // Three digits a row, centred: no spacing besides the gaps between the buttons.
    auto *row1 = new QHBoxLayout;
    auto *row2 = new QHBoxLayout;
    for (QHBoxLayout *row : {row1, row2}) {
        row->setSpacing(0);
        row->addStretch();
    }
    const char *handlers[] = {SLOT(onBtn1()), SLOT(onBtn2()), SLOT(onBtn3()),
                              SLOT(onBtn4()), SLOT(onBtn5()), SLOT(onBtn6())};
    QFont digitFont = font();
    digitFont.setPixelSize(32);
    for (int i = 0; i < 6; ++i) {
        auto *button = new ToolbarButton(QString::number(i + 1), this);
        button->setObjectName(QStringLiteral("vote%1").arg(i + 1));
        button->setFont(digitFont);
        SetButtonImage(button, QStringLiteral(":/res/res/votebuttonbk.png"));
        connect(button, SIGNAL(clicked()), this, handlers[i]);
        QHBoxLayout *row = i < 3 ? row1 : row2;
        if (i % 3 != 0)
            row->addSpacing(kButtonGap);
        row->addWidget(button);
    }

    row1->addStretch();
    row2->addStretch();

    auto *btnSend = new ToolbarButton(tr("Send"), this);
    btnSend->setObjectName(QStringLiteral("send"));
    QFont sendFont = font();
    sendFont.setPixelSize(24);
    btnSend->setFont(sendFont);
    btnSend->setImageSize(200, 64);
    btnSend->setImage(QStringLiteral(":/res/res/votebuttonsend.png"), true);
    btnSend->setImage(QStringLiteral(":/res/res/votebuttonsend.png"), false);

    auto *labelRow = new QHBoxLayout;
    labelRow->addStretch();
    labelRow->addWidget(m_AnswerLabel);
    labelRow->addStretch();
    auto *sendRow = new QHBoxLayout;
    sendRow->addStretch();
    sendRow->addWidget(btnSend);
    sendRow->addStretch();

    layout->addLayout(labelRow);
    layout->addLayout(row1);
    layout->addLayout(row2);
    layout->addLayout(sendRow);
    layout->addStretch();
    setLayout(layout);

    QPixmap background(QStringLiteral(":/res/res/votebk.png"));
    const QPixmap textView(QStringLiteral(":/res/res/votetextview.png"));
    {
        QPainter painter(&background);
        painter.drawPixmap((background.width() - textView.width()) / 2, kTextViewTop, textView);
    }
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window, QBrush(background));
    setPalette(pal);

    connect(btnSend, SIGNAL(clicked()), this, SLOT(onSend()));
}

void VoteWidget::SetButtonImage(ToolbarButton *button, const QString &path)
{
    button->setImageSize(kButtonSize, kButtonSize);
    button->setImage(path, true);
    button->setImage(path, false);
}

void VoteWidget::choose(int digit)
{
    static const char *const digits[] = {QT_TR_NOOP("1"), QT_TR_NOOP("2"), QT_TR_NOOP("3"),
                                         QT_TR_NOOP("4"), QT_TR_NOOP("5"), QT_TR_NOOP("6")};
    m_nAnswer = digit;
    m_AnswerLabel->setText(tr(digits[digit - 1]));
}

void VoteWidget::onBtn1()
{
    choose(1);
}
void VoteWidget::onBtn2()
{
    choose(2);
}
void VoteWidget::onBtn3()
{
    choose(3);
}
void VoteWidget::onBtn4()
{
    choose(4);
}
void VoteWidget::onBtn5()
{
    choose(5);
}
void VoteWidget::onBtn6()
{
    choose(6);
}

void VoteWidget::onSend()
{
    // The teacher counts digits: send the digit, not the text the label shows.
    if (m_nAnswer > 0)
        TcpManager::instance()->sendVote(QString::number(m_nAnswer));
    m_nAnswer = 0;
    m_AnswerLabel->clear();
}
