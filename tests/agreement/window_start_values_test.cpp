// The command line and the window start from the same reflection values.

#include "tests/app/main_form_fixture.h"

#include "cli/image_options.h"
#include "controls/orb_reflection_image.h"

using MainFormSliders = MainFormTest;

TEST_F(MainFormSliders, CommandLineStartsFromTheWindowsStartValues)
{
    const TCliParseResult parsed = ParseCliArguments({QStringLiteral("image"), QStringLiteral("a.png")});
    ASSERT_TRUE(parsed.Error.isEmpty());
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionParameters(), parsed.Image.Reflection);
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionParameters(), WindowStartReflection);
}
