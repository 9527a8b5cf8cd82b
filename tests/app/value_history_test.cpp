// The history behind undo and redo, on its own.
#include "app/value_history.h"

#include <gtest/gtest.h>

namespace
{
TWindowValues WithSize(int Size)
{
    TWindowValues values;
    values.Image.Size = Size;
    return values;
}
} // namespace

TEST(ValueHistory, NewChangeAfterAnUndoDropsTheRedoAndUnchangedValuesAddNoStep)
{
    TValueHistory history;
    history.Reset(WithSize(1));
    EXPECT_FALSE(history.Record(WithSize(1)));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_TRUE(history.Record(WithSize(2)));
    EXPECT_TRUE(history.Record(WithSize(3)));
    ASSERT_EQ(history.Undo()->Image.Size, 2);
    ASSERT_TRUE(history.CanRedo());
    EXPECT_TRUE(history.Record(WithSize(7)));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Undo()->Image.Size, 2);
    EXPECT_EQ(history.Undo()->Image.Size, 1);
    EXPECT_FALSE(history.Undo().has_value());
    EXPECT_EQ(history.Redo()->Image.Size, 2);
    EXPECT_EQ(history.Redo()->Image.Size, 7);
    EXPECT_FALSE(history.Redo().has_value());
}
