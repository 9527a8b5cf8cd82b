// The label's drawing on real surfaces: where the text and its reflection go,
// and the exact pixels of the fade over the background.
#include "markup/label/label_rendering.h"

#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_fade.h"
#include "toolkit/graphics/font.h"

#include <QImage>
#include <gtest/gtest.h>

namespace
{
constexpr QRgb White = 0xFFFFFFFFu;

struct TLabelSurface {
    TLabelRendering Rendering;
    QImage Surface;

    TLabelSurface(int Width, int Height) : Surface(Width, Height, QImage::Format_RGB32)
    {
        RegisterTahomaFont();
        Rendering.Font()->SetName(QStringLiteral("Tahoma"));
        Rendering.Font()->SetHeight(-27);
        Rendering.Font()->SetColor(clBlack);
    }
    void Paint(const QString& Markup) { Rendering.Paint(Surface, Markup, QPoint(-1, -1), -1, false); }
};
} // namespace

TEST(LabelRendering, AlignedParagraphsMoveTheReflectionUnderTheText)
{
    struct Case {
        const char* name;
        const char* markup;
        int freeShare; // MarkupLeft as a share of the free width: 0, 1 (half) or 2 (all)
    };
    const Case cases[] = {
        {"plain text", "Reflection", 0},
        {"centred", "<p align=\"center\">Reflection</p>", 1},
        {"centred, blanks around =", "<P ALIGN = \"Center\">Reflection</P>", 1},
        {"centred then right-aligned", "<p align=\"center\">A</p><p align=\"right\">Reflection</p>", 1},
        {"right-aligned", "<p align=\"right\">Reflection</p>", 2},
    };
    // Both parities of the free width, so that halving is seen to truncate.
    for (const Case& c : cases)
        for (int width : {400, 401}) {
            SCOPED_TRACE(std::string(c.name) + ", width " + std::to_string(width));
            TLabelSurface label(width, 120);
            label.Paint(QString::fromLatin1(c.markup));
            ASSERT_TRUE(label.Rendering.HasReflection());
            const int freeWidth = width - label.Rendering.MarkupWidth();
            ASSERT_GT(freeWidth, 0);
            const int expected = c.freeShare == 0 ? 0 : c.freeShare == 1 ? freeWidth / 2 : freeWidth;
            EXPECT_EQ(label.Rendering.MarkupLeft(), expected);
            // Nothing of the reflection lies left of the text area.
            const int firstReflectionRow = label.Rendering.MarkupHeight();
            for (int x = 0; x < expected; ++x)
                ASSERT_EQ(label.Surface.pixel(x, firstReflectionRow), White) << "x " << x;
        }
}

