#include "controls/orb_hint_info.h"

TOrbHintInfo::TOrbHintInfo(QObject* Parent)
    : TPersistent(Parent), FNotes(std::make_unique<TStrings>()), FPicture(std::make_unique<TGDIPPicture>())
{
}

TOrbHintInfo::~TOrbHintInfo()
{
    FNotes.reset();
    FPicture.reset();
}

void TOrbHintInfo::SetNotes(TStrings* Value)
{
    FNotes->CopyFrom(Value);
}

void TOrbHintInfo::SetPicture(TGDIPPicture* Value)
{
    FPicture->CopyFrom(Value);
}

void TOrbHintInfo::CopyFrom(const TPersistent* Source)
{
    const auto* other = qobject_cast<const TOrbHintInfo*>(Source);
    if (!other || other == this)
        return;
    FTitle = other->FTitle;
    FNotes->CopyFrom(other->FNotes.get());
    FShowHelp = other->FShowHelp;
    FPicture->CopyFrom(other->FPicture.get());
    FWideTitle = other->FWideTitle;
    FWideNotes = other->FWideNotes;
}
