#include "toolkit/graphics/picture.h"

TPicture::TPicture(QObject* parent) : TPersistent(parent) {}

TPicture::~TPicture()
{
    // The graphic must not call back into a picture that is going away.
    if (HeldGraphic)
        HeldGraphic->OnChange = nullptr;
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> Graphic)
{
    if (HeldGraphic)
        HeldGraphic->OnChange = nullptr;
    HeldGraphic = std::move(Graphic);
    if (HeldGraphic)
        HeldGraphic->OnChange = [this](TGraphic*) { Changed(); };
    Changed();
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}
