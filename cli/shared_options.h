#pragma once

#include "imaging/reflection/reflection_ranges.h"
#include "imaging/saving/save_formats.h"

#include <QString>
#include <optional>

// What the image and text commands read alike: whole numbers within a range,
// the save format, the reflection's values (one option per row of
// ReflectionValues), and the usage lines and messages that go with them.

// A decimal whole number, blanks around it allowed; nothing for other text.
std::optional<int> ParseWholeNumber(const QString& Text);

// An option's name as it is typed: one dash for a letter, two for a word.
QString SpelledOption(const QString& Name);

// Stores Typed in Target when it is a whole number from Low to High; false
// with the usage error otherwise. Name is the option's name without dashes.
bool ReadNumberOption(const QString& Name, const QString& Typed, int Low, int High, int& Target,
                      QString& Error);

// Stores the reflection value Typed for Info's option, as ReadNumberOption.
bool ReadReflectionOption(const TReflectionValueInfo& Info, const QString& Typed,
                          TReflectionParameters& Reflection, QString& Error);

// Stores the side a --direction value names; false with the usage error for
// any other word.
bool ReadDirectionOption(const QString& Typed, TReflectionParameters& Reflection, QString& Error);

// Stores the format a -f value names (any letter case); false with the usage
// error for an unknown name.
bool ReadFormatOption(const QString& Typed, std::optional<ImageSaveFormat>& Format, QString& Error);

// Stores the --max-pixels value Typed (1 up to the decoder's own limit), as
// ReadNumberOption; UsageLine describes it for Object with its default.
bool ReadMaxPixelsOption(const QString& Typed, int& MaxPixels, QString& Error);
QString MaxPixelsUsageLines(const QString& Object, int Default);

// Stores the --quality value Typed (1..100) in Quality; false with the
// usage error otherwise.
bool ReadQualityOption(const QString& Typed, int& Quality, QString& Error);

// The usage lines of -f, of --quality, of the reflection values (their defaults shown;
// Object is what is reflected) and of -h.
QString FormatUsageLines();
QString QualityUsageLine();
QString ReflectionUsageLines(const QString& Object, const TReflectionParameters& Defaults);
QString HelpUsageLine();
