#include "app/status_row.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <cmath>

namespace
{
constexpr int BarWidth = 160;
constexpr int BarHeight = 14;
} // namespace

TStatusRow::TStatusRow(QWidget* Parent)
    : QWidget(Parent), FMessage(new QLabel(this)), FBar(new QProgressBar(this)),
      FCancel(new QToolButton(this)), FOutputSize(new QLabel(this)),
      FTransparency(new QCheckBox(QStringLiteral("Show &transparency"), this))
{
    FTransparency->setObjectName(QStringLiteral("ShowTransparency"));
    FTransparency->setToolTip(QStringLiteral("A checkerboard where a PNG, TIFF or WebP save is transparent "
                                             "(on the Text page: with \"Transparent background\")"));
    setObjectName(QStringLiteral("StatusRow"));
    FMessage->setObjectName(QStringLiteral("StatusMessage"));
    FOutputSize->setObjectName(QStringLiteral("OutputSize"));
    FBar->setObjectName(QStringLiteral("SaveProgress"));
    FBar->setFixedSize(BarWidth, BarHeight);
    FBar->setRange(0, 1000);
    FBar->setTextVisible(false);
    FCancel->setObjectName(QStringLiteral("CancelSave"));
    FCancel->setText(QStringLiteral("Cancel"));
    FCancel->setToolTip(QStringLiteral("Stop the save (Esc); nothing is written"));
    FCancel->setAutoRaise(true);
    FCancel->setFocusPolicy(Qt::NoFocus);
    // The footer is a line of text high.
    FCancel->setMaximumHeight(BarHeight + 4);
    FTransparency->setMaximumHeight(BarHeight + 4);
    FOutputSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 4, 0);
    row->setSpacing(8);
    row->addWidget(FMessage, 1);
    row->addWidget(FBar);
    row->addWidget(FCancel);
    row->addWidget(FOutputSize);
    row->addWidget(FTransparency);
    HideProgress();
    connect(FCancel, &QToolButton::clicked, this, [this] {
        if (OnCancel)
            OnCancel();
    });
}

void TStatusRow::ShowMessage(const QString& Text)
{
    FMessage->setText(Text);
}

QString TStatusRow::Message() const
{
    return FMessage->text();
}

void TStatusRow::ShowProgress(const QString& Text)
{
    FMessage->setText(Text);
    SetProgress(0);
    FBar->show();
    FCancel->show();
}

void TStatusRow::SetProgress(double Done)
{
    if (Done <= 0) {
        FBar->setRange(0, 0);
        return;
    }
    FBar->setRange(0, 1000);
    FBar->setValue(int(std::lround(Done * 1000)));
}

void TStatusRow::HideProgress()
{
    FBar->hide();
    FCancel->hide();
}

bool TStatusRow::ProgressShown() const
{
    return !FBar->isHidden();
}

void TStatusRow::ShowOutputSize(const QString& Text)
{
    FOutputSize->setText(Text);
}

QString TStatusRow::OutputSize() const
{
    return FOutputSize->text();
}
