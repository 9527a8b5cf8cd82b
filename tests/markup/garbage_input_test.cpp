#include "markup/entities.h"
#include "markup/markup_colors.h"
#include "markup/markup_state.h"
#include "markup/tag_attributes.h"
#include "markup/tag_readers.h"
#include "markup/tag_recognition.h"
#include "markup/text_helpers.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"

#include "tests/markup/markup_run.h"
#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

// Texts made of the characters the markup reacts to, tag and entity pieces,
// and now and then any UTF-16 code unit (lone surrogates included).
class TGarbage
{
  public:
    explicit TGarbage(unsigned Seed) : Random(Seed) {}

    QString Next(int MaxLength)
    {
        static const char* const pieces[] = {
            "<",       ">",     "</",        "/",      "\"",   "&",     ";",     "#",    "=",
            " ",       "$",     "-",         "+",      "\r",   "\n",    "x",     "a",    "0",
            "9",       "f",     "F",         "<B>",    "</B>", "<SUB>", "<z>",   "</Z>", "<BR>",
            "<hr>",    "<#",    "&amp;",     "&nbsp;", "&LT;", "&gt;",  "&copy", "SIZE", " COLOR",
            "BGCOLOR", "ALIGN", "\"RIGHT\"", "SRC=",   "IMG",  "IND",   "OF",
        };
        std::uniform_int_distribution<int> length(0, MaxLength);
        std::uniform_int_distribution<int> kind(0, 9);
        std::uniform_int_distribution<int> piece(0, int(std::size(pieces)) - 1);
        std::uniform_int_distribution<int> unit(0, 0xFFFF);
        QString text;
        for (int i = length(Random); i > 0; --i) {
            if (kind(Random) == 0)
                text += QChar(char16_t(unit(Random)));
            else
                text += QString::fromLatin1(pieces[piece(Random)]);
        }
        return text;
    }

  private:
    std::mt19937 Random;
};

bool ContainsTextEntity(const QString& Text)
{
    static const char* const names[] = {"&amp;",  "&quot;", "&sect;",  "&permil;", "&reg;",
                                        "&copy;", "&para;", "&trade;", "&euro;"};
    for (const char* name : names) {
        if (IndexOfText(QString::fromLatin1(name), Text) > 0)
            return true;
    }
    return false;
}

TEST(GarbageInput, EveryHelperCopesWithAnyText)
{
    TGarbage garbage(424242);
    for (int round = 0; round < 4000; ++round) {
        const QString text = garbage.Next(40);
        const QString other = garbage.Next(6);
        SCOPED_TRACE(text.toStdString());

        const int found = IndexOfText(other, text);
        ASSERT_GE(found, 0);
        ASSERT_LE(found, std::max<qsizetype>(0, text.size() - other.size() + 1));
        if (found > 0) {
            ASSERT_EQ(UpperCaseAscii(text.mid(found - 1, other.size())), UpperCaseAscii(other));
        }

        QString replaced = text;
        ASSERT_EQ(ReplaceFirstText(other, "@", replaced), found > 0);
        ASSERT_EQ(replaced.size(), found > 0 ? text.size() - other.size() + 1 : text.size());

        bool whole = false;
        const int value = IntValue(text, &whole);
        if (whole) {
            bool ok = false;
            const qlonglong reference = text.trimmed().toLongLong(&ok, 10);
            if (ok && !text.contains(u'$')) {
                ASSERT_EQ(value, reference);
            }
        }

        const QString converted = LineBreaksToMarkup(text, true);
        ASSERT_FALSE(converted.contains(u'\r') || converted.contains(u'\n'));
        ASSERT_EQ(LineBreaksToMarkup(text, false).size(),
                  text.size() - text.count(u'\r') - text.count(u'\n'));
        ASSERT_LE(UnwrapHashTag(text).size(), text.size());
        ASSERT_LE(StripMarkup(text).size(), text.size());
        ASSERT_FALSE(RemoveBlanks(text).contains(u' '));

        HexMarkupColor(text);
        MarkupColor(text);
        ASSERT_EQ(NamedMarkupColor(text), clBlack);

        const QString entities = ReplaceEntities(text);
        ASSERT_FALSE(ContainsTextEntity(entities));
        ASSERT_LE(entities.size(), text.size());
        const QString run = ReplaceRunEntities(text);
        ASSERT_FALSE(run.contains(u"&nbsp;") || run.contains(u"&lt;") || run.contains(u"&gt;"));
        const TNormalizedMarkup normalized = NormalizeMarkup(text);
        ASSERT_EQ(normalized.LiteralAmpersands, text.contains(u" & "));
        ASSERT_FALSE(normalized.Text.contains(u'\n'));

        // The tag recogniser and readers at every "<" of the text, as the
        // layout meets them, down to a lone "<" at the very end.
        MarkupState state;
        for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
            const QString markup = text.mid(at);
            const TMarkupTag tag = RecognizeTag(markup);
            ASSERT_LE(int(tag), int(TMarkupTag::BlinkEnd));
            if (markup.size() < 4) {
                ASSERT_FALSE(tag == TMarkupTag::BoldEnd || tag == TMarkupTag::ItalicEnd ||
                             tag == TMarkupTag::BlinkEnd || tag == TMarkupTag::HiddenEnd);
            }
            ASSERT_TRUE(TagText(markup).startsWith(u'<'));
            state.ApplyStateTag(tag, at % 2 == 0);
            state.ApplyFontEnd(true, false);
            ReadFontTag(markup);
            ReadParagraphTag(markup);
            ReadBodyTag(markup);
            ReadImageTag(markup);
            AnchorTarget(markup);
            IntValue(LetterValue(markup, u'x'));
            IntValue(LetterValue(markup, u'a'));
            for (const char* name : {"SIZE", "SRC", "\"", "", "BGCOLOR"}) {
                AttributeValue(TagAttributes(markup, ShortTagPrefix), QString::fromLatin1(name));
                SizeAttribute(TagAttributes(markup, LongTagPrefix));
            }
        }
        ASSERT_GE(state.ListDepth, 0);
    }
}

