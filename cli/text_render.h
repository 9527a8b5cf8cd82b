#pragma once

#include <QImage>
#include <QString>

struct TTextCommandOptions;

// The most markup the command reads: a label shows a line or a paragraph,
// and the layout's cost grows with the square of the text's length.
constexpr qint64 MaxMarkupBytes = 64 * 1024;

// Draws Markup with its reflection exactly as the window's label control
// shows it at the same size, font, colours and values. Line breaks are
// removed first, as the window's edit box does. A null image, with the
// reason, when there is nothing to draw or the size is refused.
QImage RenderTextReflection(const TTextCommandOptions& Options, const QString& Markup, QString* Reason);
