// The JPEG, BMP and TIFF writers write Qt's own writers' bytes, whole image
// or row band by row band, and a save stops at a cancel.

#include "imaging/codecs/bmp_writer.h"
#include "imaging/codecs/flatten_over_white.h"
#include "imaging/codecs/jpeg_writer.h"
#include "imaging/codecs/tiff_writer.h"
#include "imaging/metadata/packet_embedding.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_progress.h"
#include "imaging/saving/saving_plan.h"
#include "tests/support/image_test_helpers.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace
{
// Photo-like: smooth gradients under noise, with translucent and
// transparent corners where Alpha asks for them.
QImage Photo(int Width, int Height, bool Alpha, quint32 Seed)
{
    QImage image(Width, Height, Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QRandomGenerator random(Seed);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const int noise = int(random.bounded(24));
            const int alpha = !Alpha ? 255 : x < Width / 4 ? (x * 255) / std::max(1, Width / 4) : 255;
            image.setPixel(x, y,
                           qRgba((x * 255 / Width + noise) & 0xff, (y * 255 / Height + noise / 2) & 0xff,
                                 ((x + y) * 3 + noise) & 0xff, alpha));
        }
    return image;
}

QByteArray QtFile(const QImage& Image, const char* Format, int Quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, Format);
    if (Quality >= 0)
        writer.setQuality(Quality);
    // As the savers asked Qt's TIFF writer: LZW.
    if (QByteArray(Format) == "tiff")
        writer.setCompression(1);
    writer.setOptimizedWrite(true);
    EXPECT_TRUE(writer.write(Image)) << writer.errorString().toStdString();
    return bytes;
}

struct TWholeCase {
    const char* Name;
    QSize Size;
    int Quality;
    int DotsPerMeterX, DotsPerMeterY;
    bool Text;
};

class RowWriterWholeImage : public ::testing::TestWithParam<TWholeCase>
{
};
} // namespace

