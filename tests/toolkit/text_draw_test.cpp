#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/draw_text.h"

#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/font_cell_metrics.h"

#include "tests/support/image_test_helpers.h"
#include <QFontMetrics>
#include <QImage>
#include <cctype>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace
{

class TextDraw : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        RegisterTahomaFont();
        Image = MakeImage(200, 60);
        Canvas = std::make_unique<TCanvas>(&Image);
        Canvas->Font()->SetHeight(-16);
        Canvas->Font()->SetColor(clBlack);
        Canvas->Brush()->SetColor(clNone);
        Canvas->SetBkMode(TRANSPARENT);
    }
    QFontMetrics Metrics() const { return QFontMetrics(Canvas->Font()->ToQFont()); }
    TFontCellMetrics Cell() const { return FontCellMetrics(Canvas->Font()->ToQFont()); }
    int LineHeight() const { return Cell().Height(); }

    // The width DT_CALCRECT reports for Text.
    int MeasuredWidth(const QString& Text, unsigned Format)
    {
        QRect rect(0, 0, 1000, 100);
        DrawTextEx(*Canvas, Text, rect, Format | DT_CALCRECT);
        return rect.width();
    }

    QImage Image;
    std::unique_ptr<TCanvas> Canvas;
};

TEST_F(TextDraw, TahomaIsAvailable)
{
    EXPECT_TRUE(RegisterTahomaFont());
}

