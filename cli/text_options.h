#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_formats.h"
#include "toolkit/graphics/color.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// A text from a stranger costs at most this many output pixels (and a
// picture it shows at most as many) unless the user raises it: the surface,
// the captured text area and its reflection take 4 bytes a pixel each, so a
// whole run stays within 300 MB.
inline constexpr int DefaultTextMaxPixels = 16'000'000;
// What the default limit lets the text's composition and its encoder take
// together, for the same 300 MB: where a format's encoder needs more than
// the others (lossless WebP, AVIF), its default output is smaller than
// DefaultTextMaxPixels (encoder_memory.h).
inline constexpr std::int64_t DefaultTextSaveBytes = std::int64_t(256) << 20;

// What "lumivex-cli text" was asked to do, once the command line is checked.
// The defaults are the "Text" page's: Tahoma 20 points in the window text
// colour over white, and the label's fade (LabelReflectionDefaults).
struct TTextCommandOptions {
    QString Markup;                        // from the argument
    QString File;                          // --file; "-" (or a MARKUP of "-") reads standard input
    QString Output;                        // "-" writes standard output
    std::optional<ImageSaveFormat> Format; // none: from the output name
    QString FontName = QStringLiteral("Tahoma");
    int FontPoints = 20;
    bool Bold = false;
    bool Italic = false;
    TColor TextColor = clWindowText;
    TColor Background = clWhite;
    int Width = 0;            // 0: fit the laid-out text
    int Height = 0;           // 0: fit the text and its reflection
    bool Trim = false;        // --trim: only the laid-out text and its reflection
    bool Transparent = false; // --transparent: no background, the fade kept as alpha
    TReflectionParameters Reflection = LabelReflectionDefaults;
    // --allow-files: folders whose pictures the markup may show; none read.
    QStringList AllowedFolders;
    // --max-pixels: the largest output, and the largest picture the markup
    // may show (from its header).
    int MaxPixels = DefaultTextMaxPixels;
    bool MaxPixelsGiven = false;      // typed: the limit holds for every format
    int Quality = DefaultSaveQuality; // --quality: JPEG's quality, WebP lossless at 100
};

struct TTextParseResult {
    bool Help = false;
    TTextCommandOptions Options;
    QString Error; // non-empty: a usage error, exit status 2
};

// Parses the arguments after "text".
TTextParseResult ParseTextArguments(const QStringList& Arguments);

QString TextUsageText();

// "Family,points[,bold][,italic]"; false, with the reason, for anything else.
bool ParseFontOption(const QString& Text, TTextCommandOptions& Options, QString& Reason);

// A colour name of the markup ("clNavy", "navy", "rebeccapurple", any letter
// case) or "#rrggbb"; false for anything else.
bool ParseColorOption(const QString& Text, TColor& Color);
