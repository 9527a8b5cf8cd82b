// Markup text from any bytes through the helpers that exist so far (text
// helpers, tag recognition, entities), with the invariants they promise.
#include "fuzz_support.h"
#include "markup/entities.h"
#include "markup/tag_recognition.h"
#include "markup/text_helpers.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));
    const int split = text.isEmpty() ? 0 : int(Data[0]) % (text.size() + 1);
    const QString pattern = text.left(split);
    const QString rest = text.mid(split);

    // Upper-casing keeps the length, so positions stay valid in both texts.
    if (UpperCaseAscii(text).size() != text.size())
        std::abort();
    const int found = IndexOfText(pattern, rest);
    if (found < 0 || found > rest.size() || (found > 0 && pattern.isEmpty()))
        std::abort();
    QString replaced = rest;
    if (ReplaceFirstText(pattern, QStringLiteral("x"), replaced) != (found > 0))
        std::abort();
    bool whole = false;
    IntValue(text, &whole);
    LineBreaksToMarkup(text, Data[0] & 1);
    UnwrapHashTag(text);
    StripMarkup(text);
    if (RemoveBlanks(text).contains(QLatin1Char(' ')))
        std::abort();

    RecognizeTag(text);
    TagText(text);
    DrawsAmpersandsLiterally(text);
    ReplaceEntities(text);
    ReplaceRunEntities(text);
    NormalizeMarkup(text);
    return 0;
}
