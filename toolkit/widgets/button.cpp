#include "toolkit/widgets/button.h"

#include <QPushButton>

TButton::TButton(QWidget* Parent) : TControl(Parent), FButton(new QPushButton(this))
{
    // QPushButton reads "&" exactly as the classic toolkit does.
    SetInner(FButton);
    setFocusPolicy(Qt::StrongFocus);
    resize(75, 25);
    TakeNextTabOrder();
    connect(FButton, &QPushButton::clicked, this, [this] { Click(); });
}

void TButton::CaptionChanged()
{
    FButton->setText(Caption());
}
