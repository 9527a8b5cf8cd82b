// A reflection on any side is the reflection below of the picture turned so
// that side is at the bottom, turned back: T⁻¹(below(T(P))), pixel for
// pixel, on every road a file or a picture in memory can take. The turns
// are written here pixel by pixel from their definition, apart from the
// code under test.
#include "imaging/codecs/image_decoding.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/saving/file_reflection.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/saving_plan.h"
#include "tests/support/naive_reflection.h"
#include "tests/support/test_data.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
// T: above a vertical flip, right a transpose, left a transpose after a
// horizontal flip. Back: its inverse.
QImage Turned(const QImage& In, TReflectionDirection Direction, bool Back)
{
    const bool sideways = Direction == TReflectionDirection::Left || Direction == TReflectionDirection::Right;
    QImage out(sideways ? In.height() : In.width(), sideways ? In.width() : In.height(),
               QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            QPoint from(x, y);
            if (Direction == TReflectionDirection::Above)
                from = {x, In.height() - 1 - y};
            else if (Direction == TReflectionDirection::Right)
                from = {y, x};
            else if (Direction == TReflectionDirection::Left)
                from = Back ? QPoint(y, In.height() - 1 - x) : QPoint(In.width() - 1 - y, x);
            out.setPixel(x, y, In.pixel(from));
        }
    return out;
}

QImage Decoded(const QByteArray& File)
{
    return DecodeImage(File).Image.convertToFormat(QImage::Format_ARGB32);
}

TFileReflection Write(const QByteArray& File, const TReflectionParameters& Values, const QString& Path,
                      TReflectionRoad Road)
{
    TSaveRequest request;
    request.Input = &File;
    request.Reflection = Values;
    request.Sink.FileName = Path;
    request.Road = Road;
    return WriteFileReflection(request);
}

// Longer than the pictures, behind them, opaque to the end, blurred and
// squashed (behind, and longer than the picture).
constexpr TReflectionParameters Values[] = {
    {.Size = 333, .OpacityStart = 255, .OpacityEnd = 0, .Axis = 1},
    {.Size = 40, .OpacityStart = 200, .OpacityEnd = 10, .Axis = -7},
    {.Size = 12, .OpacityStart = 255, .OpacityEnd = 255, .Axis = 0},
    {.Size = 60, .OpacityStart = 200, .OpacityEnd = 10, .Axis = -9, .Blur = 7, .Scale = 40},
    {.Size = 500, .OpacityStart = 120, .OpacityEnd = 1, .Axis = 3, .Blur = 30, .Scale = 10},
};

class ReflectionDirection : public ::testing::TestWithParam<const char*>
{
};

TEST_P(ReflectionDirection, IsTheTurnedReflectionBelowOfTheTurnedPicture)
{
    const QByteArray file = ReadFileBytes(TestDataPath(QString::fromLatin1(GetParam())));
    const QImage picture = Decoded(file);
    ASSERT_FALSE(picture.isNull());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("out.png"));
    for (const TReflectionDirectionInfo& side : ReflectionDirections)
        for (const TReflectionParameters& below : Values) {
            TReflectionParameters values = below;
            values.Direction = side.Direction;
            SCOPED_TRACE(testing::Message() << side.Name << " size " << values.Size << " axis " << values.Axis
                                            << " blur " << values.Blur << " scale " << values.Scale);
            const QImage expected =
                Turned(RenderReflection(Turned(picture, side.Direction, false), below), side.Direction, true);
            ExpectSameBits(RenderReflection(picture, values), expected);
            ExpectSameBits(Decoded(EncodeReflectionPng(picture, values)), expected);
            for (const TReflectionRoad road : {TReflectionRoad::Fastest, TReflectionRoad::WholePicture}) {
                const TFileReflection written = Write(file, values, path, road);
                ASSERT_EQ(written.Status, TGpStatus::Ok) << written.Failure.Text.toStdString();
                ExpectSameBits(Decoded(ReadFileBytes(path)), expected);
                EXPECT_EQ(DescribeSavingPlan(written.Plan).contains(QLatin1String(side.Name)),
                          side.Direction != TReflectionDirection::Below);
            }
        }
}

INSTANTIATE_TEST_SUITE_P(RealPictures, ReflectionDirection,
                         ::testing::Values("rounded-rgba-130x110.png", "pictures/edge-rgba-37x23.png",
                                           "pictures/corner-palette-40x31.png", "pictures/one-rgba-1x1.png",
                                           "pictures/black-white-2x1.png"),
                         [](const auto& Info) { return std::to_string(Info.index); });

// Left and right take one row and give one row; above keeps only the rows
// its reflection is made from. A file whose rows the streamed road takes
// keeps that road on every side but a styled left or right.
TEST(ReflectionDirectionRoad, StreamsEverySideItCanComposeRowByRow)
{
    const QByteArray file = ReadFileBytes(TestDataPath(QStringLiteral("soft-edges-rgba-200x150.png")));
    QTemporaryDir folder;
    for (const TReflectionDirectionInfo& side : ReflectionDirections)
        for (const TReflectionParameters& below : Values) {
            TReflectionParameters values = below;
            values.Direction = side.Direction;
            const TFileReflection written =
                Write(file, values, folder.filePath(QStringLiteral("out.png")), TReflectionRoad::Fastest);
            const bool styled = values.Blur > 0 || values.Scale < 100;
            const bool opaqueEnd = values.OpacityEnd == 255;
            EXPECT_EQ(written.Plan.Read == TReadRoad::Streamed, !opaqueEnd && !(side.Sideways && styled))
                << side.Name << ": " << DescribeSavingPlan(written.Plan).toStdString();
        }
}
} // namespace
