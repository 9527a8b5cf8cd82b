#pragma once

#include "markup/markup_walk.h"

#include <QString>

class TMarkupContext;
class TMarkupCursor;

// One pass over one line. The measure pass cuts what fits from Remaining;
// the second pass walks that line's markup again at its aligned position.
// LineOffset is the horizontal offset the line starts with (offset tags of
// earlier lines). Returns the markup the pass consumed.
QString LayOutLine(TMarkupContext& Context, TMarkupCursor& Remaining, const TEdges& LineRect,
                   TMarkupLine& Line, int LineOffset, TLinePass Pass);
