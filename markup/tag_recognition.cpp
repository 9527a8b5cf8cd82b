#include "markup/tag_recognition.h"

namespace
{

// The upper-cased character at Index; past the end it reads as NUL, which
// matches no letter and no ">".
char16_t UpperAt(const QString& Text, qsizetype Index)
{
    if (Index >= Text.size())
        return u'\0';
    const char16_t c = Text[Index].unicode();
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

bool StartsWithTag(const QString& Markup, QStringView Tag)
{
    if (Markup.size() < Tag.size())
        return false;
    for (qsizetype i = 0; i < Tag.size(); ++i) {
        if (UpperAt(Markup, i) != Tag[i].unicode())
            return false;
    }
    return true;
}

TMarkupTag RecognizeEndTag(char16_t Letter, char16_t Next)
{
    switch (Letter) {
    case u'B':
        return Next == u'>' ? TMarkupTag::BoldEnd : TMarkupTag::BlinkEnd;
    case u'I':
        return TMarkupTag::ItalicEnd;
    case u'U':
        return Next == u'>' ? TMarkupTag::UnderlineEnd : TMarkupTag::ListEnd;
    case u'S':
        if (Next == u'U')
            return TMarkupTag::ScriptEnd;
        if (Next == u'H')
            return TMarkupTag::ShadowEnd;
        return TMarkupTag::StrikeOutEnd;
    case u'Z':
        return TMarkupTag::HiddenEnd;
    case u'E':
        return TMarkupTag::ErrorUnderlineEnd;
    case u'H':
        return TMarkupTag::HighlightEnd;
    case u'A':
        return TMarkupTag::AnchorEnd;
    case u'F':
        return TMarkupTag::FontEnd;
    case u'P':
        return TMarkupTag::ParagraphEnd;
    case u'L':
        return TMarkupTag::ListItemEnd;
    case u'O':
        return TMarkupTag::OffsetEnd;
    case u'R':
        return TMarkupTag::RotationEnd;
    default:
        return TMarkupTag::Unknown;
    }
}

TMarkupTag RecognizeStartTag(const QString& Markup, char16_t Letter, char16_t Next)
{
    switch (Letter) {
    case u'B':
        if (Next == u'>')
            return TMarkupTag::Bold;
        if (Next == u'R')
            return TMarkupTag::LineBreak;
        if (Next == u'O')
            return TMarkupTag::Body;
        if (Next == u'L')
            return TMarkupTag::Blink;
        return TMarkupTag::Unknown;
    case u'I':
        if (Next == u'>')
            return TMarkupTag::Italic;
        if (Next == u'M')
            return TMarkupTag::Image;
        if (Next == u'N')
            return TMarkupTag::Indentation;
        return TMarkupTag::Unknown;
    case u'U':
        return Next == u'>' ? TMarkupTag::Underline : TMarkupTag::List;
    case u'S':
        if (Next == u'>')
            return TMarkupTag::StrikeOut;
        if (Next == u'H')
            return TMarkupTag::Shadow;
        if (StartsWithTag(Markup, u"<SUB>"))
            return TMarkupTag::Subscript;
        if (StartsWithTag(Markup, u"<SUP>"))
            return TMarkupTag::Superscript;
        return TMarkupTag::Unknown;
    case u'Z':
        return TMarkupTag::Hidden;
    case u'E':
        return TMarkupTag::ErrorUnderline;
    case u'H':
        if (Next == u'I')
            return TMarkupTag::Highlight;
        if (Next == u'R')
            return TMarkupTag::Rule;
        return TMarkupTag::Unknown;
    case u'A':
        return TMarkupTag::Anchor;
    case u'F':
        return Markup.contains(u'>') ? TMarkupTag::Font : TMarkupTag::Unknown;
    case u'P':
        return Markup.contains(u'>') ? TMarkupTag::Paragraph : TMarkupTag::Unknown;
    case u'L':
        return TMarkupTag::ListItem;
    case u'O':
        return Next == u'F' ? TMarkupTag::Offset : TMarkupTag::Unknown;
    case u'R':
        return TMarkupTag::Rotation;
    default:
        return TMarkupTag::Unknown;
    }
}

} // namespace

TMarkupTag RecognizeTag(const QString& Markup)
{
    if (UpperAt(Markup, 0) != u'<')
        return TMarkupTag::Unknown;
    // An end tag needs "<", "/", its letter and one more character; "</>" and
    // a bare "</X" at the very end are read as (unknown) start tags.
    if (UpperAt(Markup, 1) == u'/' && Markup.size() >= 4)
        return RecognizeEndTag(UpperAt(Markup, 2), UpperAt(Markup, 3));
    return RecognizeStartTag(Markup, UpperAt(Markup, 1), UpperAt(Markup, 2));
}

QString TagText(const QString& Markup)
{
    const qsizetype close = Markup.indexOf(u'>');
    return close < 0 ? Markup : Markup.left(close + 1);
}
