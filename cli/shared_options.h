#pragma once

#include "cli/option_table.h"
#include "imaging/reflection/reflection_ranges.h"
#include "imaging/saving/save_formats.h"

#include <QString>
#include <functional>
#include <optional>

// The options the image and text commands share, as rows of their option
// tables (cli/option_table.h): the save format, the quality, the reflection's
// values (one option per row of ReflectionValues), the pixel limit and the
// help. Each row stores into the variable it is given, whose value when the
// row is made is the default its usage line shows.

// A decimal whole number, blanks around it allowed; nothing for other text.
std::optional<int> ParseWholeNumber(const QString& Text);

// An option's name as it is typed: one dash for a letter, two for a word.
QString SpelledOption(const QString& Name);

// Stores Typed in Target when it is a whole number from Low to High; false
// with the usage error otherwise. Name is the option's name without dashes.
bool ReadNumberOption(const QString& Name, const QString& Typed, int Low, int High, int& Target,
                      QString& Error);

// An option taking a whole number from Low to High into Target, refused
// naming the option as typed.
TCliOption NumberOption(const QStringList& Names, const QString& ValueName, const QString& Help, int Low,
                        int High, int& Target);

// -f: a format's name in any letter case.
TCliOption FormatOption(std::optional<ImageSaveFormat>& Format);

// --quality: 1..100.
TCliOption QualityOption(int& Quality);

// One option per reflection value; Object is what is reflected.
TCliOptionTable ReflectionOptions(const QString& Object, TReflectionParameters& Reflection);

// --max-pixels: 1 up to the decoder's own limit; Help tells what it limits.
TCliOption MaxPixelsOption(const QString& Help, int& MaxPixels);

// -h: calls Show and ends the parsing.
TCliOption HelpOption(std::function<void()> Show);
