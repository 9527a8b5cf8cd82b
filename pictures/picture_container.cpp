#include "pictures/picture_container.h"

#include "pictures/picture_collection.h"
#include "pictures/picture_item.h"
#include "toolkit/ascii_text.h"
#include "toolkit/product_version.h"

namespace
{
// The container keeps its own version, apart from the program's.
constexpr std::uint32_t ContainerVersion = PackVersion(1, 0, 0, 0);
} // namespace

TPictureContainer::TPictureContainer(QObject* Parent) : QObject(Parent), FItems(new TPictureCollection(this))
{
}

TPictureContainer::~TPictureContainer() = default;

void TPictureContainer::SetItems(TPictureCollection* Value)
{
    if (Value && Value != FItems)
        FItems->CopyFrom(Value);
}

THTMLPicture* TPictureContainer::PictureByName(const QString& Name) const
{
    const QString wanted = UpperCaseAscii(Name);
    for (int i = 0; i < FItems->Count(); ++i) {
        TPictureItem* item = FItems->Items(i);
        if (UpperCaseAscii(item->Name()) == wanted)
            return item->Picture();
    }
    return nullptr;
}

int TPictureContainer::VersionNumber() const
{
    return static_cast<int>(ContainerVersion);
}

QString TPictureContainer::Version() const
{
    return PackedVersionText(static_cast<std::uint32_t>(VersionNumber()));
}