TEST(GarbageInput, LayoutCopesWithAnyTextAndPutsTheCanvasBack)
{
    TGarbage garbage(20261208);
    TMarkupSurface surface(120, 60);
    for (int round = 0; round < 1500; ++round) {
        TMarkupRequest request = TestRequest();
        const QString markup = garbage.Next(60);
        SCOPED_TRACE(markup.toStdString());
        request.Area = QRect(round % 7, round % 5, 100, 50);
        request.Point = QPoint(round % 97, round % 41);
        request.WrapWords = round % 3 != 0;
        request.TestOnly = round % 4 == 1;
        request.MeasureOnly = round % 4 == 2;
        request.FocusIndex = round % 3 - 1;
        const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
        ASSERT_GT(result.ExtentHeight, 0);
        ASSERT_GE(result.ExtentWidth, 0);
        ASSERT_GE(result.PointAnchorIndex, -1);
        ASSERT_LE(result.PointAnchorIndex, result.AnchorTotal);
        ASSERT_EQ(surface.Canvas->Font()->Height(), -11);
        ASSERT_EQ(surface.Canvas->Font()->Color(), clBlack);
        ASSERT_EQ(surface.Canvas->TextRotation(), 0);
    }
}

TEST(GarbageInput, VeryLongTextsAreHandledInOnePass)
{
    // Patterns that make naive repeated searching quadratic; a linear pass
    // handles a few megabytes at once.
    const int repeat = 300000;
    const QString tags = QStringLiteral("<z>a</Z><br>&lt;").repeated(repeat);
    EXPECT_EQ(StripMarkup(tags).size(), qsizetype(repeat) * (1 + 2 + 4));

    // Every "<" finds the one ">" at the end, so all of it is one tag.
    const QString oneTag = QStringLiteral("<").repeated(repeat) + QStringLiteral("<z>");
    EXPECT_TRUE(StripMarkup(oneTag).isEmpty());
    const QString unclosed = QStringLiteral("<z>").repeated(repeat) + QStringLiteral("<");
    EXPECT_TRUE(StripMarkup(unclosed) == QStringLiteral("<"));

    const QString breaks = QStringLiteral("line\r\n").repeated(repeat);
    EXPECT_EQ(LineBreaksToMarkup(breaks, true).size(), qsizetype(repeat) * 8);

    const QString nested = QStringLiteral("&amp;").repeated(repeat) + QStringLiteral("amp;").repeated(repeat);
    const QString replaced = ReplaceEntities(nested);
    EXPECT_FALSE(replaced.contains(u';'));
    EXPECT_TRUE(replaced == QString(u'&').repeated(replaced.size()));

    const QString digits = QStringLiteral("9").repeated(repeat);
    bool whole = true;
    EXPECT_EQ(IntValue(digits, &whole), 999999999);
    EXPECT_FALSE(whole);

    const QString tag = QStringLiteral("<FONT FACE=\"") + QStringLiteral("x").repeated(repeat) +
                        QStringLiteral("\" SIZE=\"3\">");
    EXPECT_EQ(RecognizeTag(tag), TMarkupTag::Font);
    EXPECT_EQ(ReadFontTag(tag).Size, 12);
}

} // namespace
