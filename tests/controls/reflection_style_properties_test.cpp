// The two style values of both reflection controls, as window layouts store them.
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "controls/register_controls.h"
#include "tests/support/image_test_helpers.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_text_parser.h"
#include "toolkit/layout/layout_writer.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>

struct StoredStyleCase {
    const char* Name;
    const char* ClassName;
    const char* Stored; // the layout's style lines, if any
    int Blur, Scale;    // the values read
};

class StoredStyle : public ::testing::TestWithParam<StoredStyleCase>
{
  protected:
    static void SetUpTestSuite() { RegisterControls(); }
};

// Read from a layout, written again: out-of-range values are clamped, and
// only values that differ from the neutral ones are written, so every
// layout made before the style existed is written as it was.
TEST_P(StoredStyle, ReadClampedAndWrittenOnlyWhenNotNeutral)
{
    const StoredStyleCase& c = GetParam();
    const QString text = QStringLiteral("object Control1: %1\n%2end\n")
                             .arg(QLatin1String(c.ClassName), QLatin1String(c.Stored));
    std::unique_ptr<QObject> control(ReadLayout(LayoutTextToBinary(text), nullptr));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->property("ReflectionBlur").toInt(), c.Blur);
    EXPECT_EQ(control->property("ReflectionScale").toInt(), c.Scale);

    const QByteArray written = WriteLayout(control.get());
    EXPECT_EQ(written.contains("ReflectionBlur"), c.Blur != 0);
    EXPECT_EQ(written.contains("ReflectionScale"), c.Scale != 100);
    std::unique_ptr<QObject> again(ReadLayout(written, nullptr));
    EXPECT_EQ(again->property("ReflectionBlur").toInt(), c.Blur);
    EXPECT_EQ(again->property("ReflectionScale").toInt(), c.Scale);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, StoredStyle,
    ::testing::Values(StoredStyleCase{"image_without_style", "TOrbReflectionImage", "", 0, 100},
                      StoredStyleCase{"image_styled", "TOrbReflectionImage",
                                      "ReflectionBlur = 12\nReflectionScale = 60\n", 12, 60},
                      StoredStyleCase{"image_beyond_the_ranges", "TOrbReflectionImage",
                                      "ReflectionBlur = 250\nReflectionScale = 3\n", 100, 10},
                      StoredStyleCase{"image_below_the_ranges", "TOrbReflectionImage",
                                      "ReflectionBlur = -4\nReflectionScale = 400\n", 0, 100},
                      StoredStyleCase{"label_without_style", "TOrbReflectionLabel", "", 0, 100},
                      StoredStyleCase{"label_styled", "TOrbReflectionLabel",
                                      "ReflectionBlur = 3\nReflectionScale = 99\n", 3, 99},
                      StoredStyleCase{"label_beyond_the_ranges", "TOrbReflectionLabel",
                                      "ReflectionBlur = 101\nReflectionScale = -20\n", 100, 10}),
    CaseName<StoredStyleCase>);
