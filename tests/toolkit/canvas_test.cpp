#include "toolkit/graphics/canvas.h"

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/pen.h"

#include "tests/support/image_test_helpers.h"
#include "tests/support/test_names.h"
#include <QImage>
#include <QPainter>
#include <cctype>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace
{

struct RectangleCase {
    const char* Name;
    QRect Corners; // X1, Y1 as x/y, X2, Y2 as right/bottom edges via RectLTRB
    TPen::TPenStyle PenStyle;
    TBrush::TBrushStyle BrushStyle;
    QRect ExpectedArea;
};
void PrintTo(const RectangleCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class CanvasRectangle : public ::testing::TestWithParam<RectangleCase>
{
};

TEST_P(CanvasRectangle, CoversExactlyItsPixels)
{
    const RectangleCase& c = GetParam();
    QImage image = MakeImage(20, 20);
    TCanvas canvas(&image);
    canvas.Pen()->SetColor(clBlack);
    canvas.Pen()->SetStyle(c.PenStyle);
    canvas.Brush()->SetColor(clRed);
    canvas.Brush()->SetStyle(c.BrushStyle);
    canvas.Rectangle(c.Corners.x(), c.Corners.y(), RectRight(c.Corners), RectBottom(c.Corners));
    EXPECT_EQ(ChangedArea(image), c.ExpectedArea) << c.Name;
    if (c.PenStyle == TPen::psSolid) {
        EXPECT_EQ(image.pixel(c.ExpectedArea.topLeft()), qRgb(0, 0, 0)) << c.Name;
        EXPECT_EQ(image.pixel(c.ExpectedArea.bottomRight()), qRgb(0, 0, 0)) << c.Name;
    }
    const QPoint inside = c.ExpectedArea.center();
    EXPECT_EQ(image.pixel(inside), c.BrushStyle == TBrush::bsSolid ? qRgb(255, 0, 0) : White) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Extents, CanvasRectangle,
                         ::testing::Values(RectangleCase{"0,0,10,10 pen and brush", RectLTRB(0, 0, 10, 10),
                                                         TPen::psSolid, TBrush::bsSolid, QRect(0, 0, 10, 10)},
                                           RectangleCase{"2,3,7,9 pen and brush", RectLTRB(2, 3, 7, 9),
                                                         TPen::psSolid, TBrush::bsSolid, QRect(2, 3, 5, 6)},
                                           RectangleCase{"outline only", RectLTRB(4, 4, 12, 9), TPen::psSolid,
                                                         TBrush::bsClear, QRect(4, 4, 8, 5)},
                                           RectangleCase{"fill only", RectLTRB(1, 1, 6, 6), TPen::psClear,
                                                         TBrush::bsSolid, QRect(1, 1, 5, 5)},
                                           RectangleCase{"corners given reversed", RectLTRB(10, 10, 0, 0),
                                                         TPen::psSolid, TBrush::bsSolid,
                                                         QRect(0, 0, 10, 10)}),
                         CaseName<RectangleCase>);

struct LineCase {
    const char* Name;
    QPoint From, To;
    QPoint LastDrawn;
};
void PrintTo(const LineCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class CanvasLine : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(CanvasLine, LeavesOutTheEndPoint)
{
    const LineCase& c = GetParam();
    QImage image = MakeImage(20, 20);
    TCanvas canvas(&image);
    canvas.MoveTo(c.From.x(), c.From.y());
    canvas.LineTo(c.To.x(), c.To.y());
    EXPECT_EQ(image.pixel(c.From), qRgb(0, 0, 0)) << c.Name;
    EXPECT_EQ(image.pixel(c.LastDrawn), qRgb(0, 0, 0)) << c.Name;
    EXPECT_EQ(image.pixel(c.To), White) << c.Name;
    EXPECT_EQ(canvas.PenPos(), c.To) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Lines, CanvasLine,
                         ::testing::Values(LineCase{"horizontal", {0, 5}, {10, 5}, {9, 5}},
                                           LineCase{"vertical up", {3, 15}, {3, 2}, {3, 3}},
                                           LineCase{"diagonal", {0, 0}, {5, 5}, {4, 4}},
                                           LineCase{"leftwards", {12, 7}, {2, 7}, {3, 7}}),
                         CaseName<LineCase>);

TEST(CanvasLine, DottedPenSkipsPixels)
{
    QImage image = MakeImage(20, 3);
    TCanvas canvas(&image);
    canvas.Pen()->SetStyle(TPen::psDot);
    canvas.MoveTo(0, 1);
    canvas.LineTo(12, 1);
    // Three on, three off.
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(image.pixel(x, 1), (x / 3) % 2 == 0 ? qRgb(0, 0, 0) : White) << "x " << x;
}

TEST(CanvasFocusRect, DrawingTwiceRestoresEveryByte)
{
    QImage image = MakeImage(24, 16);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 10, y * 15, (x * y) % 256, 40 + x * 8));
    const QImage before = image.copy();
    TCanvas canvas(&image);
    const QRect rect = RectLTRB(2, 3, 20, 14);
    canvas.DrawFocusRect(rect);
    EXPECT_NE(image, before);
    // Only outline pixels change, every other one, and alpha stays.
    int changed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == before.pixel(x, y))
                continue;
            ++changed;
            const bool onOutline = rect.contains(x, y) && (x == 2 || x == 19 || y == 3 || y == 13);
            EXPECT_TRUE(onOutline) << x << "," << y;
            EXPECT_EQ((x + y) % 2, 0) << x << "," << y;
            EXPECT_EQ(qAlpha(image.pixel(x, y)), qAlpha(before.pixel(x, y)));
            EXPECT_EQ(image.pixel(x, y) & 0xFFFFFFu, ~before.pixel(x, y) & 0xFFFFFFu);
        }
    EXPECT_EQ(changed, (18 * 2 + 9 * 2) / 2);
    canvas.DrawFocusRect(rect);
    EXPECT_EQ(image, before);
}

