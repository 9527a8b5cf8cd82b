// The saving roads that spare memory write what the plain roads write: WebP
// from planes converted band by band, formats without alpha flattened where
// the composition lies; and a save reserves memory for the road it takes.
#include "imaging/saving/encoder_memory.h"

#include "imaging/codecs/flatten_over_white.h"
#include "imaging/codecs/webp_writer.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/saving_plan.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <webp/encode.h>

namespace
{
// libwebp's own conversion of the whole picture: the file WriteWebpImage
// wrote when it handed the encoder a copy of every pixel.
QByteArray WebpOfWholeCopy(const QImage& Argb, int Quality)
{
    WebPConfig config;
    const bool lossless = Quality >= 100;
    EXPECT_TRUE(WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, lossless ? 75.0f : float(Quality)));
    config.lossless = lossless ? 1 : 0;
    config.exact = lossless ? 1 : 0;
    WebPPicture picture;
    WebPPictureInit(&picture);
    WebPMemoryWriter output;
    WebPMemoryWriterInit(&output);
    picture.use_argb = 1;
    picture.width = Argb.width();
    picture.height = Argb.height();
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &output;
    EXPECT_TRUE(WebPPictureImportBGRA(&picture, Argb.constBits(), int(Argb.bytesPerLine())));
    EXPECT_TRUE(WebPEncode(&config, &picture));
    const QByteArray bytes(reinterpret_cast<const char*>(output.mem), qsizetype(output.size));
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&output);
    return bytes;
}

QByteArray Written(const QImage& Image, int Quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString reason;
    EXPECT_TRUE(WriteWebpImage(Image, &buffer, Quality, &reason)) << reason.toStdString();
    return bytes;
}

// Odd sides, several bands, fully transparent 8 × 8 blocks beside
// translucent and opaque ones, colour under transparency.
QImage TransparentBlocks()
{
    QImage image(203, 151, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = (x / 24 + y / 40) % 3 == 0 ? 0 : (x / 24) % 3 == 1 ? 255 : (x * 3 + y) % 256;
            image.setPixel(x, y, qRgba((x * 5) % 256, (y * 7) % 256, (x * y) % 256, alpha));
        }
    return image;
}

QImage PhotoReflection()
{
    TReflectionParameters values = WindowStartReflection;
    values.Axis = 9; // transparent rows between the photo and its reflection
    return RenderReflection(LoadTestImage(QStringLiteral("photo-opaque-320x240.jpg")), values);
}

struct TWebpCase {
    const char* Name;
    QImage (*Picture)();
    int Quality;
};
} // namespace

class WebpWithoutCopy : public ::testing::TestWithParam<TWebpCase>
{
};

