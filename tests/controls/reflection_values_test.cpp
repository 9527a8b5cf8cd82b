// Both reflection controls driven through the rules of their shared
// reflection values: what each setter takes, and what an accepted change
// does to the control as it is drawn.
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "controls/register_controls.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/font.h"
#include "toolkit/strings.h"

#include <QMetaObject>
#include <QPixmap>
#include <gtest/gtest.h>

namespace
{
// What setting a value did to the control.
struct TEffect {
    bool Rebuilt = false; // the reflection's pixels were made again
    bool Moved = false;   // what the control shows changed without a rebuild
    bool Resized = false; // the control's size changed
    friend bool operator==(const TEffect&, const TEffect&) = default;
};
constexpr TEffect Nothing{}, Rebuilt{.Rebuilt = true}, Moved{.Moved = true},
    RebuiltAndResized{.Rebuilt = true, .Resized = true};

void PrintTo(const TEffect& Effect, std::ostream* Out)
{
    *Out << "{rebuilt " << Effect.Rebuilt << ", moved " << Effect.Moved << ", resized " << Effect.Resized
         << "}";
}

enum TKind { Image, Label };

struct ValueCase {
    const char* Name;
    TKind Kind;
    const char* Property; // "ReflectionSize", ...
    int Value;            // what is set
    int Read;             // what the property reads afterwards
    TEffect Effect;
};

void PrintTo(const ValueCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

// The control as seen from outside: its values, their stored flags, its
// reflection and what it draws.
struct TSeen {
    QList<int> Values;
    QList<bool> Stored;
    qint64 Reflection = 0;
    QImage Shown;
    QSize Size;
};

const char* const Properties[] = {"ReflectionSize", "ReflectionOpacityStart", "ReflectionOpacityEnd",
                                  "ReflectionAxis", "ReflectionBlur",         "ReflectionScale"};

class ReflectionValueRules : public ::testing::TestWithParam<ValueCase>
{
  protected:
    static void SetUpTestSuite()
    {
        RegisterTahomaFont();
        RegisterControls();
    }
    void SetUp() override
    {
        Picture.setAutoSize(true);
        Picture.Picture()->LoadFile(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
        Text.resize(300, 80);
        Text.SetColor(clWhite);
        Text.HTMLText()->SetText(QStringLiteral("Reflection"));
    }
    QWidget& Control() { return GetParam().Kind == Image ? static_cast<QWidget&>(Picture) : Text; }
    TSeen Seen()
    {
        TSeen seen;
        for (const char* name : Properties) {
            seen.Values << Control().property(name).toInt();
            bool stored = false;
            const QByteArray method = QByteArray("Is") + (name + QByteArray("Stored"));
            EXPECT_TRUE(
                QMetaObject::invokeMethod(&Control(), method.constData(), Q_RETURN_ARG(bool, stored)));
            seen.Stored << stored;
        }
        if (GetParam().Kind == Image) {
            seen.Reflection = Picture.ReflectionBitmap().cacheKey();
            seen.Shown = Picture.grab().toImage();
        } else {
            Text.PaintSurface();
            seen.Reflection = Text.ReflectionBitmap().cacheKey();
            seen.Shown = Text.Surface();
        }
        seen.Size = Control().size();
        return seen;
    }

    TOrbReflectionImage Picture;
    TOrbReflectionLabel Text;
};
} // namespace

TEST_P(ReflectionValueRules, TakesTheValueAndDoesWhatItsChangeNeeds)
{
    const ValueCase& c = GetParam();
    const TSeen before = Seen();
    ASSERT_FALSE(before.Shown.isNull());
    Control().setProperty(c.Property, c.Value);
    const TSeen after = Seen();

    EXPECT_EQ(Control().property(c.Property).toInt(), c.Read);
    const bool rebuilt = after.Reflection != before.Reflection;
    const TEffect effect{rebuilt, !rebuilt && after.Shown != before.Shown, after.Size != before.Size};
    EXPECT_EQ(effect, c.Effect);
    if (c.Effect == Nothing) {
        EXPECT_EQ(after.Values, before.Values);
        EXPECT_EQ(after.Stored, before.Stored) << "a refused or unchanged value is not stored anew";
    } else {
        EXPECT_NE(after.Shown, before.Shown) << "what changed is drawn";
    }
}

INSTANTIATE_TEST_SUITE_P(
    BothControls, ReflectionValueRules,
    ::testing::Values(
        // The image control: 100 / 255 / 0 / 1, no style, fitted to its picture.
        ValueCase{"image_size", Image, "ReflectionSize", 40, 40, RebuiltAndResized},
        ValueCase{"image_size_unchanged", Image, "ReflectionSize", 100, 100, Nothing},
        ValueCase{"image_size_negative_refused", Image, "ReflectionSize", -5, 100, Nothing},
        ValueCase{"image_start", Image, "ReflectionOpacityStart", 200, 200, Rebuilt},
        ValueCase{"image_start_above_a_byte", Image, "ReflectionOpacityStart", 256, 255, Nothing},
        ValueCase{"image_end_below_zero", Image, "ReflectionOpacityEnd", -1, 0, Nothing},
        ValueCase{"image_end", Image, "ReflectionOpacityEnd", 90, 90, Rebuilt},
        ValueCase{"image_axis", Image, "ReflectionAxis", -7, -7, Moved},
        ValueCase{"image_axis_unchanged", Image, "ReflectionAxis", 1, 1, Nothing},
        ValueCase{"image_blur_clamped", Image, "ReflectionBlur", 250, 100, Rebuilt},
        ValueCase{"image_blur_clamped_to_unchanged", Image, "ReflectionBlur", -4, 0, Nothing},
        ValueCase{"image_scale_clamped", Image, "ReflectionScale", 3, 10, Rebuilt},
        ValueCase{"image_scale_clamped_to_unchanged", Image, "ReflectionScale", 400, 100, Nothing},
        // The label: 20 / 128 / 0 / -7, no style; its size never follows.
        ValueCase{"label_size", Label, "ReflectionSize", 10, 10, Rebuilt},
        ValueCase{"label_size_negative_stored", Label, "ReflectionSize", -5, -5, Rebuilt},
        ValueCase{"label_size_unchanged", Label, "ReflectionSize", 20, 20, Nothing},
        ValueCase{"label_start", Label, "ReflectionOpacityStart", 255, 255, Rebuilt},
        ValueCase{"label_start_above_a_byte", Label, "ReflectionOpacityStart", 300, 128, Nothing},
        ValueCase{"label_end_below_zero", Label, "ReflectionOpacityEnd", -1, 0, Nothing},
        ValueCase{"label_axis", Label, "ReflectionAxis", 2, 2, Moved},
        ValueCase{"label_blur_clamped", Label, "ReflectionBlur", 101, 100, Rebuilt},
        ValueCase{"label_scale", Label, "ReflectionScale", 50, 50, Rebuilt},
        ValueCase{"label_scale_clamped_to_unchanged", Label, "ReflectionScale", 180, 100, Nothing}),
    [](const ::testing::TestParamInfo<ValueCase>& Info) { return std::string(Info.param.Name); });

// The label stores a negative size (the image control refuses it, above):
// it shows no reflection rows, just as a size of 0.
TEST(NegativeReflectionSize, TheLabelShowsWhatASizeOfZeroShows)
{
    RegisterTahomaFont();
    QImage shown[2];
    for (const int size : {0, -30}) {
        TOrbReflectionLabel label;
        label.resize(300, 80);
        label.SetColor(clWhite);
        label.HTMLText()->SetText(QStringLiteral("Reflection"));
        label.SetReflectionSize(size);
        label.PaintSurface();
        shown[size < 0] = label.Surface();
    }
    EXPECT_EQ(shown[1], shown[0]);
}