TEST(CanvasFocusRect, StaysInsideTheClipRectangle)
{
    QImage image = MakeImage(20, 20);
    TCanvas canvas(&image);
    canvas.SetClipRect(QRect(0, 0, 10, 20));
    canvas.DrawFocusRect(QRect(0, 0, 20, 20));
    EXPECT_EQ(ChangedArea(image), QRect(0, 0, 10, 20));
}

TEST(CanvasClip, DrawingStaysInsideUntilCleared)
{
    QImage image = MakeImage(20, 20);
    TCanvas canvas(&image);
    canvas.Brush()->SetColor(clBlue);
    canvas.SetClipRect(QRect(5, 6, 4, 3));
    canvas.FillRect(image.rect());
    canvas.MoveTo(0, 7);
    canvas.LineTo(20, 7);
    EXPECT_EQ(ChangedArea(image), QRect(5, 6, 4, 3));
    canvas.ClearClipRect();
    canvas.FillRect(image.rect());
    EXPECT_EQ(ChangedArea(image), image.rect());
}

TEST(CanvasCopyRect, CopiesPixelsWithTheirAlpha)
{
    QImage source = MakeImage(8, 8, qRgba(0, 0, 0, 0));
    source.setPixel(2, 3, qRgba(10, 20, 30, 128));
    source.setPixel(3, 3, qRgba(200, 100, 50, 7));
    QImage target = MakeImage(10, 10, qRgba(255, 255, 255, 255));
    TCanvas from(&source), to(&target);
    to.CopyRect(QRect(5, 5, 4, 4), from, QRect(1, 2, 4, 4));
    EXPECT_EQ(target.pixel(6, 6), qRgba(10, 20, 30, 128));
    EXPECT_EQ(target.pixel(7, 6), qRgba(200, 100, 50, 7));
    EXPECT_EQ(target.pixel(5, 5), qRgba(0, 0, 0, 0)); // transparent source pixels are copied too
    EXPECT_EQ(target.pixel(4, 4), qRgba(255, 255, 255, 255));
    EXPECT_EQ(ChangedArea(target), QRect(5, 5, 4, 4));
}

TEST(CanvasResolution, ComesFromTheImageDotsPerMeter)
{
    QImage image = MakeImage(2, 2);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(5906);
    TCanvas canvas(&image);
    EXPECT_EQ(canvas.PixelsPerInchX(), 96);
    EXPECT_EQ(canvas.PixelsPerInchY(), 150);
}

struct MulDivCase {
    int Number, Numerator, Denominator, Expected;
};

class CanvasMulDiv : public ::testing::TestWithParam<MulDivCase>
{
};

TEST_P(CanvasMulDiv, RoundsHalvesAwayFromZero)
{
    const MulDivCase& c = GetParam();
    EXPECT_EQ(MulDiv(c.Number, c.Numerator, c.Denominator), c.Expected)
        << c.Number << " * " << c.Numerator << " / " << c.Denominator;
}

