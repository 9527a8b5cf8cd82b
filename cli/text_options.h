#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/save_formats.h"
#include "toolkit/graphics/color.h"

#include <QString>
#include <QStringList>
#include <optional>

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
