#pragma once

#include "imaging/codecs/image_decoding.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

struct TPictureLocation;

// What the picture lookup of a markup may read and spend. The window, where
// the user types their own markup, reads any local file; a renderer of text
// from strangers reads only what its user allowed.
struct TPicturePolicy {
    // Files (FILE://) and program resources (RES://) named by the markup are
    // read. When off, only files under AllowedFolders are, and resources only
    // when some folder is allowed.
    bool ReadAnyLocalFile = true;
    // Resolved folders (links, "." and ".." taken out); see AllowFolder.
    QStringList AllowedFolders;
    // A picture whose header declares more pixels is refused before decoding.
    qint64 MaxPicturePixels = MaxDecodedPixels;
    // Bytes of decoded pictures a cache keeps at once; beyond them the least
    // recently used pictures are dropped (and read again when next named).
    qint64 MaxCachedBytes = qint64(256) << 20;
    // Hears every local path just before the lookup opens or examines it on
    // disk, once the policy has let it through: what a test or a fuzzer
    // watches to see that nothing outside the allowed folders is touched.
    std::function<void(const QString& Path)> OnLocalPath;

    // Adds Folder as it resolves now; an existing link to a folder allows the
    // folder it points to.
    void AllowFolder(const QString& Folder);
};

// The reason Location may not be read under Policy; empty when it may. A
// file is judged by its resolved path, so neither ".." nor a link leads out
// of an allowed folder. Remote locations are never fetched and never refused.
QString LocationRefusal(const TPicturePolicy& Policy, const TPictureLocation& Location);

// Whether the absolute, cleaned Path lies inside one of the allowed folders
// (by its text alone: resolve it first to judge where it leads).
bool IsInsideAllowedFolder(const TPicturePolicy& Policy, const QString& Path);
