#include "toolkit/graphics/font_cell_metrics.h"

#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/draw_text.h"
#include "toolkit/graphics/font.h"

#include "tests/support/image_test_helpers.h"
#include <QImage>
#include <gtest/gtest.h>

namespace
{

struct CellCase {
    const char* Name;
    const char* Face;
    int Height; // logical font height
    int Cell;   // ascent + descent as the window system reports it
    int Line;   // a measured line with DT_EXTERNALLEADING
};

class FontCell : public ::testing::TestWithParam<CellCase>
{
};

// Wine's Tahoma asks for its typographic metrics (9 + 2 at 11 pixels), and
// Qt reports a leading of -1 for it; the window system uses the OS/2 Windows
// heights and never a negative leading.
TEST_P(FontCell, HeightsFollowTheWindowsMetricsWithLeadingNeverNegative)
{
    ASSERT_TRUE(RegisterTahomaFont());
    const CellCase& c = GetParam();
    QImage image = MakeImage(100, 100);
    TCanvas canvas(&image);
    canvas.Font()->SetName(QString::fromLatin1(c.Face));
    canvas.Font()->SetHeight(c.Height);
    EXPECT_EQ(canvas.TextHeight(QStringLiteral("gh")), c.Cell);
    QRect rect(0, 0, 100, 100);
    DrawTextEx(canvas, QStringLiteral("gh"), rect, DT_SINGLELINE | DT_EXTERNALLEADING | DT_CALCRECT);
    EXPECT_EQ(rect.height(), c.Line);
    const TFontCellMetrics cell = FontCellMetrics(canvas.Font()->ToQFont());
    EXPECT_GE(cell.ExternalLeading, 0);
}

INSTANTIATE_TEST_SUITE_P(Faces, FontCell,
                         ::testing::Values(CellCase{"Tahoma11", "Tahoma", -11, 13, 13},
                                           CellCase{"Tahoma16", "Tahoma", -16, 19, 19},
                                           CellCase{"DejaVu11", "DejaVu Sans", -11, 13, 13},
                                           CellCase{"DejaVu21", "DejaVu Sans", -21, 24, 24}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
