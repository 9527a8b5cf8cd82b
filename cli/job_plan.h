#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_formats.h"

#include <QString>
#include <cstdint>
#include <vector>

struct TImageCommandOptions;

// One picture of an "image" command: where it comes from, where its
// reflection goes and with which values.
struct TImageJob {
    QString Input;  // "-" reads standard input
    QString Output; // "-" writes standard output
    ImageSaveFormat Format = ImageSaveFormat::Png;
    TReflectionParameters Reflection = WindowStartReflection;
    int Quality = DefaultSaveQuality; // --quality: JPEG's quality, WebP lossless at 100
    bool Lenient = false;             // keep what decodes of a damaged file
    bool Verbose = false;             // tell the saving plan's road on standard error
    std::int64_t MaxPixels = 0;       // pictures declaring more are refused (0: the decoder's limit)
    // Set when planning already knows the file cannot be written safely (two
    // inputs sharing one output, an output replacing another input); the job
    // then fails with this reason without being run.
    QString Refusal;
};

// NAME-reflection.EXT for an input, NAME being the input's file name without
// its last suffix ("stdin" for standard input).
QString ReflectionFileName(const QString& Input, ImageSaveFormat Format);

// The jobs of a checked command line, in input order. With -o the format
// comes from -f or else from the output name as the window chooses it; with
// -d, or beside each input when neither is given, the output is
// NAME-reflection.EXT in the -f format (PNG by default, which keeps the
// fade's alpha). Standard input without -o or -d goes to standard output.
std::vector<TImageJob> PlanImageJobs(const TImageCommandOptions& Options);
