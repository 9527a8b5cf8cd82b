#pragma once

#include <QString>

// What a picture location text names. The scheme is recognised in any letter
// case, as the picture's own loading does.
struct TPictureLocation {
    enum class TKind { Resource, File, Remote };
    TKind Kind = TKind::Remote;
    // The resource name or the file name as written after the scheme; the
    // whole text for a remote location.
    QString Name;
    // For a file: the path with links, "." and ".." resolved (the cleaned
    // absolute path when the file does not exist); empty otherwise.
    QString ResolvedPath;
    // One text per thing named: every spelling of a file (FILE://x,
    // file:///abs/x, file:////abs/x, a link to it) gives the same key, so
    // that the file is read and decoded once.
    QString Key;
};

TPictureLocation ParsePictureLocation(const QString& Text);

// Path with links, "." and ".." resolved; relative paths are taken from the
// working folder. A path that does not exist is cleaned and made absolute,
// with the links of its existing part resolved.
QString ResolveLocalPath(const QString& Path);
