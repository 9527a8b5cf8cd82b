#include "markup/entities.h"

#include "markup/text_helpers.h"

#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

struct TTextCase {
    const char* Name;
    QString Text;
    QString Expected;
};

TEST(ReplaceEntities, ReplacesEveryEntityOfTheTableInAnyCase)
{
    const TTextCase cases[] = {
        {"amp becomes two ampersands", "A&amp;B", "A&&B"},
        {"upper-case amp", "A&AMP;B", "A&&B"},
        {"quot", "say &quot;hi&QUOT;", "say \"hi\""},
        {"sect", "&sect;1", QString::fromUtf8("§1")},
        {"permil", "5&permil;", QString::fromUtf8("5‰")},
        {"reg", "X&reg;", QString::fromUtf8("X®")},
        {"copy", "&Copy; me", QString::fromUtf8("© me")},
        {"para", "&para;", QString::fromUtf8("¶")},
        {"trade", "T&trade;", QString::fromUtf8("T™")},
        {"euro", "9 &euro;", QString::fromUtf8("9 €")},
        {"every occurrence", "&reg;&reg;&reg;", QString::fromUtf8("®®®")},
        {"escaped entity is not preserved", "&amp;copy;", QString::fromUtf8("&©")},
        {"doubly escaped amp", "&amp;amp;", "&&&"},
        {"run entities are left for the runs", "a&nbsp;&lt;b&gt;", "a&nbsp;&lt;b&gt;"},
        {"unknown entity stays", "&foo; & bar", "&foo; & bar"},
        {"entity without its semicolon stays", "&copy", "&copy"},
    };
    for (const TTextCase& c : cases)
        EXPECT_EQ(ReplaceEntities(c.Text), c.Expected) << c.Name;
}

// The text replaced the way the layout describes it: one round replaces the
// first occurrence of each entity in table order, rounds repeat until one
// changes nothing.
QString ReplaceEntitiesRoundByRound(QString Text)
{
    static const char* const names[] = {"&amp;",  "&quot;", "&sect;",  "&permil;", "&reg;",
                                        "&copy;", "&para;", "&trade;", "&euro;"};
    static const QString replacements[] = {"&&",
                                           "\"",
                                           QString(QChar(0x00A7)),
                                           QString(QChar(0x2030)),
                                           QString(QChar(0x00AE)),
                                           QString(QChar(0x00A9)),
                                           QString(QChar(0x00B6)),
                                           QString(QChar(0x2122)),
                                           QString(QChar(0x20AC))};
    bool changed = true;
    while (changed) {
        changed = false;
        for (int i = 0; i < 9; ++i)
            changed = ReplaceFirstText(QString::fromLatin1(names[i]), replacements[i], Text) || changed;
    }
    return Text;
}

TEST(ReplaceEntities, GivesTheSameTextAsReplacingRoundByRound)
{
    // Fragments chosen so that replacements keep forming new entities.
    const char* const fragments[] = {"&",     "&&",    "amp;",    "AMP;",  "Amp",   ";",
                                     "copy;", "&copy", "quot;",   "euro;", "x",     " ",
                                     "&am",   "p;",    "permil;", "&para", "trade;"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pick(0, int(std::size(fragments)) - 1);
    std::uniform_int_distribution<int> count(0, 14);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        for (int i = count(random); i > 0; --i)
            text += QString::fromLatin1(fragments[pick(random)]);
        ASSERT_EQ(ReplaceEntities(text), ReplaceEntitiesRoundByRound(text)) << text.toStdString();
    }
}