TEST_P(RowWriterWholeImage, WritesQtsBytes)
{
    const TWholeCase& c = GetParam();
    QImage image = Photo(c.Size.width(), c.Size.height(), false, quint32(c.Quality + 7));
    image.setDotsPerMeterX(c.DotsPerMeterX);
    image.setDotsPerMeterY(c.DotsPerMeterY);
    if (c.Text) {
        image.setText(QStringLiteral("Title"), QStringLiteral("Reflet d’été"));
        image.setText(QStringLiteral("Author"), QStringLiteral("someone: else"));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString reason;
    ASSERT_TRUE(WriteJpegImage(image, &buffer, c.Quality, nullptr, nullptr, &reason)) << reason.toStdString();
    EXPECT_EQ(bytes, QtFile(image, "jpeg", c.Quality));

    QByteArray bmp;
    QBuffer bmpBuffer(&bmp);
    bmpBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteBmpImage(image, &bmpBuffer, &reason)) << reason.toStdString();
    EXPECT_EQ(bmp, QtFile(image, "bmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowWriterWholeImage,
    ::testing::Values(TWholeCase{"one pixel at 100, 96 dpi", {1, 1}, 100, 3780, 3780, false},
                      TWholeCase{"rows of 3 bytes padded, at 70", {5, 3}, 70, 3779, 3781, false},
                      TWholeCase{"odd size at 0", {257, 13}, 0, 3780, 3780, false},
                      TWholeCase{"default quality, 72 dpi across, 96 down", {64, 65}, -1, 2835, 3780, false},
                      TWholeCase{"at 50, 10 dots a centimetre", {123, 45}, 50, 1000, 1000, false},
                      TWholeCase{"at 90, no resolution", {40, 33}, 90, 0, 0, false},
                      TWholeCase{"at 99, 300 dpi, with text", {97, 31}, 99, 11811, 11811, true}),
    CaseName<TWholeCase>);

namespace
{
struct TTiffCase {
    const char* Name;
    QSize Size;
    bool Alpha;
    int DotsPerMeterX, DotsPerMeterY;
    QByteArray Icc;  // the packets' profile
    bool QtReadsIcc; // else left out with a warning
};

class TiffWriterWholeImage : public ::testing::TestWithParam<TTiffCase>
{
};
} // namespace

// Qt's writer took the profile as a colour space of the image.
TEST_P(TiffWriterWholeImage, WritesQtsBytes)
{
    const TTiffCase& c = GetParam();
    QImage image = Photo(c.Size.width(), c.Size.height(), c.Alpha, quint32(c.Size.width()))
                       .convertToFormat(QImage::Format_ARGB32);
    image.setDotsPerMeterX(c.DotsPerMeterX);
    image.setDotsPerMeterY(c.DotsPerMeterY);
    TImagePackets packets;
    packets.Icc = c.Icc;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString reason;
    QStringList warnings;
    ASSERT_TRUE(WriteTiffImage(image, &buffer, &packets, &warnings, &reason)) << reason.toStdString();
    QImage tagged = image;
    if (c.QtReadsIcc)
        tagged.setColorSpace(QColorSpace::fromIccProfile(c.Icc));
    EXPECT_EQ(bytes, QtFile(tagged, "tiff"));
    EXPECT_EQ(warnings.isEmpty(), c.Icc.isEmpty() || c.QtReadsIcc);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TiffWriterWholeImage,
    ::testing::Values(TTiffCase{"one pixel, 96 dpi", {1, 1}, true, 3780, 3780, {}, false},
                      TTiffCase{"opaque, odd size, 72 dpi across", {257, 13}, false, 2835, 3780, {}, false},
                      TTiffCase{"translucent, 10 dots a centimetre", {123, 45}, true, 1000, 1000, {}, false},
                      TTiffCase{"whole centimetres across only", {40, 33}, true, 1000, 1007, {}, false},
                      TTiffCase{"several strips", {1100, 1000}, true, 11811, 11811, {}, false},
                      TTiffCase{"a strip a row", {1048577, 2}, true, 3780, 3780, {}, false},
                      TTiffCase{"Display P3 profile",
                                {64, 65},
                                true,
                                3780,
                                3780,
                                QColorSpace(QColorSpace::DisplayP3).iccProfile(),
                                true},
                      TTiffCase{"Adobe RGB profile",
                                {31, 97},
                                false,
                                3780,
                                3780,
                                QColorSpace(QColorSpace::AdobeRgb).iccProfile(),
                                true},
                      TTiffCase{"a profile Qt cannot read",
                                {20, 10},
                                true,
                                3780,
                                3780,
                                QByteArrayLiteral("not a profile"),
                                false}),
    CaseName<TTiffCase>);

namespace
{
struct TTiffRefusal {
    const char* Name;
    QSize Size;
    int DotsPerMeter;
    int StopAtRow; // Feed says stop when asked for this row; -1: never
    bool ReasonGiven;
};

class TiffWriterRefuses : public ::testing::TestWithParam<TTiffRefusal>
{
};
} // namespace

// Nothing half-made comes back: an empty file, with libtiff's reason, or the
// caller's own when its rows stopped.
TEST_P(TiffWriterRefuses, GivesNoFile)
{
    const TTiffRefusal& c = GetParam();
    TTiffRowPicture picture;
    picture.Width = c.Size.width();
    picture.Height = c.Size.height();
    picture.DotsPerMeterX = picture.DotsPerMeterY = c.DotsPerMeter;
    picture.Feed = [&c](int First, int Count, std::uint32_t* Out, std::size_t Stride) {
        if (c.StopAtRow >= First && c.StopAtRow < First + Count)
            return false;
        for (int y = 0; y < Count; ++y)
            std::fill_n(Out + std::size_t(y) * Stride, Stride, 0x80406080u);
        return true;
    };
    QString reason = QStringLiteral("untouched");
    EXPECT_TRUE(TiffFromRows(picture, &reason).isEmpty());
    EXPECT_EQ(reason != QStringLiteral("untouched"), c.ReasonGiven) << reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, TiffWriterRefuses,
                         ::testing::Values(TTiffRefusal{"no rows", {5, 0}, 3780, -1, true},
                                           TTiffRefusal{
                                               "rows stopped in the second band", {40, 70}, 3780, 40, false},
                                           TTiffRefusal{"a negative resolution", {4, 4}, -3000, -1, true}),
                         CaseName<TTiffRefusal>);

namespace
{
struct TRowsCase {
    const char* Name;
    ImageSaveFormat Format;
    QSize Size;
    TReflectionParameters Values;
    int Quality;
    bool WithPackets;
};

class RowWriterComposedRows : public ::testing::TestWithParam<TRowsCase>
{
};
} // namespace

// The row road of a save gives the bytes Qt's writer gives for the whole
// composition flattened over white, packets spliced in after.
TEST_P(RowWriterComposedRows, WritesTheWholeCompositionsBytes)
{
    const TRowsCase& c = GetParam();
    const QImage picture = Photo(c.Size.width(), c.Size.height(), true, 3);
    TImagePackets input;
    if (c.WithPackets) {
        input.Xmp = QByteArrayLiteral("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>");
        input.Icc = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    }
    TSaveRequest request;
    request.Reflection = c.Values;
    request.Format = c.Format;
    request.Quality = c.Quality;
    request.Packets = &input;
    TInputFacts facts;
    facts.Decoded = true;
    facts.Size = picture.size();
    ASSERT_EQ(PlanSaving(request, facts).Write, TWriteRoad::Rows);
    QString reason;
    const QByteArray bytes = EncodeReflectionFile(picture, request, &reason);
    ASSERT_FALSE(bytes.isEmpty()) << reason.toStdString();

    if (c.Format == ImageSaveFormat::Tiff) {
        // The fade kept; the profile as Qt's writer took it, the XMP left out.
        QImage whole = RenderReflection(picture, c.Values);
        if (c.WithPackets)
            whole.setColorSpace(QColorSpace::fromIccProfile(input.Icc));
        EXPECT_EQ(bytes, QtFile(whole, "tiff"));
        return;
    }
    const QImage whole = FlattenOverWhite(RenderReflection(picture, c.Values));
    if (c.Format == ImageSaveFormat::Bmp) {
        EXPECT_EQ(bytes, QtFile(whole, "bmp"));
        return;
    }
    const QByteArray expected = QtFile(whole, "jpeg", c.Quality);
    EXPECT_EQ(bytes, c.WithPackets ? JpegWithPackets(expected, input) : expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowWriterComposedRows,
    ::testing::Values(
        TRowsCase{"JPEG, a third below at 100",
                  ImageSaveFormat::Jpeg,
                  {301, 97},
                  {.Size = 32, .OpacityStart = 200, .OpacityEnd = 0},
                  100,
                  false},
        TRowsCase{"JPEG, behind the picture at 75",
                  ImageSaveFormat::Jpeg,
                  {120, 90},
                  {.Size = 60, .OpacityStart = 255, .OpacityEnd = 30, .Axis = -20},
                  75,
                  false},
        TRowsCase{"JPEG, longer than the picture, more than a band tall, with packets",
                  ImageSaveFormat::Jpeg,
                  {77, 50},
                  {.Size = 500, .OpacityStart = 128, .OpacityEnd = 0, .Axis = 3},
                  90,
                  true},
        TRowsCase{"JPEG, no reflection at 10", ImageSaveFormat::Jpeg, {33, 70}, {.Size = 0}, 10, false},
        TRowsCase{"JPEG, blurred and squashed at 85",
                  ImageSaveFormat::Jpeg,
                  {90, 60},
                  {.Size = 50, .OpacityStart = 255, .OpacityEnd = 0, .Axis = 2, .Blur = 12, .Scale = 60},
                  85,
                  false},
        TRowsCase{
            "JPEG, reflection on the right",
            ImageSaveFormat::Jpeg,
            {50, 45},
            {.Size = 30, .OpacityStart = 255, .OpacityEnd = 0, .Direction = TReflectionDirection::Right},
            100,
            false},
        TRowsCase{
            "JPEG, reflection above",
            ImageSaveFormat::Jpeg,
            {64, 40},
            {.Size = 20, .OpacityStart = 255, .OpacityEnd = 0, .Direction = TReflectionDirection::Above},
            95,
            false},
        TRowsCase{"BMP, a third below",
                  ImageSaveFormat::Bmp,
                  {301, 97},
                  {.Size = 32, .OpacityStart = 200},
                  100,
                  false},
        TRowsCase{"BMP, odd width, blurred, longer than the picture",
                  ImageSaveFormat::Bmp,
                  {77, 50},
                  {.Size = 500, .OpacityStart = 128, .OpacityEnd = 0, .Axis = 3, .Blur = 6},
                  100,
                  false},
        TRowsCase{"BMP, reflection on the left",
                  ImageSaveFormat::Bmp,
                  {50, 45},
                  {.Size = 30, .OpacityStart = 255, .Direction = TReflectionDirection::Left},
                  100,
                  false},
        TRowsCase{"TIFF, a third below with a profile",
                  ImageSaveFormat::Tiff,
                  {301, 97},
                  {.Size = 32, .OpacityStart = 200, .OpacityEnd = 0},
                  100,
                  true},
        TRowsCase{"TIFF, behind the picture, blurred and squashed, several strips",
                  ImageSaveFormat::Tiff,
                  {1500, 800},
                  {.Size = 600, .OpacityStart = 255, .OpacityEnd = 30, .Axis = -20, .Blur = 8, .Scale = 70},
                  100,
                  false},
        TRowsCase{"TIFF, no reflection", ImageSaveFormat::Tiff, {33, 70}, {.Size = 0}, 100, false},
        TRowsCase{
            "TIFF, reflection above",
            ImageSaveFormat::Tiff,
            {64, 40},
            {.Size = 20, .OpacityStart = 255, .OpacityEnd = 0, .Direction = TReflectionDirection::Above},
            100,
            false},
        TRowsCase{"TIFF, reflection on the right",
                  ImageSaveFormat::Tiff,
                  {50, 45},
                  {.Size = 30,
                   .OpacityStart = 128,
                   .OpacityEnd = 0,
                   .Axis = 4,
                   .Direction = TReflectionDirection::Right},
                  100,
                  false}),
    CaseName<TRowsCase>);

namespace
{
struct TCancelCase {
    const char* Name;
    ImageSaveFormat Format;
    // From a composition made beforehand, as the window's save over another
    // background colour writes it.
    bool Composed = false;
};

class CancelledRowSave : public ::testing::TestWithParam<TCancelCase>
{
};
} // namespace

// The window's save thread: a cancel made once progress shows stops the
// encoder before the end, with nothing to write.
TEST_P(CancelledRowSave, StopsBeforeTheEnd)
{
    const QImage picture = Photo(3000, 2000, false, 11);
    TSaveRequest request;
    request.Reflection = {.Size = 400, .OpacityStart = 200, .OpacityEnd = 0};
    request.Format = GetParam().Format;
    TSaveProgress progress;
    std::atomic<bool> finished{false};
    std::thread canceller([&] {
        while (!finished.load() && progress.Done() <= 0.0)
            std::this_thread::yield();
        progress.Cancel();
    });
    const QImage composed = GetParam().Composed ? RenderReflection(picture, request.Reflection) : QImage();
    QString reason;
    bool written = false;
    {
        const TSaveProgressScope scope(&progress);
        if (GetParam().Composed) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            written = EncodeReflection(composed, request.Format, &buffer, &reason) == TGpStatus::Ok;
        } else {
            written = !EncodeReflectionFile(picture, request, &reason).isEmpty();
        }
    }
    finished = true;
    canceller.join();
    EXPECT_FALSE(written);
    // A format's writer says which format it could not write, then why.
    EXPECT_TRUE(reason.endsWith(QStringLiteral("cancelled"))) << reason.toStdString();
    EXPECT_GT(progress.Done(), 0.0);
    EXPECT_LT(progress.Done(), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, CancelledRowSave,
                         ::testing::Values(TCancelCase{"PNG", ImageSaveFormat::Png},
                                           TCancelCase{"JPEG", ImageSaveFormat::Jpeg},
                                           TCancelCase{"BMP", ImageSaveFormat::Bmp},
                                           TCancelCase{"TIFF", ImageSaveFormat::Tiff},
                                           TCancelCase{"GIF", ImageSaveFormat::Gif},
                                           TCancelCase{"JPEG_composed", ImageSaveFormat::Jpeg, true},
                                           TCancelCase{"BMP_composed", ImageSaveFormat::Bmp, true},
                                           TCancelCase{"TIFF_composed", ImageSaveFormat::Tiff, true}),
                         CaseName<TCancelCase>);
