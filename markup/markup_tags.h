#pragma once

class TMarkupContext;
class TMarkupCursor;
struct TLineWalk;

// Carries out the tag at the cursor (which stays before it). Returns false
// when the tag must wait for the next line (line full), leaving it in the
// markup.
bool ApplyTag(TMarkupContext& Context, TMarkupCursor& Remaining, TLineWalk& Walk);
