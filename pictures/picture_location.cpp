#include "pictures/picture_location.h"

#include "toolkit/ascii_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>
#include <cstdlib>

namespace
{

const QString ResourceScheme = QStringLiteral("RES://");
const QString FileScheme = QStringLiteral("FILE://");

bool StartsWithScheme(const QString& Text, const QString& Scheme)
{
    if (Text.size() < Scheme.size())
        return false;
    for (qsizetype i = 0; i < Scheme.size(); ++i)
        if (UpperAscii(Text[i].unicode()) != Scheme[i].unicode())
            return false;
    return true;
}

} // namespace

QString ResolveLocalPath(const QString& Path)
{
    if (Path.isEmpty())
        return {};
    // The system's own resolution of the path as written: ".." after a link
    // goes where the kernel goes, not where a textual clean-up would.
    if (char* resolved = ::realpath(QFile::encodeName(Path).constData(), nullptr)) {
        const QString canonical = QFile::decodeName(resolved);
        std::free(resolved);
        return canonical;
    }
    const QString absolute = QDir::cleanPath(QFileInfo(Path).absoluteFilePath());
    // The deepest folder that exists decides where the rest would be, so a
    // link in it cannot make a missing name look like it lies elsewhere.
    QString existing = absolute;
    QString rest;
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash < 0)
            break;
        rest = existing.mid(slash) + rest;
        existing = existing.left(slash);
    }
    const QString base = QFileInfo(existing.isEmpty() ? QStringLiteral("/") : existing).canonicalFilePath();
    return QDir::cleanPath(base + rest);
}

TPictureLocation ParsePictureLocation(const QString& Text)
{
    TPictureLocation location;
    if (StartsWithScheme(Text, ResourceScheme)) {
        location.Kind = TPictureLocation::TKind::Resource;
        location.Name = Text.mid(ResourceScheme.size());
        location.Key = ResourceScheme + location.Name;
    } else if (StartsWithScheme(Text, FileScheme)) {
        location.Kind = TPictureLocation::TKind::File;
        location.Name = Text.mid(FileScheme.size());
        location.ResolvedPath = ResolveLocalPath(location.Name);
        location.Key = FileScheme + location.ResolvedPath;
    } else {
        location.Name = Text;
        location.Key = Text;
    }
    return location;
}
