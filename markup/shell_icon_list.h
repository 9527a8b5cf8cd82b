#pragma once

#include <QImage>
#include <QString>

struct TPicturePolicy;

// The process-wide indexed icon list that markup refers to by number or by
// file name: a fixed set of icons drawn by us (file, folder, drive, kinds of
// file), the same on every machine whatever icon theme it has. Only QtGui is
// used, so the command line can draw markup without widgets. File kinds come
// from the MIME database (by content for existing files, else by name).
namespace ShellIconList
{
// The standard entries; a file kind not listed gets the plain-file icon.
enum TStandardIcon : int {
    iconFile = 0,
    iconDocument = 1,
    iconApplication = 2,
    iconFolder = 3,
    iconFolderOpen = 4,
    iconDrive = 5,
    iconImage = 6,
    iconAudio = 7,
    iconVideo = 8,
    iconArchive = 9,
    iconText = 10,
    iconWebPage = 11,
    StandardIconCount = 12
};

// Pixels per side: 32 for large icons, 16 for small ones.
int IconSize(bool Large);
int Count();
// The icon at Index in the given size; a null image outside 0..Count-1.
QImage Icon(int Index, bool Large);
// The index for Name: an existing folder gives the folder icon, an existing
// file the icon of its kind by content and name, anything else the icon of
// the kind its name suggests (".txt" alone gives the text icon). Under
// Policy only the files it lets the markup look at are examined (see
// ProbeLocalFile); the others, and special files, are judged by their name
// alone, so the icon tells nothing of what exists. Without a policy any
// local file is examined, as the window's own markup may.
int IndexOf(const QString& Name, const TPicturePolicy& Policy);
int IndexOf(const QString& Name);
} // namespace ShellIconList
