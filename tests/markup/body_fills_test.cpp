#include "tests/markup/markup_run.h"

#include <gtest/gtest.h>

namespace
{

// Every body colour or gradient covers the whole area, so a text with several
// shows what it would show with only the last of them: the earlier text sits
// under it either way.
struct TBodyFillCase {
    const char* Name;
    const char* Several; // two or more covering body tags
    const char* Last;    // the same text with only the last body tag
};

class BodyFills : public ::testing::TestWithParam<TBodyFillCase>
{
};

TEST_P(BodyFills, SeveralBodyBackgroundsDrawWhatTheLastAloneDraws)
{
    const TBodyFillCase& c = GetParam();
    TMarkupSurface several(160, 60), last(160, 60);
    TMarkupRequest request = TestRequest();
    request.Area = QRect(0, 0, 160, 60);
    DrawMarkup(*several.Canvas, QString::fromUtf8(c.Several), request);
    DrawMarkup(*last.Canvas, QString::fromUtf8(c.Last), request);
    EXPECT_EQ(several.Image, last.Image);
    // The last fill was painted: its colour shows in the corner.
    EXPECT_NE(several.Image.pixel(159, 59), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BodyFills,
    ::testing::Values(
        TBodyFillCase{"colours", "<body bgcolor=\"clred\">aaa<br><body bgcolor=\"clblue\">b<br>c",
                      "aaa<br><body bgcolor=\"clblue\">b<br>c"},
        TBodyFillCase{"gradients",
                      "<body bgcolor=\"clred\" bgcolorto=\"clblue\">aaa<br><body bgcolor=\"clgreen\" "
                      "bgcolorto=\"clyellow\" dir=\"v\">b<p bgcolor=\"clsilver\">c</p>",
                      "aaa<br><body bgcolor=\"clgreen\" bgcolorto=\"clyellow\" dir=\"v\">b<p "
                      "bgcolor=\"clsilver\">c</p>"},
        TBodyFillCase{"gradient_then_colour_on_one_line",
                      "<body bgcolor=\"clred\" bgcolorto=\"clblue\">a<body bgcolor=\"clnavy\">b</font>c",
                      "a<body bgcolor=\"clnavy\">b</font>c"},
        TBodyFillCase{"one_line", "<body bgcolor=\"clred\">aaa<body bgcolor=\"clblue\">b",
                      "aaa<body bgcolor=\"clblue\">b"}),
    [](const ::testing::TestParamInfo<TBodyFillCase>& Info) { return std::string(Info.param.Name); });

} // namespace
