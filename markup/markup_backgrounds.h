#pragma once

#include <QString>

class TMarkupContext;
struct TLineWalk;

// While a paragraph background is on, each line gets its band across the
// area before its content.
void DrawParagraphBand(TMarkupContext& Context, TLineWalk& Walk);
// The paragraph tag: alignment, indent and background.
void ApplyParagraph(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk);
// The body tag, an effect of the drawing pass: the area's colour or
// gradient, then its pictures.
void ApplyBody(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk);
