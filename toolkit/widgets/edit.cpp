#include "toolkit/widgets/edit.h"

#include <QLineEdit>

TEdit::TEdit(QWidget* Parent) : TControl(Parent), FLine(new QLineEdit(this))
{
    SetInner(FLine);
    setFocusPolicy(Qt::StrongFocus);
    SetColor(clWindow);
    resize(121, 21);
    TakeNextTabOrder();
    connect(FLine, &QLineEdit::textChanged, this, [this] {
        if (!IsLoading())
            FOnChange(this);
    });
}

QString TEdit::Text() const
{
    return FLine->text();
}

void TEdit::SetText(const QString& Value)
{
    // QLineEdit only reports a change when the text differs.
    FLine->setText(Value);
}
