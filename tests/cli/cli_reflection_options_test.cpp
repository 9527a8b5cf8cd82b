#include "cli/image_options.h"
#include "cli/text_options.h"
#include "imaging/reflection/reflection_ranges.h"

#include <gtest/gtest.h>

// Every row of the reflection value table is an option of both commands,
// checked against the row's bounds and listed in both usage texts: adding a
// row is all a new value needs.
namespace
{
class ReflectionValueOptions : public testing::TestWithParam<TReflectionValueInfo>
{
  protected:
    QString Name() const { return QString::fromLatin1(GetParam().OptionName); }

    // The error of each command for the option set to Value; empty when taken.
    std::pair<QString, QString> Errors(int Value, TReflectionParameters* Image = nullptr,
                                       TReflectionParameters* Text = nullptr) const
    {
        const QString option = QStringLiteral("--%1=%2").arg(Name()).arg(Value);
        const TCliParseResult image =
            ParseCliArguments({QStringLiteral("image"), option, QStringLiteral("a.png")});
        const TTextParseResult text =
            ParseTextArguments({option, QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("hi")});
        if (Image)
            *Image = image.Image.Reflection;
        if (Text)
            *Text = text.Options.Reflection;
        return {image.Error, text.Error};
    }
};

TEST_P(ReflectionValueOptions, BoundsAreTakenAndStored)
{
    for (const int value : {GetParam().Low, GetParam().High}) {
        TReflectionParameters image, text;
        const auto [imageError, textError] = Errors(value, &image, &text);
        EXPECT_TRUE(imageError.isEmpty()) << imageError.toStdString();
        EXPECT_TRUE(textError.isEmpty()) << textError.toStdString();
        EXPECT_EQ(image.*GetParam().Value, value);
        EXPECT_EQ(text.*GetParam().Value, value);
    }
}

TEST_P(ReflectionValueOptions, ValuesBeyondTheBoundsAreRefusedNamingThem)
{
    for (const int value : {GetParam().Low - 1, GetParam().High + 1}) {
        const QString expected = QStringLiteral("--%1 must be a whole number from %2 to %3, not \"%4\"")
                                     .arg(Name())
                                     .arg(GetParam().Low)
                                     .arg(GetParam().High)
                                     .arg(value);
        const auto [imageError, textError] = Errors(value);
        EXPECT_EQ(imageError, expected);
        EXPECT_EQ(textError, expected);
    }
}

TEST_P(ReflectionValueOptions, BothUsageTextsListTheOption)
{
    const QString line = QStringLiteral("--%1 %2").arg(Name(), QLatin1String(GetParam().ValueName));
    EXPECT_TRUE(CliUsageText().contains(line)) << line.toStdString();
    EXPECT_TRUE(TextUsageText().contains(line)) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EachValue, ReflectionValueOptions, testing::ValuesIn(ReflectionValues),
                         [](const testing::TestParamInfo<TReflectionValueInfo>& Info) {
                             return std::string(Info.param.OptionName);
                         });
} // namespace

namespace
{
// The side is a word: both commands take each side's word, refuse any
// other naming the words, and list it in their usage.
TEST(ReflectionDirectionOption, BothCommandsTakeEachSideAndRefuseOtherWords)
{
    const std::pair<const char*, TReflectionDirection> cases[] = {
        {"below", TReflectionDirection::Below}, {"above", TReflectionDirection::Above},
        {"left", TReflectionDirection::Left},   {"right", TReflectionDirection::Right},
        {"up", TReflectionDirection::Below},    {"Left", TReflectionDirection::Below},
        {"", TReflectionDirection::Below},
    };
    for (const auto& [word, side] : cases) {
        const QString option = QStringLiteral("--direction=%1").arg(QLatin1String(word));
        const TCliParseResult image =
            ParseCliArguments({QStringLiteral("image"), QStringLiteral("--direction"), QLatin1String(word),
                               QStringLiteral("a.png")});
        const TTextParseResult text =
            ParseTextArguments({option, QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("hi")});
        const bool taken =
            side != TReflectionDirection::Below || QLatin1String(word) == QLatin1String("below");
        const QString refusal =
            taken ? QString()
                  : QStringLiteral("--direction must be below, above, left or right, not \"%1\"")
                        .arg(QLatin1String(word));
        EXPECT_EQ(image.Error, refusal) << word;
        EXPECT_EQ(text.Error, refusal) << word;
        if (taken) {
            EXPECT_EQ(image.Image.Reflection.Direction, side) << word;
            EXPECT_EQ(text.Options.Reflection.Direction, side) << word;
        }
    }
    EXPECT_TRUE(CliUsageText().contains(QLatin1String("--direction SIDE")));
    EXPECT_TRUE(TextUsageText().contains(QLatin1String("--direction SIDE")));
}
} // namespace
