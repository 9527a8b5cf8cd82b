#include "markup/tag_readers.h"

#include "markup/markup_colors.h"
#include "markup/tag_attributes.h"
#include "markup/text_helpers.h"

namespace
{

std::optional<QString> OptionalValue(const QString& Attributes, const QString& Name,
                                     TValueCase Case = TValueCase::Upper)
{
    if (!HasAttribute(Attributes, Name))
        return std::nullopt;
    return AttributeValue(Attributes, Name, Case);
}

// "BGCOLOR" and "BGCOLORTO" of paragraph and body tags. The first colour is
// looked up by plain substring search too, so it comes from "BGCOLORTO" when
// that is written first.
void ReadBackgroundColors(const QString& Attributes, bool& HasBackground, TColor& From, bool& HasGradient,
                          TColor& To)
{
    HasBackground = HasAttribute(Attributes, QStringLiteral("BGCOLOR"));
    if (HasBackground)
        From = MarkupColor(AttributeValue(Attributes, QStringLiteral("BGCOLOR")));
    HasGradient = HasAttribute(Attributes, QStringLiteral("BGCOLORTO"));
    if (HasGradient)
        To = MarkupColor(AttributeValue(Attributes, QStringLiteral("BGCOLORTO")));
}

} // namespace

TFontTag ReadFontTag(const QString& Markup)
{
    const QString attributes = TagAttributes(Markup, LongTagPrefix);
    TFontTag tag;
    tag.Face = OptionalValue(attributes, QStringLiteral("FACE"));
    // The blank keeps "BGCOLOR" from being read as the text colour.
    const QString color = AttributeValue(attributes, QStringLiteral(" COLOR"));
    if (!color.isEmpty())
        tag.Color = MarkupColor(color);
    tag.HasBackground = HasAttribute(attributes, QStringLiteral("BGCOLOR"));
    const QString background = AttributeValue(attributes, QStringLiteral("BGCOLOR"));
    if (!background.isEmpty())
        tag.Background = MarkupColor(background);
    if (const std::optional<int> size = SizeAttribute(attributes))
        tag.Size = FontSizeFromMarkup(*size);
    return tag;
}

TParagraphTag ReadParagraphTag(const QString& Markup)
{
    const QString attributes = TagAttributes(Markup, ShortTagPrefix);
    TParagraphTag tag;
    if (HasAttribute(attributes, QStringLiteral("ALIGN"))) {
        // Tested one after the other; a later match overrides an earlier one.
        const QString align = AttributeValue(attributes, QStringLiteral("ALIGN"));
        if (align.contains(u"RIGHT"))
            tag.Alignment = TParagraphAlignment::Right;
        if (align.contains(u"LEFT"))
            tag.Alignment = TParagraphAlignment::Left;
        if (align.contains(u"CENTER"))
            tag.Alignment = TParagraphAlignment::Center;
    }
    if (HasAttribute(attributes, QStringLiteral("INDENT")))
        tag.Indent = IntValue(AttributeValue(attributes, QStringLiteral("INDENT")));
    ReadBackgroundColors(attributes, tag.HasBackground, tag.BackgroundFrom, tag.HasGradient,
                         tag.BackgroundTo);
    return tag;
}

TBodyTag ReadBodyTag(const QString& Markup)
{
    const QString attributes = TagAttributes(Markup, LongTagPrefix);
    TBodyTag tag;
    // Picture names are paths on a file system that tells cases apart: kept
    // as written (schemes and prefixes are matched in any case).
    tag.Background = OptionalValue(attributes, QStringLiteral("BACKGROUND"), TValueCase::AsWritten);
    tag.TopLeft = OptionalValue(attributes, QStringLiteral("BGTOPLEFT"), TValueCase::AsWritten);
    tag.TopRight = OptionalValue(attributes, QStringLiteral("BGTOPRIGHT"), TValueCase::AsWritten);
    ReadBackgroundColors(attributes, tag.HasBackground, tag.BackgroundFrom, tag.HasGradient,
                         tag.BackgroundTo);
    tag.VerticalGradient = HasAttribute(attributes, QStringLiteral("DIR")) &&
                           AttributeValue(attributes, QStringLiteral("DIR")) != u"H";
    return tag;
}

TImageTag ReadImageTag(const QString& Markup)
{
    const QString attributes = TagAttributes(Markup, ShortTagPrefix);
    TImageTag tag;
    tag.Source = AttributeValue(attributes, QStringLiteral("SRC"), TValueCase::AsWritten);
    tag.Alt = OptionalValue(attributes, QStringLiteral("ALT"), TValueCase::AsWritten);
    tag.Width = IntValue(AttributeValue(attributes, QStringLiteral("WIDTH")));
    tag.Height = IntValue(AttributeValue(attributes, QStringLiteral("HEIGHT")));
    if (HasAttribute(attributes, QStringLiteral("ALIGN"))) {
        tag.AlignTop = HasAttribute(attributes, QStringLiteral("\"TOP"));
        tag.AlignMiddle = !tag.AlignTop && HasAttribute(attributes, QStringLiteral("\"MIDDLE"));
    }
    tag.Wrap = HasAttribute(attributes, QStringLiteral("WRAP"));
    return tag;
}
