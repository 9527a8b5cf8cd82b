#include "markup/tag_recognition.h"

#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

namespace
{

struct TTagCase {
    QString Markup;
    TMarkupTag Expected;
};

void ExpectTags(const std::initializer_list<TTagCase>& Cases)
{
    for (const TTagCase& c : Cases)
        EXPECT_EQ(int(RecognizeTag(c.Markup)), int(c.Expected)) << c.Markup.toStdString();
}

TEST(RecognizeTag, StyleTags)
{
    ExpectTags({
        {"<B>", TMarkupTag::Bold},
        {"<b>bold", TMarkupTag::Bold},
        {"</B>", TMarkupTag::BoldEnd},
        {"</b>", TMarkupTag::BoldEnd},
        {"<I>", TMarkupTag::Italic},
        {"</I>", TMarkupTag::ItalicEnd},
        {"</IMG>", TMarkupTag::ItalicEnd},
        {"</IND>", TMarkupTag::ItalicEnd},
        {"</i x>", TMarkupTag::ItalicEnd},
        {"<U>", TMarkupTag::Underline},
        {"</U>", TMarkupTag::UnderlineEnd},
        {"<S>", TMarkupTag::StrikeOut},
        {"</S>", TMarkupTag::StrikeOutEnd},
        {"</STRIKE>", TMarkupTag::StrikeOutEnd},
        {"<SUB>", TMarkupTag::Subscript},
        {"<sup>", TMarkupTag::Superscript},
        {"<SUBSCRIPT>", TMarkupTag::Unknown},
        {"<SUP >", TMarkupTag::Unknown},
        {"</SUB>", TMarkupTag::ScriptEnd},
        {"</sup>", TMarkupTag::ScriptEnd},
        {"<SHADOW>", TMarkupTag::Shadow},
        {"<SH>", TMarkupTag::Shadow},
        {"</SHADOW>", TMarkupTag::ShadowEnd},
        {"<Z>", TMarkupTag::Hidden},
        {"</Z>", TMarkupTag::HiddenEnd},
        {"<E>", TMarkupTag::ErrorUnderline},
        {"<EM>", TMarkupTag::ErrorUnderline},
        {"</E>", TMarkupTag::ErrorUnderlineEnd},
        {"<HI>", TMarkupTag::Highlight},
        {"</HI>", TMarkupTag::HighlightEnd},
        {"<BLINK>", TMarkupTag::Blink},
        {"</BLINK>", TMarkupTag::BlinkEnd},
        {"</BODY>", TMarkupTag::BlinkEnd},
        {"</BR>", TMarkupTag::BlinkEnd},
    });
}

TEST(RecognizeTag, LayoutTags)
{
    ExpectTags({
        {"<BR>", TMarkupTag::LineBreak},
        {"<br/>", TMarkupTag::LineBreak},
        {"<HR>", TMarkupTag::Rule},
        {"<A HREF=\"x\">", TMarkupTag::Anchor},
        {"<a>", TMarkupTag::Anchor},
        {"</A>", TMarkupTag::AnchorEnd},
        {"<FONT COLOR=\"clRed\">", TMarkupTag::Font},
        {"<F>", TMarkupTag::Font},
        {"</FONT>", TMarkupTag::FontEnd},
        {"<P ALIGN=\"right\">", TMarkupTag::Paragraph},
        {"<PRE>", TMarkupTag::Paragraph},
        {"</P>", TMarkupTag::ParagraphEnd},
        {"<UL>", TMarkupTag::List},
        {"<U L>", TMarkupTag::List},
        {"</UL>", TMarkupTag::ListEnd},
        {"<LI>", TMarkupTag::ListItem},
        {"</LI>", TMarkupTag::ListItemEnd},
        {"<IMG SRC=\"a\">", TMarkupTag::Image},
        {"<IND x=\"50\">", TMarkupTag::Indentation},
        {"<OFFSET x=\"10\">", TMarkupTag::Offset},
        {"<OX x=\"10\">", TMarkupTag::Unknown},
        {"<OF x=\"10\">", TMarkupTag::Offset},
        {"</OF>", TMarkupTag::OffsetEnd},
        {"<ROT a=\"90\">", TMarkupTag::Rotation},
        {"</ROT>", TMarkupTag::RotationEnd},
        {"<BODY BGCOLOR=\"clRed\">", TMarkupTag::Body},
        {"<BOLD>", TMarkupTag::Body},
    });
}

TEST(RecognizeTag, TagsThatMatchNoRowAreUnknown)
{
    ExpectTags({
        {"<BX>", TMarkupTag::Unknown},
        {"</X>", TMarkupTag::Unknown},
        {"<IX>", TMarkupTag::Unknown},
        {"<HX>", TMarkupTag::Unknown},
        {"<S X>", TMarkupTag::Unknown},
        {"<QUOTE>", TMarkupTag::Unknown},
        {"< B>", TMarkupTag::Unknown},
        {"<>", TMarkupTag::Unknown},
        {"plain", TMarkupTag::Unknown},
        {"", TMarkupTag::Unknown},
    });
}

TEST(RecognizeTag, EndTagsNeedFourCharacters)
{
    ExpectTags({
        {"</>", TMarkupTag::Unknown},
        {"</B", TMarkupTag::Unknown},
        {"</Bx", TMarkupTag::BlinkEnd},
        {"</I", TMarkupTag::Unknown},
        {"</Ix", TMarkupTag::ItalicEnd},
    });
}

TEST(RecognizeTag, TagsCutShortByTheEndOfTheText)
{
    ExpectTags({
        {"<", TMarkupTag::Unknown},
        {"<B", TMarkupTag::Unknown},
        {"<I", TMarkupTag::Unknown},
        {"<U", TMarkupTag::List},
        {"<S", TMarkupTag::Unknown},
        {"<SU", TMarkupTag::Unknown},
        {"<A", TMarkupTag::Anchor},
        {"<L", TMarkupTag::ListItem},
        // Font and paragraph tags act only when the tag has its ">".
        {"<FONT COLOR=\"clRed\"", TMarkupTag::Unknown},
        {"<P ALIGN=\"right\"", TMarkupTag::Unknown},
        {"<O", TMarkupTag::Unknown},
    });
}

struct TTagTextCase {
    QString Markup;
    QString Expected;
};

TEST(TagText, EndsAtTheFirstClosingBracket)
{
    const TTagTextCase cases[] = {
        {"<B>bold</B>", "<B>"},
        {"<A HREF=\"a>b\">x", "<A HREF=\"a>"},
        {"<IMG SRC=\"x\"", "<IMG SRC=\"x\""},
        {"<", "<"},
        {"", ""},
    };
    for (const TTagTextCase& c : cases)
        EXPECT_EQ(TagText(c.Markup), c.Expected) << c.Markup.toStdString();
}

} // namespace
