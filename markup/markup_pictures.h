#pragma once

#include <QSize>
#include <QString>

class THTMLPicture;
class TMarkupContext;
struct TLineWalk;

// A picture from the container (names without ":") or from the cache by
// location (names with "://"), loading it into the cache on first use under
// the cache's policy, decoded for DrawnSize (invalid: its own size);
// nullptr when neither has it.
THTMLPicture* FindPicture(const TMarkupContext& Context, const QString& Name,
                          const QSize& DrawnSize = QSize());

// Whether Name (upper case) names an image-list entry or a shell icon.
bool IsImageListName(const QString& Upper);
bool IsShellIconName(const QString& Upper);

// The shell icon Name (what follows "SSYS:" or "LSYS:") gives, found once
// per call under the picture cache's policy: a stranger's markup learns
// nothing of files it may not read.
int ShellIconOf(TMarkupContext& Context, const QString& Name);

// An image tag: the picture's size, the image anchor test, whether it fits on
// the line, and its drawing. Returns false when the picture must start the
// next line (its tag stays in the markup).
bool ApplyImage(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk);
