#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_formats.h"

#include <QString>
#include <QStringList>
#include <optional>

// The largest picture "image" decodes unless the user raises it: a
// 100-megapixel camera photo passes, a few bytes declaring gigapixels do not.
inline constexpr int DefaultImageMaxPixels = 128'000'000;

// What "lumivex-cli image" was asked to do, once the command line is checked.
struct TImageCommandOptions {
    QStringList Inputs;                    // "-" reads standard input
    QString Output;                        // one input only; "-" writes standard output
    QString OutputDir;                     // many inputs: NAME-reflection.EXT inside it
    std::optional<ImageSaveFormat> Format; // none: from the output name
    TReflectionParameters Reflection = WindowStartReflection;
    int Quality = DefaultSaveQuality;      // --quality: JPEG's quality, WebP lossless at 100
    int Jobs = 0;                          // 0: one worker per core
    bool Lenient = false;                  // --lenient: keep what decodes of a damaged file, with a warning
    bool Verbose = false;                  // --verbose: each file's saving road on standard error
    int MaxPixels = DefaultImageMaxPixels; // --max-pixels: pictures declaring more are refused
};

enum class TCliAction { Run, Help, Version };

struct TCliParseResult {
    TCliAction Action = TCliAction::Run;
    QString Command; // "image" (a "text" mode follows with the label control)
    TImageCommandOptions Image;
    QString Error; // non-empty: a usage error, exit status 2
};

// Parses the arguments after the program name.
TCliParseResult ParseCliArguments(const QStringList& Arguments);

QString CliUsageText();

// The version printed by --version, the reflection controls' version.
QString CliVersionText();
