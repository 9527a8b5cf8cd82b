#include "pictures/picture_policy.h"

#include "pictures/picture_location.h"

namespace
{

bool IsInsideFolder(const QString& Path, const QString& Folder)
{
    if (Folder == QLatin1String("/"))
        return Path.startsWith(u'/');
    return Path.startsWith(Folder + u'/');
}

} // namespace

void TPicturePolicy::AllowFolder(const QString& Folder)
{
    const QString resolved = ResolveLocalPath(Folder);
    if (!resolved.isEmpty() && !AllowedFolders.contains(resolved))
        AllowedFolders << resolved;
}

QString LocationRefusal(const TPicturePolicy& Policy, const TPictureLocation& Location)
{
    if (Policy.ReadAnyLocalFile || Location.Kind == TPictureLocation::TKind::Remote)
        return {};
    if (Location.Kind == TPictureLocation::TKind::Resource)
        return Policy.AllowedFolders.isEmpty() ? QStringLiteral("program resources are not read") : QString();
    if (Policy.AllowedFolders.isEmpty())
        return QStringLiteral("local files are not read");
    return IsInsideAllowedFolder(Policy, Location.ResolvedPath)
               ? QString()
               : QStringLiteral("outside the allowed folders");
}

bool IsInsideAllowedFolder(const TPicturePolicy& Policy, const QString& Path)
{
    for (const QString& folder : Policy.AllowedFolders)
        if (IsInsideFolder(Path, folder))
            return true;
    return false;
}
