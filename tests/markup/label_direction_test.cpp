// The label's reflection on each side: the mirror over the text, or beside
// it, the text moved to leave it room, and the trimmed picture following.
#include "markup/label/label_rendering.h"

#include "imaging/reflection/reflection_direction.h"
#include "toolkit/graphics/font.h"

#include <QImage>
#include <gtest/gtest.h>

namespace
{
QImage TrimmedLabel(const QString& Markup, TReflectionDirection Side)
{
    RegisterTahomaFont();
    TLabelRendering rendering;
    rendering.Font()->SetName(QStringLiteral("Tahoma"));
    rendering.Font()->SetHeight(-27);
    rendering.Font()->SetColor(clBlack);
    // An opaque fade as long as the text: the reflection is the exact mirror.
    rendering.Parameters = {.Size = 10'000, .OpacityStart = 255, .OpacityEnd = 255, .Axis = 0};
    rendering.Parameters.Direction = Side;
    const QSize fitting = rendering.FittingSize(Markup);
    return rendering.Picture(Markup, fitting, {.Trim = true}).convertToFormat(QImage::Format_RGB32);
}
} // namespace

TEST(LabelDirection, TheMirrorLiesOnItsSideAndTheTextBesideIt)
{
    for (const char* markup : {"Reflection", "<p align=\"center\">Two<br>lines</p>"}) {
        const QImage below = TrimmedLabel(QString::fromLatin1(markup), TReflectionDirection::Below);
        ASSERT_FALSE(below.isNull());
        ASSERT_EQ(below.height() % 2, 0);
        // The text alone: the top half of the picture below.
        const QImage text = below.copy(0, 0, below.width(), below.height() / 2);
        const QSize tall(text.width(), 2 * text.height()), wide(2 * text.width(), text.height());
        const struct {
            TReflectionDirection Side;
            QSize Size;
            QPoint Text, Mirror;
            bool Horizontally, Vertically; // how the mirror is flipped
        } cases[] = {
            {TReflectionDirection::Below, tall, {0, 0}, {0, text.height()}, false, true},
            {TReflectionDirection::Above, tall, {0, text.height()}, {0, 0}, false, true},
            {TReflectionDirection::Left, wide, {text.width(), 0}, {0, 0}, true, false},
            {TReflectionDirection::Right, wide, {0, 0}, {text.width(), 0}, true, false},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << markup << ", " << ReflectionDirectionInfo(c.Side).Name);
            const QImage picture = TrimmedLabel(QString::fromLatin1(markup), c.Side);
            ASSERT_EQ(picture.size(), c.Size);
            EXPECT_EQ(picture.copy(QRect(c.Text, text.size())), text);
            EXPECT_EQ(picture.copy(QRect(c.Mirror, text.size())),
                      text.mirrored(c.Horizontally, c.Vertically));
        }
    }
}
