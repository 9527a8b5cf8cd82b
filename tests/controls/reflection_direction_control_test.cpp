// The side of a control's reflection: stored by a layout only when not
// below, and painted where the saved file has it.
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "controls/register_controls.h"
#include "imaging/reflection/reflection_composer.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_text_parser.h"
#include "toolkit/layout/layout_writer.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace
{
class ReflectionDirectionControl : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { RegisterControls(); }
};

TEST_F(ReflectionDirectionControl, ALayoutStoresTheSideOnlyWhenNotBelow)
{
    const struct {
        const char* ClassName;
        const char* Stored;
        TReflectionSide Read;
    } cases[] = {
        {"TOrbReflectionImage", "", TReflectionSide::below},
        {"TOrbReflectionImage", "ReflectionDirection = above\n", TReflectionSide::above},
        {"TOrbReflectionImage", "ReflectionDirection = left\n", TReflectionSide::left},
        {"TOrbReflectionLabel", "ReflectionDirection = right\n", TReflectionSide::right},
        {"TOrbReflectionLabel", "ReflectionDirection = below\n", TReflectionSide::below},
    };
    for (const auto& c : cases) {
        const QString text = QStringLiteral("object Control1: %1\n%2end\n")
                                 .arg(QLatin1String(c.ClassName), QLatin1String(c.Stored));
        std::unique_ptr<QObject> control(ReadLayout(LayoutTextToBinary(text), nullptr));
        ASSERT_NE(control, nullptr) << c.Stored;
        EXPECT_EQ(control->property("ReflectionDirection").value<TReflectionSide>(), c.Read) << c.Stored;
        const QByteArray written = WriteLayout(control.get());
        EXPECT_EQ(written.contains("ReflectionDirection"), c.Read != TReflectionSide::below) << c.Stored;
        std::unique_ptr<QObject> again(ReadLayout(written, nullptr));
        EXPECT_EQ(again->property("ReflectionDirection").value<TReflectionSide>(), c.Read) << c.Stored;
    }
}

QImage OverWhite(const QImage& Image)
{
    QImage out(Image.size(), QImage::Format_ARGB32);
    out.fill(Qt::white);
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            out.setPixel(x, y, BlendArgbOver(Image.pixel(x, y), 0xFFFFFFFFu));
    return out;
}

// What the control shows over white is what it saves, over white, on every
// side: the picture where the file has it, the reflection beside it.
TEST_F(ReflectionDirectionControl, PaintsTheReflectionWhereItSavesIt)
{
    const QByteArray file = ReadFileBytes(TestDataPath(QStringLiteral("pictures/edge-rgba-37x23.png")));
    QTemporaryDir folder;
    for (const TReflectionSide side :
         {TReflectionSide::below, TReflectionSide::above, TReflectionSide::left, TReflectionSide::right}) {
        for (const int axis : {3, -5}) {
            TOrbReflectionImage control;
            control.SetReflectionSize(30);
            control.SetReflectionAxis(axis);
            control.SetReflectionBlur(side == TReflectionSide::left ? 4 : 0);
            control.SetReflectionDirection(side);
            QByteArray copy = file;
            QBuffer buffer(&copy);
            buffer.open(QIODevice::ReadOnly);
            control.Picture()->LoadStream(&buffer);
            const QString path = folder.filePath(QStringLiteral("saved.png"));
            QString reason;
            ASSERT_TRUE(control.SaveReflection(path, ImageSaveFormat::Png, &reason)) << reason.toStdString();
            const QImage saved = OverWhite(QImageReader(path).read().convertToFormat(QImage::Format_ARGB32));
            control.resize(saved.size());
            QImage screen(saved.size(), QImage::Format_ARGB32);
            screen.fill(Qt::white);
            control.render(&screen, QPoint(), QRegion(), QWidget::DrawChildren);
            int worst = 0;
            for (int y = 0; y < saved.height(); ++y)
                for (int x = 0; x < saved.width(); ++x) {
                    const QRgb a = screen.pixel(x, y), b = saved.pixel(x, y);
                    worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                      std::abs(qBlue(a) - qBlue(b))});
                }
            // Drawing goes through premultiplied pixels: a step or two.
            EXPECT_LE(worst, 2) << "side " << int(side) << " axis " << axis;
            // Painted in parts, as a scrolled view asks, it is the same:
            // each part's blocks are made for that part alone.
            const QRect whole(QPoint(0, 0), saved.size());
            const auto painted = [&control, &whole](const QRect& Part) {
                QImage image(whole.size(), QImage::Format_ARGB32);
                image.fill(Qt::white);
                QPainter painter(&image);
                painter.setClipRect(Part);
                TCanvas canvas(&painter);
                control.DrawArea(canvas, Part);
                return image;
            };
            QImage parts(whole.size(), QImage::Format_ARGB32);
            QPainter gather(&parts);
            for (const QRect& part : {whole.adjusted(0, 0, -whole.width() / 3, -whole.height() / 2),
                                      whole.adjusted(whole.width() * 2 / 3, 0, 0, 0),
                                      whole.adjusted(0, whole.height() / 2, -whole.width() / 3, 0)})
                gather.drawImage(part, painted(part), part);
            gather.end();
            EXPECT_EQ(parts, painted(whole)) << "side " << int(side) << " axis " << axis;
        }
    }
}
} // namespace
