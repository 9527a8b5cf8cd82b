#pragma once

#include <QString>

class TMarkupContext;
struct TLineWalk;

// Anchor start and end tags: styling, the anchor counter, the rectangle of
// the anchor at the point and the focus rectangle.
void ApplyAnchorStart(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk);
void ApplyAnchorEnd(TMarkupContext& Context, TLineWalk& Walk);
// At the end of a line in the drawing pass: the part of the focused anchor
// on this line is outlined, and its outline goes on at the next line's start.
void ContinueFocusAtLineEnd(TMarkupContext& Context, TLineWalk& Walk);