INSTANTIATE_TEST_SUITE_P(Values, CanvasMulDiv,
                         ::testing::Values(MulDivCase{10, 3, 4, 8}, MulDivCase{-10, 3, 4, -8},
                                           MulDivCase{10, -3, 4, -8}, MulDivCase{5, 1, -2, -3},
                                           MulDivCase{7, 1, 3, 2}, MulDivCase{-11, 72, 96, -8},
                                           MulDivCase{8, 96, 72, 11}, MulDivCase{1, 1, 0, -1},
                                           MulDivCase{0x40000000, 4, 1, -1},
                                           MulDivCase{100000, 100000, 100000, 100000}),
                         [](const ::testing::TestParamInfo<MulDivCase>& Info) {
                             return TestNameOf(Info.param.Number) + "_times_" +
                                    TestNameOf(Info.param.Numerator) + "_over_" +
                                    TestNameOf(Info.param.Denominator);
                         });

TEST(CanvasDraw, EmptyGraphicDrawsNothing)
{
    QImage image = MakeImage(10, 10);
    TCanvas canvas(&image);
    TBitmap empty;
    empty.SetSize(5, 0);
    canvas.Draw(2, 2, &empty);
    canvas.Draw(2, 2, nullptr);
    canvas.StretchDraw(QRect(0, 0, 10, 10), &empty);
    EXPECT_EQ(ChangedArea(image), QRect());
}

TEST(CanvasDraw, GraphicLandsAtItsOwnSize)
{
    QImage image = MakeImage(10, 10);
    TCanvas canvas(&image);
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    bitmap.Image().fill(qRgb(0, 128, 0));
    canvas.Draw(4, 5, &bitmap);
    EXPECT_EQ(ChangedArea(image), QRect(4, 5, 3, 2));
    canvas.StretchDraw(QRect(0, 0, 2, 2), &bitmap);
    EXPECT_EQ(ChangedArea(image), QRect(0, 0, 7, 7));
}

TEST(CanvasBackground, FollowsTheBrushUntilSetExplicitly)
{
    QImage image = MakeImage(2, 2);
    TCanvas canvas(&image);
    EXPECT_EQ(canvas.BkMode(), OPAQUE);
    canvas.Brush()->SetColor(clNone);
    EXPECT_EQ(canvas.Brush()->Style(), TBrush::bsClear);
    EXPECT_EQ(canvas.BkMode(), TRANSPARENT);
    canvas.SetBkMode(OPAQUE);
    EXPECT_EQ(canvas.BkMode(), OPAQUE);
    canvas.Brush()->SetColor(clYellow);
    EXPECT_EQ(canvas.Brush()->Style(), TBrush::bsSolid);
    canvas.SetBkMode(TRANSPARENT);
    EXPECT_EQ(canvas.BkMode(), TRANSPARENT);
}

TEST(CanvasOverPainter, DrawsThroughItAndPutsItsStateBack)
{
    QImage image = MakeImage(12, 12);
    QPainter painter(&image);
    const QPen pen(Qt::green, 3);
    painter.setPen(pen);
    {
        TCanvas canvas(&painter);
        canvas.Brush()->SetColor(clBlue);
        canvas.SetClipRect(QRect(0, 0, 6, 12));
        canvas.Rectangle(2, 2, 10, 10);
        EXPECT_EQ(canvas.Painter(), &painter);
    }
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_FALSE(painter.hasClipping());
    painter.end();
    EXPECT_EQ(ChangedArea(image), QRect(2, 2, 4, 8));
}

TEST(CanvasPainter, StaysActiveUntilReleased)
{
    QImage image = MakeImage(6, 6);
    TCanvas canvas(&image);
    canvas.SetClipRect(QRect(0, 0, 3, 6));
    QPainter* painter = canvas.Painter();
    ASSERT_TRUE(painter->isActive());
    painter->fillRect(image.rect(), Qt::black);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(QRect(0, 0, 1, 1)); // works while the painter is open
    canvas.ReleasePainter();
    EXPECT_FALSE(painter->isActive());
    EXPECT_EQ(ChangedArea(image), QRect(0, 0, 3, 6));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(CanvasNullImage, DrawsNothingAndDoesNotCrash)
{
    QImage image;
    TCanvas canvas(&image);
    canvas.Rectangle(0, 0, 5, 5);
    canvas.LineTo(5, 5);
    canvas.DrawFocusRect(QRect(0, 0, 4, 4));
    canvas.TextOut(0, 0, QStringLiteral("x"));
    EXPECT_TRUE(image.isNull());
}

} // namespace
