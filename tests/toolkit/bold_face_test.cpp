// Bold text in the window's Tahoma looks bold: heavier strokes from the
// font engine, with the advances and heights of the bold font file kept.
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/engine_bold_face.h"

#include "tests/support/image_test_helpers.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/font_cell_metrics.h"

#include <QFile>
#include <QRawFont>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{
const QString BoldFile = QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf");

struct BoldCase {
    const char* Name;
    int Height; // the font's logical height: negative for the em size in pixels
    QString Word;
};
void PrintTo(const BoldCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

// The darkness of Word drawn black on white, in whole pixels.
double Ink(const QString& Word, int Height, bool Bold)
{
    QImage image = MakeImage(Height * -12 + 40, Height * -3 + 20);
    TCanvas canvas(&image);
    canvas.Font()->SetHeight(Height);
    canvas.Font()->SetColor(clBlack);
    canvas.Font()->SetStyle(Bold ? TFont::TFontStyles(TFont::fsBold) : TFont::TFontStyles());
    canvas.Brush()->SetColor(clNone);
    canvas.TextOut(4, 4, Word);
    double ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    return ink / 255;
}

class TahomaBold : public ::testing::TestWithParam<BoldCase>
{
  protected:
    void SetUp() override
    {
        if (!QFile::exists(BoldFile))
            GTEST_SKIP() << "Wine's Tahoma is not installed";
        ASSERT_TRUE(RegisterTahomaFont());
    }
};

TEST_P(TahomaBold, InksClearlyMoreThanRegular)
{
    const BoldCase& c = GetParam();
    const double regular = Ink(c.Word, c.Height, false);
    const double bold = Ink(c.Word, c.Height, true);
    ASSERT_GT(regular, 0);
    EXPECT_GE(bold / regular, 1.3) << "regular " << regular << ", bold " << bold;
}

TEST_P(TahomaBold, KeepsTheAdvancesAndHeightsOfTheBoldFile)
{
    const BoldCase& c = GetParam();
    TFont font;
    font.SetHeight(c.Height);
    font.SetStyle(TFont::fsBold);
    QImage scratch = MakeImage(1, 1);
    TCanvas canvas(&scratch);
    canvas.Font()->CopyFrom(&font);

    QFile file(BoldFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QRawFont original(file.readAll(), -c.Height);
    ASSERT_TRUE(original.isValid());
    const QList<quint32> glyphs = original.glyphIndexesForString(c.Word);
    double advance = 0;
    for (const QPointF& step : original.advancesForGlyphIndexes(glyphs))
        advance += step.x();
    EXPECT_NEAR(canvas.TextWidth(c.Word), advance, 1.0);

    const QByteArray os2 = original.fontTable("OS/2");
    ASSERT_GE(os2.size(), 78);
    const double scale = original.pixelSize() / original.unitsPerEm();
    const int cell = qRound(qFromBigEndian<quint16>(os2.constData() + 74) * scale) +
                     qRound(qFromBigEndian<quint16>(os2.constData() + 76) * scale);
    EXPECT_EQ(FontCellMetrics(font.ToQFont()).Height(), cell);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TahomaBold,
                         ::testing::Values(BoldCase{"window text 8 points", -11, QStringLiteral("bright")},
                                           BoldCase{"label default 20 points", -27, QStringLiteral("bright")},
                                           BoldCase{"capitals", -27, QStringLiteral("REFLECTION")},
                                           BoldCase{"large 60 points", -80, QStringLiteral("Wave")}),
                         CaseName<BoldCase>);

struct FaceCase {
    const char* Name;
    QByteArray File;
    bool Emboldened;
};

// Bytes that are not a font with an OS/2 table are refused, never read past.
TEST(EngineEmboldenedFace, ChangesOnlyTheWeightAndBoldBitOfAnOs2Table)
{
    QByteArray font(12 + 16 + 64, '\0');
    qToBigEndian<quint16>(1, font.data() + 4);
    font.replace(12, 4, "OS/2");
    qToBigEndian<quint32>(28, font.data() + 12 + 8);
    qToBigEndian<quint16>(700, font.data() + 28 + 4);
    qToBigEndian<quint16>(0xA0, font.data() + 28 + 62);
    QByteArray pointingPast = font;
    qToBigEndian<quint32>(60, pointingPast.data() + 12 + 8);
    QByteArray manyTables = font.left(12);
    qToBigEndian<quint16>(5000, manyTables.data() + 4);

    const FaceCase cases[] = {
        {"bold OS/2 table", font, true},
        {"table beyond the end", pointingPast, false},
        {"more tables than bytes", manyTables, false},
        {"empty", QByteArray(), false},
        {"header only", QByteArray(11, 'x'), false},
    };
    for (const FaceCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QByteArray face = EngineEmboldenedFace(c.File);
        ASSERT_EQ(!face.isEmpty(), c.Emboldened);
        if (!c.Emboldened)
            continue;
        EXPECT_EQ(qFromBigEndian<quint16>(face.constData() + 28 + 4), 600);
        EXPECT_EQ(qFromBigEndian<quint16>(face.constData() + 28 + 62), 0x80);
        EXPECT_EQ(face.size(), c.File.size());
        QByteArray rest = face;
        rest.replace(28 + 4, 2, c.File.mid(28 + 4, 2)).replace(28 + 62, 2, c.File.mid(28 + 62, 2));
        EXPECT_EQ(rest, c.File);
    }
}

} // namespace