TEST(ReplaceRunEntities, ReplacesWhileALowerCaseSpellingIsLeft)
{
    const TTextCase cases[] = {
        {"nbsp", "a&nbsp;b", "a b"},
        {"upper-case nbsp alone stays", "a&NBSP;b", "a&NBSP;b"},
        {"upper-case nbsp before a lower-case one goes too", "&NBSP;x&nbsp;", " x "},
        {"lower-case nbsp before an upper-case one", "&nbsp;x&NBSP;", " x&NBSP;"},
        {"mixed case after the last lower-case spelling stays", "&nbsp;&Nbsp;&nbsp;&NBSP;", "   &NBSP;"},
        {"lt and gt", "&lt;b&gt;", "<b>"},
        {"upper-case lt alone stays", "&LT;", "&LT;"},
        {"nbsp before lt before gt", "&gt;&nbsp;&lt;", "> <"},
        {"amp is not a run entity", "&amp;", "&amp;"},
        {"nothing to replace", "plain", "plain"},
    };
    for (const TTextCase& c : cases)
        EXPECT_EQ(ReplaceRunEntities(c.Text), c.Expected) << c.Name;
}

// The run entities replaced as the layout describes it.
QString ReplaceRunEntitiesOneByOne(QString Run)
{
    const std::pair<QString, QString> entities[] = {{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}};
    for (const auto& [name, replacement] : entities) {
        while (Run.contains(name))
            ReplaceFirstText(name, replacement, Run);
    }
    return Run;
}

TEST(ReplaceRunEntities, GivesTheSameTextAsReplacingOneByOne)
{
    const char* const fragments[] = {"&nbsp;", "&NBSP;", "&Nbsp;", "&lt;", "&LT;", "&gt;", "&Gt;",
                                     "&",      "nbsp;",  "lt;",    "x",    " ",    ";",    "&&"};
    std::mt19937 random(977);
    std::uniform_int_distribution<int> pick(0, int(std::size(fragments)) - 1);
    std::uniform_int_distribution<int> count(0, 12);
    for (int round = 0; round < 3000; ++round) {
        QString run;
        for (int i = count(random); i > 0; --i)
            run += QString::fromLatin1(fragments[pick(random)]);
        ASSERT_EQ(ReplaceRunEntities(run), ReplaceRunEntitiesOneByOne(run)) << run.toStdString();
    }
}

struct TNormalizeCase {
    const char* Name;
    QString Markup;
    QString Text;
    bool Literal;
};

TEST(NormalizeMarkup, PreparesTheTextInItsOrder)
{
    const TNormalizeCase cases[] = {
        {"amp between letters is drawn as one ampersand", "A&amp;B", "A&&B", false},
        {"with a blank ampersand blank elsewhere both are drawn", "A&amp;B or C & D", "A&&B or C & D", true},
        {"the blank test looks at the text before replacing", "A &amp; B", "A && B", false},
        {"upper-case amp", "A&AMP;B", "A&&B", false},
        {"hash construct shown as its name", "tag <#Name> here", "tag #Name here", false},
        {"line breaks become tags", "one\r\ntwo", "one<BR>two", false},
        {"entities before hash unwrapping", "&lt;#x&gt; <#y>", "&lt;#x&gt; #y", false},
        {"an entity can come out of hash unwrapping", "<#&amp>;", "#&amp;", false},
        {"empty", "", "", false},
    };
    for (const TNormalizeCase& c : cases) {
        const TNormalizedMarkup normalized = NormalizeMarkup(c.Markup);
        EXPECT_EQ(normalized.Text, c.Text) << c.Name;
        EXPECT_EQ(normalized.LiteralAmpersands, c.Literal) << c.Name;
    }
}

TEST(NormalizeMarkup, LongTextsOfEntitiesStayLinear)
{
    // A quadratic replacement would not finish this within any test timeout.
    QString markup;
    for (int i = 0; i < 200000; ++i)
        markup += u"&amp;copy;";
    const TNormalizedMarkup normalized = NormalizeMarkup(markup);
    EXPECT_EQ(normalized.Text.size(), 2 * 200000);
    EXPECT_EQ(normalized.Text.count(QChar(0x00A9)), 200000);

    QString run;
    for (int i = 0; i < 200000; ++i)
        run += u"&nbsp;&LT;&lt;";
    EXPECT_EQ(ReplaceRunEntities(run).size(), 3 * 200000);
}

} // namespace