TEST(LabelRendering, MirroredRowsFadeOverTheBackground)
{
    struct Case {
        const char* name;
        TColor background;
        TReflectionParameters parameters; // size, start, end, axis
    };
    const Case cases[] = {
        {"label defaults over white", clWhite, LabelReflectionDefaults},
        {"strong fade below a gap over navy", clNavy, {30, 255, 40, 3}},
        {"no visible rows", clYellow, {0, 255, 255, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLabelSurface label(240, 120);
        label.Rendering.Background = c.background;
        label.Rendering.Parameters = c.parameters;
        label.Paint(QStringLiteral("<font color=\"clRed\">Hello</font> <b>World</b>"));
        const int w = label.Rendering.MarkupWidth();
        const int h = label.Rendering.MarkupHeight();
        ASSERT_GT(w, 0);
        const QRgb background = ColorToQColor(c.background).rgb();

        // Text rows above: red and black glyph pixels over the background.
        bool red = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                red = red || label.Surface.pixel(x, y) == 0xFFFF0000u;
        EXPECT_TRUE(red);

        // Below the text, each row is the text row it mirrors, with its alpha
        // scaled by that row's opacity, over the background.
        const int axis = c.parameters.Axis;
        for (int y = std::max(h, h + axis); y < label.Surface.height(); ++y) {
            const int row = y - (h + axis);
            const int opacity = row < h ? ReflectionRowOpacity(row, c.parameters) : 0;
            for (int x = 0; x < w; ++x) {
                const QRgb mirrored = row < h ? label.Surface.pixel(x, h - 1 - row) : background;
                const QRgb scaled = (QRgb(ScaledAlphaTable(opacity)[255]) << 24) | (mirrored & 0xFFFFFFu);
                const QRgb expected =
                    row < h && opacity > 0 ? BlendArgbOver(scaled, background) | 0xFF000000u : background;
                ASSERT_EQ(label.Surface.pixel(x, y), expected) << "x " << x << ", y " << y;
            }
        }
    }
}

TEST(LabelRendering, OpacityRebuildNeverMirrorsAnEarlierReflection)
{
    // With the reflection starting behind the text, the screen's text area
    // holds reflection rows; rebuilding from the last capture must give what
    // a fresh label with the new opacity gives.
    TLabelSurface changed(200, 100);
    changed.Paint(QStringLiteral("Glossy"));
    changed.Rendering.Parameters.OpacityStart = 255;
    changed.Rendering.RebuildFromLastCapture();
    changed.Paint(QStringLiteral("Glossy"));

    TLabelSurface fresh(200, 100);
    fresh.Rendering.Parameters.OpacityStart = 255;
    fresh.Paint(QStringLiteral("Glossy"));
    EXPECT_TRUE(changed.Surface == fresh.Surface);
}

TEST(LabelRendering, OnlyWebAndMailAddressesMayBeOpened)
{
    const std::pair<const char*, bool> cases[] = {
        {"http://www.example.org/", true},
        {"https://example.org", true},
        {"ftp://files.example.org/a", true},
        {"mailto:me@example.org", true},
        {"MAILTO:me@example.org", false},
        {"HTTP://example.org", false},
        {"file:///etc/passwd", false},
        {"/usr/bin/xterm", false},
        {"word", false},
        {"javascript://x", false},
        {"http://", false},
        {" http://example.org", false},
    };
    for (const auto& [target, openable] : cases)
        EXPECT_EQ(IsOpenableAnchor(QString::fromLatin1(target)), openable) << target;
}

TEST(LabelRendering, TextWiderThanTheSurfaceCopiesOnlyWhatCanBeSeen)
{
    for (const char* markup :
         {"Reflectionreflectionreflection", "<p align=\"center\">Reflectionreflection</p>",
          "<p align=\"right\">Reflectionreflection</p>"}) {
        SCOPED_TRACE(markup);
        TLabelSurface label(100, 90);
        label.Paint(QString::fromLatin1(markup));
        ASSERT_GT(label.Rendering.MarkupWidth(), 100);
        EXPECT_EQ(label.Rendering.ReflectionBitmap().size(), QSize(100, label.Rendering.MarkupHeight()));
        // The mirrored text shows right under the text, across the surface.
        const int h = label.Rendering.MarkupHeight();
        int tinted = 0;
        for (int x = 0; x < 100; ++x)
            tinted += label.Surface.pixel(x, h) != White;
        EXPECT_GT(tinted, 10);
    }
}

// The pictures a save writes: the whole area or only the text and its
// reflection, over the label's colour or without background, the fade then
// kept as alpha. Painting one leaves what the label shows untouched.
TEST(LabelRendering, PicturesTrimAndDropTheBackgroundKeepingTheFade)
{
    const QRgb yellow = 0xFFFFFF00u;
    struct Case {
        const char* name;
        const char* markup;
        bool trim, transparent;
    };
    const Case cases[] = {
        {"whole area", "Hi <b>there</b>", false, false},
        {"trimmed", "Hi <b>there</b>", true, false},
        {"transparent", "Hi <b>there</b>", false, true},
        {"trimmed and transparent", "Hi <b>there</b>", true, true},
        {"centred and trimmed", "<p align=\"center\">Hi</p>", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLabelSurface label(400, 150);
        label.Rendering.Background = clYellow;
        label.Paint(QStringLiteral("Shown <i>before</i>"));
        const int shownWidth = label.Rendering.MarkupWidth();
        const QImage shownReflection = label.Rendering.ReflectionBitmap();

        const QString markup = QString::fromLatin1(c.markup);
        QString reason;
        const QImage picture = label.Rendering.Picture(
            markup, QSize(400, 150), {.Trim = c.trim, .Transparent = c.transparent}, &reason);
        ASSERT_FALSE(picture.isNull()) << reason.toStdString();
        EXPECT_EQ(label.Rendering.MarkupWidth(), shownWidth);
        EXPECT_TRUE(label.Rendering.ReflectionBitmap() == shownReflection);

        // The same text laid out on its own gives the trimmed area.
        TLabelSurface alone(400, 150);
        alone.Paint(markup);
        const int height = alone.Rendering.MarkupHeight();
        const TReflectionParameters& values = alone.Rendering.Parameters;
        const int bottom = height + values.Axis + std::min(values.Size, height);
        EXPECT_EQ(picture.size(), c.trim ? QSize(alone.Rendering.MarkupWidth(), bottom) : QSize(400, 150));
        EXPECT_EQ(picture.hasAlphaChannel(), c.transparent);

        // Background: transparent or the label's colour; text: opaque ink;
        // the reflection's first visible row: partly transparent.
        const QRgb corner = picture.pixel(picture.width() - 1, 0);
        EXPECT_EQ(corner, c.transparent ? 0u : yellow);
        int opaqueDark = 0, faded = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                opaqueDark += qAlpha(p) == 255 && qGray(p) < 60;
                faded += y >= height && qAlpha(p) > 0 && qAlpha(p) < 255;
            }
        EXPECT_GT(opaqueDark, 20);
        EXPECT_EQ(faded > 0, c.transparent);

        // Formats without alpha get the label's colour behind, not white.
        const QImage flat = PictureForFormat(picture, ImageSaveFormat::Jpeg, clYellow);
        EXPECT_FALSE(flat.hasAlphaChannel());
        EXPECT_EQ(flat.pixel(flat.width() - 1, 0), yellow);
        EXPECT_TRUE(PictureForFormat(picture, ImageSaveFormat::Png, clYellow) == picture);
    }
}

// A picture shorter than its one tall line keeps only the rows it can show:
// each must be the same as in a picture tall enough for the whole line and
// its reflection, around the height where the reflection leaves the picture.
// (A line that starts below the picture is not laid out at all.)
TEST(LabelRendering, PictureShorterThanItsTextShowsTheSameRows)
{
    const QString markup = QStringLiteral("<font size=\"60\">Tall</font> <b>line</b>");
    struct Case {
        const char* name;
        int axis, size;
        bool transparent;
    };
    const Case cases[] = {
        {"reflection over the text", -7, 20, false},
        {"reflection touching it", 0, 20, false},
        {"reflection apart", 5, 60, false},
        {"without background", 1, 40, true},
    };
    for (const Case& c : cases) {
        TLabelSurface label(300, 400);
        label.Rendering.Parameters.Axis = c.axis;
        label.Rendering.Parameters.Size = c.size;
        QString reason;
        const TLabelPictureOptions options{.Trim = false, .Transparent = c.transparent};
        const QImage whole = label.Rendering.Picture(markup, QSize(300, 400), options, &reason);
        ASSERT_FALSE(whole.isNull()) << reason.toStdString();
        label.Paint(markup);
        const int textHeight = label.Rendering.MarkupHeight();
        ASSERT_LT(textHeight + c.axis + c.size, 400);
        for (int height : {textHeight / 2, textHeight + c.axis - 1, textHeight + c.axis,
                           textHeight + c.axis + 1, textHeight + c.axis + c.size / 2}) {
            SCOPED_TRACE(std::string(c.name) + ", height " + std::to_string(height));
            const QImage part = label.Rendering.Picture(markup, QSize(300, height), options, &reason);
            ASSERT_FALSE(part.isNull()) << reason.toStdString();
            EXPECT_TRUE(part == whole.copy(0, 0, 300, height));
        }
    }
}
