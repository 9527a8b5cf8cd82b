#include "toolkit/widgets/tab_sheet.h"

#include "toolkit/widgets/page_control.h"

TTabSheet::TTabSheet(QWidget* Parent) : TControl(Parent)
{
    SetPageControl(qobject_cast<TPageControl*>(Parent));
}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (Value == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    FPageControl = Value;
    if (!Value)
        return;
    if (parentWidget() != Value)
        setParent(Value);
    Value->InsertPage(this);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    for (int i = 0; i < FPageControl->PageCount(); ++i)
        if (FPageControl->Pages(i) == this)
            return i;
    return -1;
}

void TTabSheet::SetPageIndex(int Value)
{
    if (FPageControl)
        FPageControl->MovePage(this, Value);
}

void TTabSheet::CaptionChanged()
{
    if (FPageControl)
        FPageControl->PageCaptionChanged(this);
}