struct PrefixCase {
    const char* Name;
    QString Text;
    unsigned Format;
    QString SameWidthAs;
};
void PrintTo(const PrefixCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class TextPrefix : public TextDraw, public ::testing::WithParamInterface<PrefixCase>
{
};

TEST_P(TextPrefix, MeasuresTheShownText)
{
    const PrefixCase& c = GetParam();
    EXPECT_EQ(MeasuredWidth(c.Text, c.Format | DT_SINGLELINE), Canvas->TextWidth(c.SameWidthAs)) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Ampersands, TextPrefix,
    ::testing::Values(
        PrefixCase{"double ampersand shows one", QStringLiteral("Tom&&Jerry"), 0,
                   QStringLiteral("Tom&Jerry")},
        PrefixCase{"prefix hides itself", QStringLiteral("&xyz"), 0, QStringLiteral("xyz")},
        PrefixCase{"no prefix keeps it", QStringLiteral("&xyz"), DT_NOPREFIX, QStringLiteral("&xyz")},
        PrefixCase{"no prefix keeps both", QStringLiteral("a&&b"), DT_NOPREFIX, QStringLiteral("a&&b")},
        PrefixCase{"trailing ampersand dropped", QStringLiteral("ab&"), 0, QStringLiteral("ab")}),
    CaseName<PrefixCase>);

TEST_F(TextDraw, PrefixUnderlinesOnlyBelowTheCharacter)
{
    QRect rect(10, 10, 100, 30);
    DrawTextEx(*Canvas, QStringLiteral("x"), rect, DT_SINGLELINE | DT_NOPREFIX);
    const QImage plain = Image.copy();
    Image.fill(White);
    rect = QRect(10, 10, 100, 30);
    DrawTextEx(*Canvas, QStringLiteral("&x"), rect, DT_SINGLELINE);
    const int underlineRow = 10 + Cell().Ascent + Metrics().underlinePos();
    int extra = 0;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (Image.pixel(x, y) != plain.pixel(x, y)) {
                ++extra;
                EXPECT_GE(y, underlineRow);
                EXPECT_LT(y, underlineRow + qMax(1, Metrics().lineWidth()));
                EXPECT_GE(x, 10);
                EXPECT_LT(x, 10 + Canvas->TextWidth(QStringLiteral("x")));
            }
    EXPECT_GT(extra, 0);
}

TEST_F(TextDraw, NoPrefixDrawsLikeTextOut)
{
    QRect rect(5, 5, 150, 40);
    DrawTextEx(*Canvas, QStringLiteral("R&D"), rect, DT_NOPREFIX | DT_NOCLIP);
    const QImage drawn = Image.copy();
    Image.fill(White);
    Canvas->TextOut(5, 5, QStringLiteral("R&D"));
    EXPECT_EQ(Image, drawn);
    EXPECT_NE(ChangedArea(Image), QRect());
}

TEST_F(TextDraw, CalcRectMeasuresWithoutDrawing)
{
    QRect rect(3, 4, 500, 5);
    const int height = DrawTextEx(*Canvas, QStringLiteral("First\nSecond line"), rect, DT_CALCRECT);
    EXPECT_EQ(ChangedArea(Image), QRect());
    EXPECT_EQ(rect.topLeft(), QPoint(3, 4));
    EXPECT_EQ(rect.width(), Canvas->TextWidth(QStringLiteral("Second line")));
    EXPECT_EQ(rect.height(), 2 * LineHeight());
    EXPECT_EQ(height, 2 * LineHeight());
}

TEST_F(TextDraw, ExternalLeadingIsAddedToTheLineHeight)
{
    QRect rect(0, 0, 500, 100);
    DrawTextEx(*Canvas, QStringLiteral("a\nb\nc"), rect, DT_CALCRECT | DT_EXTERNALLEADING);
    EXPECT_EQ(rect.height(), 3 * (LineHeight() + Cell().ExternalLeading));
}

TEST_F(TextDraw, EmptyTextNeedsNothing)
{
    QRect rect(7, 8, 50, 50);
    EXPECT_EQ(DrawTextEx(*Canvas, QString(), rect, DT_CALCRECT), 0);
    EXPECT_EQ(rect, QRect(7, 8, 0, 0));
}

TEST_F(TextDraw, WordBreakWrapsBetweenWords)
{
    const int twoWords = Canvas->TextWidth(QStringLiteral("alpha beta"));
    QRect rect(0, 0, twoWords + 2, 100);
    DrawTextEx(*Canvas, QStringLiteral("alpha beta gamma"), rect, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(rect.height(), 2 * LineHeight());
    EXPECT_EQ(rect.width(), twoWords);
    // A single word wider than the rectangle stays whole on its line.
    rect = QRect(0, 0, 5, 100);
    DrawTextEx(*Canvas, QStringLiteral("unbreakable"), rect, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(rect.height(), LineHeight());
    EXPECT_EQ(rect.width(), Canvas->TextWidth(QStringLiteral("unbreakable")));
}

TEST_F(TextDraw, EndEllipsisFitsTheRectangle)
{
    const QString text = QStringLiteral("A rather long caption that cannot fit");
    QRect rect(10, 10, 80, 30);
    DrawTextEx(*Canvas, text, rect, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(rect.width(), 80);
    EXPECT_GT(rect.width(), Canvas->TextWidth(QStringLiteral("...")));
    // Drawn without clipping, nothing passes the right edge all the same.
    rect = QRect(10, 10, 80, 30);
    DrawTextEx(*Canvas, text, rect, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    const QRect drawn = ChangedArea(Image);
    EXPECT_FALSE(drawn.isEmpty());
    EXPECT_LE(RectRight(drawn), 90);
    // A text that fits is left alone.
    rect = QRect(0, 0, 500, 30);
    DrawTextEx(*Canvas, QStringLiteral("Short"), rect, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(rect.width(), Canvas->TextWidth(QStringLiteral("Short")));
}

TEST_F(TextDraw, ExpandedTabReachesTheNextStop)
{
    const int stop = 8 * Metrics().averageCharWidth();
    const int expanded = MeasuredWidth(QStringLiteral("a\tb"), DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_GT(expanded, MeasuredWidth(QStringLiteral("a b"), DT_SINGLELINE));
    EXPECT_EQ(expanded, stop + Canvas->TextWidth(QStringLiteral("b")));
    EXPECT_EQ(MeasuredWidth(QStringLiteral("a\t\tb"), DT_SINGLELINE | DT_EXPANDTABS),
              2 * stop + Canvas->TextWidth(QStringLiteral("b")));
}

TEST_F(TextDraw, TransparentBackgroundKeepsThePixels)
{
    const QRgb blue = qRgb(0, 0, 255);
    Image.fill(blue);
    Canvas->Brush()->SetColor(clYellow);
    Canvas->SetBkMode(TRANSPARENT);
    QRect rect(0, 0, 200, 60);
    DrawTextEx(*Canvas, QStringLiteral("Hello"), rect, DT_SINGLELINE);
    const QRect cell(0, 0, Canvas->TextWidth(QStringLiteral("Hello")), LineHeight());
    int untouched = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            EXPECT_NE(Image.pixel(x, y), qRgb(255, 255, 0));
            untouched += Image.pixel(x, y) == blue;
        }
    EXPECT_GT(untouched, cell.width() * cell.height() / 2);
    EXPECT_NE(ChangedArea(Image, blue), QRect());
}

TEST_F(TextDraw, OpaqueBackgroundFillsTheTextCell)
{
    const QRgb blue = qRgb(0, 0, 255);
    Image.fill(blue);
    Canvas->Brush()->SetColor(clYellow);
    Canvas->SetBkMode(OPAQUE);
    QRect rect(0, 0, 200, 60);
    DrawTextEx(*Canvas, QStringLiteral("Hello"), rect, DT_SINGLELINE);
    const QRect cell(0, 0, Canvas->TextWidth(QStringLiteral("Hello")), LineHeight());
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            ASSERT_NE(Image.pixel(x, y), blue) << x << "," << y;
    EXPECT_EQ(Image.pixel(cell.topLeft()), qRgb(255, 255, 0));
    EXPECT_EQ(ChangedArea(Image, blue), cell);
}

TEST_F(TextDraw, TextTakesTheFontColour)
{
    Canvas->Font()->SetColor(clRed);
    QRect rect(0, 0, 200, 60);
    DrawTextEx(*Canvas, QStringLiteral("HHH"), rect, DT_SINGLELINE);
    bool red = false;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x) {
            const QRgb pixel = Image.pixel(x, y);
            EXPECT_GE(qRed(pixel), qGreen(pixel));
            red = red || (qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60);
        }
    EXPECT_TRUE(red);
}

struct PlacementCase {
    const char* Name;
    unsigned Format;
    bool ShiftX, ShiftY, CentreY;
};
void PrintTo(const PlacementCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class TextPlacement : public TextDraw, public ::testing::WithParamInterface<PlacementCase>
{
};

// The same text drawn top-left and with an alignment flag gives the same
// pixels moved by exactly the free space.
TEST_P(TextPlacement, MovesTheTopLeftDrawingByTheFreeSpace)
{
    const PlacementCase& c = GetParam();
    const QString text = QStringLiteral("Tag");
    QRect rect(0, 0, 120, 50);
    DrawTextEx(*Canvas, text, rect, DT_SINGLELINE);
    const QImage topLeft = Image.copy();
    Image.fill(White);
    rect = QRect(0, 0, 120, 50);
    const int result = DrawTextEx(*Canvas, text, rect, DT_SINGLELINE | c.Format);
    const int dx = c.ShiftX ? 120 - Canvas->TextWidth(text) : 0;
    const int dy = c.ShiftY ? 50 - LineHeight() : (c.CentreY ? (50 - LineHeight()) / 2 : 0);
    const QRect area = ChangedArea(topLeft);
    ASSERT_FALSE(area.isEmpty());
    EXPECT_EQ(ChangedArea(Image), area.translated(dx, dy)) << c.Name;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ASSERT_EQ(Image.pixel(x + dx, y + dy), topLeft.pixel(x, y)) << c.Name << " " << x << "," << y;
    EXPECT_EQ(result, dy + LineHeight()) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Flags, TextPlacement,
                         ::testing::Values(PlacementCase{"right", DT_RIGHT, true, false, false},
                                           PlacementCase{"bottom", DT_BOTTOM, false, true, false},
                                           PlacementCase{"right bottom", DT_RIGHT | DT_BOTTOM, true, true,
                                                         false},
                                           PlacementCase{"vertical centre", DT_VCENTER, false, false, true}),
                         CaseName<PlacementCase>);

TEST_F(TextDraw, ClipsToTheRectangleUnlessNoClip)
{
    const QString text = QStringLiteral("Wide text here");
    QRect rect(20, 10, 15, 8);
    DrawTextEx(*Canvas, text, rect, DT_SINGLELINE);
    const QRect clipped = ChangedArea(Image);
    EXPECT_FALSE(clipped.isEmpty());
    EXPECT_TRUE(QRect(20, 10, 15, 8).contains(clipped));
    Image.fill(White);
    rect = QRect(20, 10, 15, 8);
    DrawTextEx(*Canvas, text, rect, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(RectRight(ChangedArea(Image)), 35);
}

TEST_F(TextDraw, CanvasClipAppliesToText)
{
    Canvas->SetClipRect(QRect(0, 0, 10, 60));
    QRect rect(0, 0, 200, 60);
    DrawTextEx(*Canvas, QStringLiteral("WWWWWW"), rect, DT_SINGLELINE);
    Canvas->TextOut(0, 30, QStringLiteral("WWWWWW"));
    const QRect drawn = ChangedArea(Image);
    EXPECT_FALSE(drawn.isEmpty());
    EXPECT_LE(RectRight(drawn), 10);
}

} // namespace

namespace
{

TEST_F(TextDraw, RotatedTextRunsUpwards)
{
    Canvas->SetTextRotation(900);
    const QString text = QStringLiteral("Upwards");
    Canvas->TextOut(20, 55, text);
    const QRect drawn = ChangedArea(Image);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_GT(drawn.height(), drawn.width());
    EXPECT_TRUE(QRect(19, 55 - Canvas->TextWidth(text) - 1, LineHeight() + 2, Canvas->TextWidth(text) + 2)
                    .contains(drawn));
    EXPECT_EQ(Canvas->Font()->Height(), -16); // the font object itself is not rotated
}

} // namespace