TEST_P(WebpWithoutCopy, WritesTheFileOfTheWholePicturesCopy)
{
    const QImage picture = GetParam().Picture();
    ASSERT_EQ(picture.format(), QImage::Format_ARGB32);
    const QImage before = picture.copy();
    EXPECT_EQ(Written(picture, GetParam().Quality), WebpOfWholeCopy(picture, GetParam().Quality));
    EXPECT_EQ(picture, before) << "the writer changed the pixels it was given";
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, WebpWithoutCopy,
    ::testing::Values(TWebpCase{"blocks_lossy", TransparentBlocks, 80},
                      TWebpCase{"blocks_lossless", TransparentBlocks, 100},
                      TWebpCase{"photo_reflection_lossy", PhotoReflection, 80},
                      TWebpCase{"photo_reflection_lossless", PhotoReflection, 100},
                      TWebpCase{"opaque_photo_lossy",
                                [] {
                                    return LoadTestImage(QStringLiteral("photo-opaque-320x240.jpg"))
                                        .convertToFormat(QImage::Format_ARGB32);
                                },
                                80},
                      TWebpCase{"soft_edges_lossy",
                                [] { return LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png")); },
                                30}),
    CaseName<TWebpCase>);

TEST(FlattenInPlace, GivesThePixelsOfTheFlattenedCopy)
{
    for (const QImage& picture : {TransparentBlocks(), PhotoReflection()}) {
        QImage inPlace = picture.copy();
        FlattenOverWhiteInPlace(inPlace);
        const QImage copy = FlattenOverWhite(picture);
        ASSERT_EQ(inPlace.format(), QImage::Format_RGB32);
        EXPECT_EQ(inPlace, copy);
    }
}

TEST(FlattenInPlace, LeavesACompositionSharedWithTheCallerAlone)
{
    const QImage composed = PhotoReflection();
    const QImage before = composed.copy();
    for (const ImageSaveFormat format : {ImageSaveFormat::Jpeg, ImageSaveFormat::Gif, ImageSaveFormat::Bmp}) {
        QByteArray shared, handedOver;
        QBuffer first(&shared), second(&handedOver);
        first.open(QIODevice::WriteOnly);
        second.open(QIODevice::WriteOnly);
        ASSERT_EQ(EncodeReflection(composed, format, &first), TGpStatus::Ok);
        ASSERT_EQ(EncodeReflection(composed.copy(), format, &second), TGpStatus::Ok);
        EXPECT_EQ(composed, before);
        EXPECT_EQ(shared, handedOver) << "format " << int(format);
    }
}

TEST(EncoderMemory, ReservesForTheRowRoadThePlanTakes)
{
    const QSize size(120, 80);
    for (const TReflectionParameters& values :
         {WindowStartReflection, TReflectionParameters{.Size = 30, .OpacityStart = 255, .OpacityEnd = 255},
          TReflectionParameters{},
          TReflectionParameters{.Size = 10, .OpacityStart = 255, .OpacityEnd = 255, .Axis = 4},
          TReflectionParameters{
              .Size = 30, .OpacityStart = 200, .Blur = 4, .Direction = TReflectionDirection::Left},
          TReflectionParameters{.Size = 30, .OpacityStart = 200, .Direction = TReflectionDirection::Right}}) {
        TSaveRequest request;
        request.Reflection = values;
        TInputFacts facts;
        facts.Decoded = true;
        facts.Size = size;
        const TWriteRoad planned = PlanSaving(request, facts).Write;
        EXPECT_EQ(PngGoesInBands(size, values), planned == TWriteRoad::PngBands)
            << "size " << values.Size << ", axis " << values.Axis << ", side " << int(values.Direction);
        for (const ImageSaveFormat format :
             {ImageSaveFormat::Jpeg, ImageSaveFormat::Bmp, ImageSaveFormat::Tiff, ImageSaveFormat::Gif}) {
            request.Format = format;
            EXPECT_EQ(GoesInRows(format, values), PlanSaving(request, facts).Write == TWriteRoad::Rows)
                << "format " << int(format) << ", blur " << values.Blur << ", side " << int(values.Direction);
        }
    }
}

TEST(RenderReflection, ComposesWhatTheMirrorImageAndComposerMake)
{
    const QImage photo = LoadTestImage(QStringLiteral("photo-opaque-320x240.jpg"));
    const QImage cutOut = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    for (const TReflectionParameters& values :
         {WindowStartReflection, TReflectionParameters{.Size = 80, .OpacityStart = 200, .Axis = 3},
          TReflectionParameters{.Size = 500, .OpacityStart = 255, .OpacityEnd = 255, .Axis = -20},
          TReflectionParameters{
              .Size = 80, .OpacityStart = 120, .OpacityEnd = 1, .Axis = -5, .Blur = 12, .Scale = 60},
          TReflectionParameters{.Size = 500, .OpacityStart = 120, .OpacityEnd = 1, .Axis = 1, .Blur = 100},
          TReflectionParameters{}})
        for (const QImage& picture : {photo, cutOut}) {
            const QImage expected = ComposeReflection(picture, BuildReflectionImage(picture, values), values);
            EXPECT_EQ(RenderReflection(picture, values), expected)
                << "size " << values.Size << ", axis " << values.Axis << ", blur " << values.Blur;
        }
}
