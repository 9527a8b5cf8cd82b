#include "pictures/picture_container.h"

#include "pictures/picture_collection.h"
#include "pictures/picture_item.h"

namespace
{
constexpr int VersionMajor = 1, VersionMinor = 0, VersionRelease = 0, VersionBuild = 0;

// Upper case for the letters a-z only; every other character stays as it is.
QString AsciiUpper(const QString& Text)
{
    QString result = Text;
    for (QChar& c : result)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return result;
}
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
    const QString wanted = AsciiUpper(Name);
    for (int i = 0; i < FItems->Count(); ++i) {
        TPictureItem* item = FItems->Items(i);
        if (AsciiUpper(item->Name()) == wanted)
            return item->Picture();
    }
    return nullptr;
}

int TPictureContainer::VersionNumber() const
{
    return (VersionMajor << 24) | (VersionMinor << 16) | (VersionRelease << 8) | VersionBuild;
}

QString TPictureContainer::Version() const
{
    const unsigned number = static_cast<unsigned>(VersionNumber());
    return QStringLiteral("%1.%2.%3.%4")
        .arg(number >> 24)
        .arg((number >> 16) & 0xFF)
        .arg((number >> 8) & 0xFF)
        .arg(number & 0xFF);
}
