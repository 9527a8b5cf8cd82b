#include "markup/markup_state.h"

#include "markup/tag_recognition.h"

#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

namespace
{

TMarkupFont CanvasFont()
{
    TMarkupFont font;
    font.Name = "DejaVu Sans";
    font.Size = 10;
    font.Color = clNavy;
    return font;
}

// Applies each tag of the list as the layout meets it.
MarkupState AfterTags(const std::initializer_list<QString>& Tags, bool DrawPass = true)
{
    MarkupState state(CanvasFont());
    for (const QString& tag : Tags)
        EXPECT_TRUE(state.ApplyStateTag(RecognizeTag(tag), DrawPass)) << tag.toStdString();
    return state;
}

TEST(MarkupState, StartsFromTheCanvasFontWithEverythingOff)
{
    const MarkupState state(CanvasFont());
    EXPECT_EQ(state.Font, CanvasFont());
    EXPECT_EQ(state.BaseFont, CanvasFont());
    EXPECT_TRUE(state.Brush.Clear);
    EXPECT_EQ(state.SavedBrushColor(), clNone);
    EXPECT_FALSE(state.Hidden || state.Shadow || state.Subscript || state.Superscript ||
                 state.ErrorUnderline || state.ParagraphBackground || state.InsideAnchor);
    EXPECT_EQ(state.Alignment, TParagraphAlignment::Left);
    EXPECT_EQ(state.FontBackgroundSaved, clNone);
    EXPECT_EQ(state.ParagraphBackgroundSaved, clNone);
}

TEST(MarkupState, StyleTagsToggleTheirFlags)
{
    EXPECT_TRUE(AfterTags({"<b>"}).Font.Bold);
    EXPECT_FALSE(AfterTags({"<b>", "</B>"}).Font.Bold) << "lower-case start closed by upper-case end";
    EXPECT_TRUE(AfterTags({"<I>"}).Font.Italic);
    EXPECT_FALSE(AfterTags({"<I>", "</IMG>"}).Font.Italic);
    EXPECT_FALSE(AfterTags({"<I>", "</IND>"}).Font.Italic);
    EXPECT_TRUE(AfterTags({"<SHADOW>"}).Shadow);
    EXPECT_FALSE(AfterTags({"<SHADOW>", "</SH>"}).Shadow);
    EXPECT_TRUE(AfterTags({"<S>"}).Font.StrikeOut);
    EXPECT_FALSE(AfterTags({"<S>", "</S>"}).Font.StrikeOut);
    EXPECT_TRUE(AfterTags({"<U>"}).Font.Underline);
    EXPECT_TRUE(AfterTags({"<Z>"}).Hidden);
    EXPECT_FALSE(AfterTags({"<Z>", "</z>"}).Hidden);

    const MarkupState scripts = AfterTags({"<SUB>", "<SUP>"});
    EXPECT_TRUE(scripts.Subscript && scripts.Superscript);
    const MarkupState ended = AfterTags({"<SUB>", "<SUP>", "</SUP>"});
    EXPECT_FALSE(ended.Subscript || ended.Superscript);
}

TEST(MarkupState, SubscriptNeedsTheExactTag)
{
    MarkupState state(CanvasFont());
    EXPECT_FALSE(state.ApplyStateTag(RecognizeTag("<SUBSCRIPT>"), true));
    EXPECT_FALSE(state.Subscript);
}

TEST(MarkupState, BoldTagNamedBoldIsNotBold)
{
    MarkupState state(CanvasFont());
    EXPECT_FALSE(state.ApplyStateTag(RecognizeTag("<BOLD>"), true)) << "left to the layout as body tag";
    EXPECT_FALSE(state.Font.Bold);
}

TEST(MarkupState, ErrorUnderlineAndHighlightActOnlyInTheDrawPass)
{
    EXPECT_FALSE(AfterTags({"<E>"}, false).ErrorUnderline);
    EXPECT_TRUE(AfterTags({"<E>"}, true).ErrorUnderline);
    EXPECT_EQ(AfterTags({"<HI>"}, false).Font.Color, clNavy);

    const MarkupState highlighted = AfterTags({"<HI>"});
    EXPECT_EQ(highlighted.Font.Color, clHighlightText);
    EXPECT_EQ(highlighted.Brush, (TMarkupBrush{clHighlight, false}));

    // The clear brush from before the highlight comes back clear.
    const MarkupState restored = AfterTags({"<HI>", "</H>"});
    EXPECT_EQ(restored.Font.Color, clNavy);
    EXPECT_TRUE(restored.Brush.Clear);
}

TEST(MarkupState, ListEndAtDepthZeroEndsUnderline)
{
    MarkupState state = AfterTags({"<U>"});
    state.ListDepth = 2;
    EXPECT_TRUE(state.ApplyStateTag(TMarkupTag::ListEnd, false));
    EXPECT_EQ(state.ListDepth, 1);
    EXPECT_TRUE(state.Font.Underline);
    state.ApplyStateTag(TMarkupTag::ListEnd, false);
    state.ApplyStateTag(TMarkupTag::ListEnd, false);
    EXPECT_EQ(state.ListDepth, 0);
    EXPECT_FALSE(state.Font.Underline);
}

TEST(MarkupState, EndTagsRestoreFromTheBaseFont)
{
    MarkupState state(CanvasFont());
    state.Font.Name = "ARIAL";
    state.Font.Size = 16;
    state.Font.Color = clRed;
    state.FontBackgroundSaved = clYellow;
    state.SetBrushColor(clLime);

    MarkupState measured = state;
    measured.ApplyFontEnd(false, false);
    EXPECT_EQ(measured.Font.Name, "DejaVu Sans");
    EXPECT_EQ(measured.Font.Size, 10);
    EXPECT_EQ(measured.Font.Color, clRed) << "colours are left to the draw pass";

    MarkupState kept = state;
    kept.ApplyFontEnd(true, true);
    EXPECT_EQ(kept.Font.Color, clRed);
    EXPECT_EQ(kept.Brush, (TMarkupBrush{clLime, false}));

    MarkupState drawn = state;
    drawn.ApplyFontEnd(true, false);
    EXPECT_EQ(drawn.Font.Color, clNavy);
    EXPECT_EQ(drawn.Brush, (TMarkupBrush{clYellow, false}));

    state.ApplyStateTag(RecognizeTag("</BLINK>"), false);
    EXPECT_EQ(state.Font.Color, clNavy);
}

TEST(MarkupState, OffsetEndResetsTheOffsetForFollowingLines)
{
    MarkupState state(CanvasFont());
    state.LineOffset = 40;
    EXPECT_TRUE(state.ApplyStateTag(RecognizeTag("</OF>"), false));
    EXPECT_EQ(state.LineOffset, 0);
}

TEST(MarkupState, TagsWithLayoutEffectsAreLeftToTheLayout)
{
    const TMarkupTag layoutTags[] = {TMarkupTag::LineBreak, TMarkupTag::Rule,     TMarkupTag::Anchor,
                                     TMarkupTag::AnchorEnd, TMarkupTag::Font,     TMarkupTag::FontEnd,
                                     TMarkupTag::Paragraph, TMarkupTag::List,     TMarkupTag::ListItem,
                                     TMarkupTag::Image,     TMarkupTag::Rotation, TMarkupTag::Body,
                                     TMarkupTag::Blink,     TMarkupTag::Unknown};
    for (const TMarkupTag tag : layoutTags) {
        MarkupState state(CanvasFont());
        EXPECT_FALSE(state.ApplyStateTag(tag, true)) << int(tag);
        EXPECT_EQ(state.Font, CanvasFont()) << int(tag);
        EXPECT_EQ(state.ListDepth, 0) << int(tag);
    }
}

} // namespace
