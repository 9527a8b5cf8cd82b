#include "controls/orb_hint_info.h"

#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace
{
void Fill(TOrbHintInfo& Hint)
{
    Hint.SetTitle(QStringLiteral("Reflections"));
    Hint.Notes()->Add(QStringLiteral("first line"));
    Hint.Notes()->Add(QStringLiteral("second line"));
    Hint.SetShowHelp(true);
    Hint.Picture()->LoadFile(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
    Hint.SetWideTitle(QStringLiteral("wide ☀"));
    Hint.SetWideNotes(QStringLiteral("wide notes"));
}
} // namespace

TEST(OrbHintInfo, StartsEmpty)
{
    TOrbHintInfo hint;
    EXPECT_TRUE(hint.Title().isEmpty());
    EXPECT_EQ(hint.Notes()->Count(), 0);
    EXPECT_TRUE(hint.Picture()->IsEmpty());
    EXPECT_FALSE(hint.ShowHelp());
    EXPECT_FALSE(hint.IsTitleStored());
    EXPECT_FALSE(hint.IsShowHelpStored());
}

TEST(OrbHintInfo, CopyFromCopiesEverythingAndSharesNothing)
{
    TOrbHintInfo source;
    Fill(source);
    TOrbHintInfo copy;
    copy.CopyFrom(&source);
    EXPECT_EQ(copy.Title(), source.Title());
    EXPECT_EQ(copy.Notes()->Lines(), source.Notes()->Lines());
    EXPECT_TRUE(copy.ShowHelp());
    EXPECT_EQ(copy.Picture()->EncodedData(), source.Picture()->EncodedData());
    EXPECT_EQ(copy.WideTitle(), source.WideTitle());
    EXPECT_EQ(copy.WideNotes(), source.WideNotes());
    EXPECT_NE(copy.Notes(), source.Notes());
    EXPECT_NE(copy.Picture(), source.Picture());

    source.Notes()->Add(QStringLiteral("added later"));
    source.Picture()->CopyFrom(nullptr);
    EXPECT_EQ(copy.Notes()->Count(), 2);
    EXPECT_FALSE(copy.Picture()->IsEmpty());
}

TEST(OrbHintInfo, CopyFromAnythingElseChangesNothing)
{
    TOrbHintInfo hint;
    Fill(hint);
    TStrings notHint;
    notHint.Add(QStringLiteral("x"));
    hint.CopyFrom(&notHint);
    hint.CopyFrom(nullptr);
    EXPECT_EQ(hint.Title(), QStringLiteral("Reflections"));
    EXPECT_EQ(hint.Notes()->Count(), 2);
    EXPECT_TRUE(hint.ShowHelp());
    EXPECT_FALSE(hint.Picture()->IsEmpty());
}

TEST(OrbHintInfo, SettersCopyInsteadOfTakingOver)
{
    TOrbHintInfo hint;
    TStrings notes;
    notes.Add(QStringLiteral("one"));
    hint.SetNotes(&notes);
    notes.Add(QStringLiteral("two"));
    EXPECT_EQ(hint.Notes()->Count(), 1);

    TGDIPPicture picture;
    picture.LoadFile(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
    hint.SetPicture(&picture);
    picture.CopyFrom(nullptr);
    EXPECT_FALSE(hint.Picture()->IsEmpty());
}
