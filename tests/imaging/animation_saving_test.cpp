#include "imaging/codecs/animation_decoding.h"
#include "imaging/codecs/gif_writer.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/file_reflection.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/thread_budget.h"

#include "tests/support/animated_files.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/naive_reflection.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <map>
#include <vector>
#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

namespace
{
// A GIF without the looping extension, as the loop counts read back say.
constexpr int NoExtension = -1;

// ---- Animations made and read back with the libraries themselves ----

struct TReadFrame {
    QImage Image;
    int DelayMs = 0;
};

struct TReadAnimation {
    QSize Canvas;
    int LoopCount = NoExtension;
    std::vector<TReadFrame> Frames;
    bool GlobalTable = false;
    int LocalTables = 0;
};

int ReadFromBuffer(GifFileType* Gif, GifByteType* Bytes, int Length)
{
    return int(static_cast<QBuffer*>(Gif->UserData)->read(reinterpret_cast<char*>(Bytes), Length));
}

// Our animated GIFs: every frame covers the canvas, opaque.
TReadAnimation ReadGifBack(const QByteArray& Bytes)
{
    TReadAnimation result;
    QBuffer buffer;
    buffer.setData(Bytes);
    buffer.open(QIODevice::ReadOnly);
    int error = 0;
    GifFileType* gif = DGifOpen(&buffer, ReadFromBuffer, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read the GIF";
        return result;
    }
    result.Canvas = QSize(gif->SWidth, gif->SHeight);
    result.GlobalTable = gif->SColorMap != nullptr;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        for (int e = 0; e + 1 < saved.ExtensionBlockCount; ++e)
            if (saved.ExtensionBlocks[e].Function == APPLICATION_EXT_FUNC_CODE &&
                saved.ExtensionBlocks[e].ByteCount == 11 &&
                std::memcmp(saved.ExtensionBlocks[e].Bytes, "NETSCAPE2.0", 11) == 0)
                result.LoopCount =
                    saved.ExtensionBlocks[e + 1].Bytes[1] | saved.ExtensionBlocks[e + 1].Bytes[2] << 8;
        const GifImageDesc& desc = saved.ImageDesc;
        EXPECT_EQ(QRect(desc.Left, desc.Top, desc.Width, desc.Height), QRect(QPoint(), result.Canvas));
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        result.LocalTables += desc.ColorMap ? 1 : 0;
        QImage image(desc.Width, desc.Height, QImage::Format_ARGB32);
        for (int y = 0; y < desc.Height; ++y)
            for (int x = 0; x < desc.Width; ++x) {
                const GifColorType& c = map->Colors[saved.RasterBits[y * desc.Width + x]];
                image.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
            }
        GraphicsControlBlock control;
        DGifSavedExtensionToGCB(gif, i, &control);
        result.Frames.push_back({image, control.DelayTime * 10});
    }
    DGifCloseFile(gif, &error);
    return result;
}

QByteArray MakeWebp(const std::vector<QImage>& Frames, const std::vector<int>& DelaysMs, int LoopCount)
{
    const QSize size = Frames.front().size();
    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    options.anim_params.loop_count = LoopCount;
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(size.width(), size.height(), &options);
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    config.exact = 1;
    int timestamp = 0;
    for (std::size_t i = 0; i < Frames.size(); ++i) {
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.use_argb = 1;
        picture.width = size.width();
        picture.height = size.height();
        const QImage rgba = Frames[i].convertToFormat(QImage::Format_RGBA8888);
        WebPPictureImportRGBA(&picture, rgba.constBits(), int(rgba.bytesPerLine()));
        WebPAnimEncoderAdd(encoder, &picture, timestamp, &config);
        WebPPictureFree(&picture);
        timestamp += DelaysMs[i];
    }
    WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr);
    WebPData data;
    WebPDataInit(&data);
    WebPAnimEncoderAssemble(encoder, &data);
    const QByteArray bytes(reinterpret_cast<const char*>(data.bytes), qsizetype(data.size));
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);
    return bytes;
}

TReadAnimation ReadWebpBack(const QByteArray& Bytes)
{
    TReadAnimation result;
    const WebPData data{reinterpret_cast<const std::uint8_t*>(Bytes.constData()), std::size_t(Bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder) {
        ADD_FAILURE() << "libwebp cannot read the WebP";
        return result;
    }
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    result.Canvas = QSize(int(info.canvas_width), int(info.canvas_height));
    result.LoopCount = int(info.loop_count);
    int last = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        std::uint8_t* pixels = nullptr;
        int timestamp = 0;
        WebPAnimDecoderGetNext(decoder, &pixels, &timestamp);
        const QImage frame(pixels, result.Canvas.width(), result.Canvas.height(), QImage::Format_RGBA8888);
        result.Frames.push_back({frame.convertToFormat(QImage::Format_ARGB32), timestamp - last});
        last = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return result;
}

// ---- The saving road ----

struct TSaved {
    TFileReflection Result;
    QByteArray Bytes;
};

TSaved Save(const QByteArray& Input, ImageSaveFormat Format, const TReflectionParameters& Values,
            TDecodeOptions Options = {})
{
    const QTemporaryDir dir;
    TSaveRequest request;
    request.Input = &Input;
    request.Options = Options;
    request.Reflection = Values;
    request.Format = Format;
    request.Sink.FileName = dir.filePath(QStringLiteral("out"));
    TSaved saved{WriteFileReflection(request), {}};
    QFile file(request.Sink.FileName);
    if (file.open(QIODevice::ReadOnly))
        saved.Bytes = file.readAll();
    return saved;
}

// A picture with fully transparent pixels made all zero: the encoders may
// keep any colour under them.
QImage ZeroUnderTransparent(QImage Image)
{
    Image = Image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (qAlpha(Image.pixel(x, y)) == 0)
                Image.setPixel(x, y, 0);
    return Image;
}

// The single-picture GIF of Frame's reflection, read back.
QImage SingleGifFrame(const QImage& Frame, const TReflectionParameters& Values)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteGifImage(RenderReflection(Frame, Values), &buffer));
    return ReadGifBack(bytes).Frames.at(0).Image;
}

// Frames of a smooth gradient that moves, each with more colours than GIF holds.
std::vector<QImage> GradientFrames(int Count, const QSize& Size)
{
    std::vector<QImage> frames;
    for (int i = 0; i < Count; ++i) {
        QImage image(Size, QImage::Format_ARGB32);
        for (int y = 0; y < Size.height(); ++y)
            for (int x = 0; x < Size.width(); ++x)
                image.setPixel(x, y,
                               qRgba((x * 7 + i * 40) % 256, (y * 9) % 256, (x + y + i * 3) % 256, 255));
        frames.push_back(image);
    }
    return frames;
}

// A full-canvas GIF frame of Image, which has at most 256 colours.
TGifFrameRecipe ExactGifFrame(const QImage& Image, int DelayCs)
{
    TGifFrameRecipe frame{QRect(QPoint(), Image.size()), {},     {}, DISPOSE_DO_NOT,
                          NO_TRANSPARENT_COLOR,          DelayCs};
    std::map<QRgb, std::uint8_t> index;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x) {
            const auto [place, added] = index.try_emplace(Image.pixel(x, y), std::uint8_t(index.size()));
            if (added)
                frame.Palette.push_back(Image.pixel(x, y));
            frame.Pixels.push_back(place->second);
        }
    return frame;
}

constexpr TReflectionParameters Values{.Size = 20, .OpacityStart = 200, .OpacityEnd = 10, .Axis = 2};
constexpr TReflectionParameters Styled{
    .Size = 16, .OpacityStart = 255, .OpacityEnd = 0, .Axis = -3, .Blur = 4, .Scale = 60};
// Every frame takes the side as a single picture does.
constexpr TReflectionParameters OnTheLeft{
    .Size = 12, .OpacityStart = 200, .OpacityEnd = 10, .Axis = 2, .Direction = TReflectionDirection::Left};
constexpr TReflectionParameters StyledAbove{.Size = 16,
                                            .OpacityStart = 255,
                                            .OpacityEnd = 0,
                                            .Axis = -3,
                                            .Blur = 4,
                                            .Scale = 60,
                                            .Direction = TReflectionDirection::Above};

// ---- Timing: what goes in comes out ----

struct TTimingCase {
    const char* Name;
    bool WebpIn;
    ImageSaveFormat Out;
    std::vector<int> DelaysMs;
    int LoopIn;  // the file's own number
    int LoopOut; // the output's
};

class AnimationTiming : public ::testing::TestWithParam<TTimingCase>
{
};

TEST_P(AnimationTiming, FrameCountDelaysAndPlaysAreThoseOfTheInput)
{
    const TTimingCase& c = GetParam();
    const std::vector<QImage> frames = GradientFrames(int(c.DelaysMs.size()), QSize(30, 12));
    QByteArray input;
    if (c.WebpIn) {
        input = MakeWebp(frames, c.DelaysMs, c.LoopIn);
    } else {
        std::vector<TGifFrameRecipe> recipes;
        for (std::size_t i = 0; i < frames.size(); ++i)
            recipes.push_back(ExactGifFrame(frames[i].copy(0, 0, 30, 8), c.DelaysMs[i] / 10));
        input = MakeAnimatedGif(QSize(30, 8), recipes, c.LoopIn);
    }
    const TSaved saved = Save(input, c.Out, Values);
    ASSERT_EQ(saved.Result.Status, TGpStatus::Ok) << saved.Result.Failure.Text.toStdString();
    EXPECT_EQ(saved.Result.Plan.Write, TWriteRoad::Animation);
    EXPECT_EQ(saved.Result.Plan.Frames, int(c.DelaysMs.size()));
    const TReadAnimation back =
        c.Out == ImageSaveFormat::Gif ? ReadGifBack(saved.Bytes) : ReadWebpBack(saved.Bytes);
    ASSERT_EQ(back.Frames.size(), c.DelaysMs.size());
    for (std::size_t i = 0; i < c.DelaysMs.size(); ++i)
        EXPECT_EQ(back.Frames[i].DelayMs, c.DelaysMs[i]) << "frame " << i;
    EXPECT_EQ(back.LoopCount, c.LoopOut);
}

// GIF counts the repeats after the first play (no extension: played once),
// WebP the plays.
INSTANTIATE_TEST_SUITE_P(
    Animations, AnimationTiming,
    ::testing::Values(
        TTimingCase{"GifToGifForever", false, ImageSaveFormat::Gif, {100, 70, 20, 1000}, 0, 0},
        TTimingCase{
            "GifToGifNoLoopExtension", false, ImageSaveFormat::Gif, {40, 40, 0}, NoExtension, NoExtension},
        TTimingCase{"GifToGifThreeRepeats", false, ImageSaveFormat::Gif, {50, 60}, 3, 3},
        TTimingCase{"GifToWebp", false, ImageSaveFormat::Webp, {100, 30, 250}, 7, 8},
        TTimingCase{"GifOnceToWebp", false, ImageSaveFormat::Webp, {100, 30}, NoExtension, 1},
        TTimingCase{"WebpToWebp", true, ImageSaveFormat::Webp, {33, 250, 17, 90}, 0, 0},
        TTimingCase{"WebpToGif", true, ImageSaveFormat::Gif, {30, 120, 500}, 2, 1},
        TTimingCase{"WebpOnceToGif", true, ImageSaveFormat::Gif, {30, 120}, 1, NoExtension}),
    CaseName<TTimingCase>);

// ---- Each frame is the single picture's reflection ----

struct TFramesCase {
    const char* Name;
    bool WebpIn;
    ImageSaveFormat Out;
    TReflectionParameters Reflection;
};

class AnimationFrames : public ::testing::TestWithParam<TFramesCase>
{
};

TEST_P(AnimationFrames, EachFrameIsTheReflectionOfTheComposedInputFrame)
{
    const TFramesCase& c = GetParam();
    // GIF input: 256 colours at most a frame, so the composed frames are
    // these exactly; WebP input keeps its full gradients and a fade of alpha.
    std::vector<QImage> frames = GradientFrames(3, QSize(40, 24));
    if (c.WebpIn)
        for (int x = 0; x < 40; ++x)
            frames[1].setPixel(x, 5, qRgba(10, 200, 30, x * 6));
    std::vector<TGifFrameRecipe> recipes;
    for (QImage& frame : frames) {
        if (!c.WebpIn)
            frame = frame.copy(0, 0, 16, 16);
        recipes.push_back(ExactGifFrame(frame, 5));
    }
    const QByteArray input =
        c.WebpIn ? MakeWebp(frames, {50, 50, 50}, 0) : MakeAnimatedGif(QSize(16, 16), recipes, 0);
    const TSaved saved = Save(input, c.Out, c.Reflection);
    ASSERT_EQ(saved.Result.Status, TGpStatus::Ok) << saved.Result.Failure.Text.toStdString();
    const TReadAnimation back =
        c.Out == ImageSaveFormat::Gif ? ReadGifBack(saved.Bytes) : ReadWebpBack(saved.Bytes);
    ASSERT_EQ(back.Frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const QImage expected = c.Out == ImageSaveFormat::Gif
                                    ? SingleGifFrame(frames[i], c.Reflection)
                                    : ZeroUnderTransparent(RenderReflection(frames[i], c.Reflection));
        SCOPED_TRACE(testing::Message() << "frame " << i);
        ExpectSameBits(ZeroUnderTransparent(back.Frames[i].Image), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Animations, AnimationFrames,
    ::testing::Values(TFramesCase{"GifToGif", false, ImageSaveFormat::Gif, Values},
                      TFramesCase{"GifToWebp", false, ImageSaveFormat::Webp, Values},
                      TFramesCase{"WebpToGif", true, ImageSaveFormat::Gif, Values},
                      TFramesCase{"WebpToWebp", true, ImageSaveFormat::Webp, Values},
                      TFramesCase{"StyledGifToGif", false, ImageSaveFormat::Gif, Styled},
                      TFramesCase{"StyledWebpToWebp", true, ImageSaveFormat::Webp, Styled},
                      TFramesCase{"LeftGifToGif", false, ImageSaveFormat::Gif, OnTheLeft},
                      TFramesCase{"StyledAboveWebpToWebp", true, ImageSaveFormat::Webp, StyledAbove}),
    CaseName<TFramesCase>);

// ---- GIF frames composed as a viewer shows them ----

// Small pictures as text: r, g, b opaque red, green, blue; '.' transparent.
QImage Picture(const std::vector<const char*>& Rows)
{
    QImage image(int(std::strlen(Rows.front())), int(Rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const char c = Rows[std::size_t(y)][x];
            image.setPixel(x, y,
                           c == 'r'   ? 0xFFFF0000u
                           : c == 'g' ? 0xFF00FF00u
                           : c == 'b' ? 0xFF0000FFu
                                      : 0u);
        }
    return image;
}

// A frame over Area from rows of r, g, b and '.' (the transparent index).
TGifFrameRecipe Frame(QRect Area, const std::vector<const char*>& Rows, int Disposal = DISPOSE_DO_NOT,
                      bool Interlaced = false)
{
    TGifFrameRecipe frame{
        Area, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu}, {}, Disposal, 3, 10, Interlaced};
    for (const char* row : Rows)
        for (const char* c = row; *c; ++c)
            frame.Pixels.push_back(*c == 'r' ? 0 : *c == 'g' ? 1 : *c == 'b' ? 2 : 3);
    return frame;
}

struct TDisposalCase {
    const char* Name;
    QSize Canvas;
    std::vector<TGifFrameRecipe> Frames;
    std::vector<std::vector<const char*>> Expected; // each composed frame
};

class GifComposition : public ::testing::TestWithParam<TDisposalCase>
{
};

TEST_P(GifComposition, FramesAreComposedWithTheirDisposal)
{
    const TDisposalCase& c = GetParam();
    const TSaved saved = Save(MakeAnimatedGif(c.Canvas, c.Frames, 0), ImageSaveFormat::Webp, Values);
    ASSERT_EQ(saved.Result.Status, TGpStatus::Ok) << saved.Result.Failure.Text.toStdString();
    const TReadAnimation back = ReadWebpBack(saved.Bytes);
    ASSERT_EQ(back.Frames.size(), c.Expected.size());
    for (std::size_t i = 0; i < c.Expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        ExpectSameBits(ZeroUnderTransparent(back.Frames[i].Image),
                       ZeroUnderTransparent(RenderReflection(Picture(c.Expected[i]), Values)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Animations, GifComposition,
    ::testing::Values(
        TDisposalCase{"KeptUnderAPartialFrame",
                      QSize(4, 2),
                      {Frame({0, 0, 4, 2}, {"rrrr", "rrrr"}), Frame({1, 0, 2, 1}, {"gg"})},
                      {{"rrrr", "rrrr"}, {"rggr", "rrrr"}}},
        TDisposalCase{"BackgroundClearsTheFrameToTransparent",
                      QSize(4, 2),
                      {Frame({0, 0, 3, 2}, {"rrr", "rrr"}, DISPOSE_BACKGROUND), Frame({1, 0, 2, 1}, {"gg"})},
                      {{"rrr.", "rrr."}, {".gg.", "...."}}},
        TDisposalCase{"PreviousRestoresWhatTheFrameCovered",
                      QSize(4, 2),
                      {Frame({0, 0, 4, 2}, {"rrrr", "rrrr"}),
                       Frame({0, 0, 2, 2}, {"gg", "gg"}, DISPOSE_PREVIOUS), Frame({3, 1, 1, 1}, {"b"})},
                      {{"rrrr", "rrrr"}, {"ggrr", "ggrr"}, {"rrrr", "rrrb"}}},
        TDisposalCase{"TransparentIndexShowsWhatLiesBelow",
                      QSize(4, 2),
                      {Frame({0, 0, 4, 2}, {"rrrr", "bbbb"}), Frame({0, 0, 4, 2}, {"g.g.", "...."})},
                      {{"rrrr", "bbbb"}, {"grgr", "bbbb"}}},
        TDisposalCase{"InterlacedRowsFindTheirPlace",
                      QSize(1, 5),
                      {Frame({0, 0, 1, 5}, {"r", "g", "b", "g", "r"}, DISPOSE_DO_NOT, true),
                       Frame({0, 1, 1, 3}, {"b", "r", "b"}, DISPOSE_DO_NOT, true)},
                      {{"r", "g", "b", "g", "r"}, {"r", "b", "r", "b", "r"}}},
        TDisposalCase{"FramesReachingPastTheCanvasAreCut",
                      QSize(3, 1),
                      {Frame({1, 0, 1, 1}, {"g"}), Frame({2, 0, 3, 1}, {"bbb"})},
                      {{".g."}, {".gb"}}}),
    CaseName<TDisposalCase>);

// ---- Files too large or damaged ----

struct TRefusalCase {
    const char* Name;
    int Frames;
    QSize Canvas;
    QSize FrameSize; // each frame's own, at the canvas's corner
    std::int64_t MaxPixels;
    const char* Reason;
};

class AnimationBudget : public ::testing::TestWithParam<TRefusalCase>
{
};

TEST_P(AnimationBudget, EveryFrameCountsAndTheFileIsRefusedFromItsStructure)
{
    const TRefusalCase& c = GetParam();
    const std::vector<TGifFrameRecipe> frames(std::size_t(c.Frames), SolidGifFrame(c.FrameSize, 0xFFFF0000u));
    TDecodeOptions options;
    options.MaxPixels = c.MaxPixels;
    const TSaved saved = Save(MakeAnimatedGif(c.Canvas, frames, 0), ImageSaveFormat::Gif, Values, options);
    EXPECT_EQ(saved.Result.Failure.Kind, TFailureKind::OverLimit);
    EXPECT_TRUE(saved.Result.Failure.Text.contains(QString::fromUtf8(c.Reason)))
        << saved.Result.Failure.Text.toStdString();
    EXPECT_TRUE(saved.Bytes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Animations, AnimationBudget,
    ::testing::Values(TRefusalCase{"HundredThousandFrames", 100'000, QSize(100, 100), QSize(1, 1),
                                   MaxDecodedPixels, "100000 frames of 100 × 100"},
                      TRefusalCase{"OverTheCallersLimit", 11, QSize(10, 10), QSize(1, 1), 1000,
                                   "11 frames of 10 × 10 pixels are 1100 pixels"},
                      TRefusalCase{"FramesLargerThanTheCanvas", 3, QSize(4, 4), QSize(600, 600), 1'000'000,
                                   "3 frames hold 1080000 pixels"}),
    CaseName<TRefusalCase>);

struct TDamageCase {
    const char* Name;
    bool KeepDamaged;
    bool Written;
    int FramesWritten;
};

class AnimationDamage : public ::testing::TestWithParam<TDamageCase>
{
};

TEST_P(AnimationDamage, ADamagedFrameInTheMiddleIsNamed)
{
    const TDamageCase& c = GetParam();
    const std::vector<QImage> pictures = GradientFrames(3, QSize(16, 16));
    std::vector<TGifFrameRecipe> recipes;
    for (const QImage& picture : pictures)
        recipes.push_back(ExactGifFrame(picture, 10));
    const QByteArray whole = MakeAnimatedGif(QSize(16, 16), recipes, 0);
    // The second frame's compressed data made nonsense, its block structure kept.
    QByteArray damaged = whole;
    const qsizetype first = damaged.indexOf(QByteArray("\x21\xF9\x04", 3));
    const qsizetype second = damaged.indexOf(QByteArray("\x21\xF9\x04", 3), first + 3);
    const qsizetype third = damaged.indexOf(QByteArray("\x21\xF9\x04", 3), second + 3);
    ASSERT_GT(second, 0);
    ASSERT_GT(third, second);
    // After the control block, the descriptor, its colour table and the code size.
    const qsizetype table = 3 * (2 << (damaged[second + 8 + 9] & 7));
    const qsizetype data = second + 8 + 10 + table + 1;
    for (qsizetype i = data + 1; i < third - 1; ++i)
        if ((i - data) % 256 != 0)
            damaged[i] = char(0xFF);
    TDecodeOptions options;
    options.KeepDamaged = c.KeepDamaged;
    const TSaved saved = Save(damaged, ImageSaveFormat::Gif, Values, options);
    EXPECT_EQ(saved.Result.Status == TGpStatus::Ok, c.Written);
    const QString told = c.Written ? saved.Result.Damage : saved.Result.Failure.Text;
    EXPECT_TRUE(told.startsWith(QLatin1String("damaged image: frame 2 of 3"))) << told.toStdString();
    if (c.Written)
        EXPECT_EQ(int(ReadGifBack(saved.Bytes).Frames.size()), c.FramesWritten);
    else
        EXPECT_TRUE(saved.Bytes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Animations, AnimationDamage,
                         ::testing::Values(TDamageCase{"Refused", false, false, 0},
                                           TDamageCase{"KeptUpToIt", true, true, 1}),
                         CaseName<TDamageCase>);

// ---- The road and the first frame elsewhere ----

struct TRoadCase {
    const char* Name;
    ImageSaveFormat Format;
    const char* Road;
    const char* Warning; // empty: none
};

class AnimationRoad : public ::testing::TestWithParam<TRoadCase>
{
};

TEST_P(AnimationRoad, ThePlanNamesTheAnimationOrTheFirstFrameIsWrittenWithAWarning)
{
    const TRoadCase& c = GetParam();
    const std::vector<QImage> pictures = GradientFrames(3, QSize(12, 10));
    std::vector<TGifFrameRecipe> recipes;
    for (const QImage& picture : pictures)
        recipes.push_back(ExactGifFrame(picture, 10));
    const TSaved saved = Save(MakeAnimatedGif(QSize(12, 10), recipes, 0), c.Format, Values);
    ASSERT_EQ(saved.Result.Status, TGpStatus::Ok) << saved.Result.Failure.Text.toStdString();
    EXPECT_EQ(DescribeSavingPlan(saved.Result.Plan).toStdString(), c.Road);
    EXPECT_EQ(saved.Result.FirstFrameOnly.toStdString(), c.Warning);
    if (c.Format == ImageSaveFormat::Png)
        ExpectSameBits(QImage::fromData(saved.Bytes).convertToFormat(QImage::Format_ARGB32),
                       RenderReflection(pictures[0], Values).convertToFormat(QImage::Format_ARGB32));
}

INSTANTIATE_TEST_SUITE_P(
    Animations, AnimationRoad,
    ::testing::Values(TRoadCase{"Gif", ImageSaveFormat::Gif, "animation, 3 frames, GIF", ""},
                      TRoadCase{"Webp", ImageSaveFormat::Webp, "animation, 3 frames, WebP", ""},
                      TRoadCase{"Png", ImageSaveFormat::Png, "whole picture, PNG in 1 band",
                                "only the first of the 3 frames is written (PNG holds one picture)"},
                      TRoadCase{"Bmp", ImageSaveFormat::Bmp, "whole picture, BMP in rows",
                                "only the first of the 3 frames is written (BMP holds one picture)"}),
    CaseName<TRoadCase>);

// ---- The colour tables ----

struct TTableCase {
    const char* Name;
    int ColoursEach; // distinct colours in each frame
    bool Shared;     // the frames use the same colours
    bool GlobalTable;
};

class AnimatedGifTables : public ::testing::TestWithParam<TTableCase>
{
};

TEST_P(AnimatedGifTables, OneTableForAllWhenTheirColoursFitInIt)
{
    const TTableCase& c = GetParam();
    std::vector<QImage> frames;
    for (int f = 0; f < 3; ++f) {
        QImage image(c.ColoursEach, 1, QImage::Format_ARGB32);
        for (int x = 0; x < c.ColoursEach; ++x)
            image.setPixel(x, 0, qRgb(x % 256, c.Shared ? 0 : f * 80, x / 256 * 40));
        frames.push_back(c.Shared ? image.mirrored(f % 2 == 1, false) : image);
    }
    const TReflectionParameters none{.Size = 0, .OpacityStart = 0, .OpacityEnd = 0, .Axis = 0};
    const TSaved saved = Save(MakeWebp(frames, {100, 100, 100}, 0), ImageSaveFormat::Gif, none);
    ASSERT_EQ(saved.Result.Status, TGpStatus::Ok) << saved.Result.Failure.Text.toStdString();
    const TReadAnimation back = ReadGifBack(saved.Bytes);
    ASSERT_EQ(back.Frames.size(), 3u);
    EXPECT_EQ(back.GlobalTable, c.GlobalTable);
    EXPECT_EQ(back.LocalTables, c.GlobalTable ? 0 : 3);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        ExpectSameBits(back.Frames[i].Image, SingleGifFrame(frames[i], none));
    }
}

INSTANTIATE_TEST_SUITE_P(Animations, AnimatedGifTables,
                         ::testing::Values(TTableCase{"SharedColours", 100, true, true},
                                           TTableCase{"DifferentColoursThatFitTogether", 80, false, true},
                                           TTableCase{"DifferentColoursTooManyTogether", 200, false, false},
                                           TTableCase{"EachFrameOverTheTable", 400, false, false}),
                         CaseName<TTableCase>);
} // namespace

// ---- What an animation leaves out ----

struct TPacketCase {
    const char* Name;
    bool Strip;
    QStringList Warnings;
};

class AnimationPackets : public ::testing::TestWithParam<TPacketCase>
{
};

TEST_P(AnimationPackets, TheInputsMetadataIsNamedAsLeftOut)
{
    const TPacketCase& c = GetParam();
    const QByteArray plain = MakeWebp(GradientFrames(2, QSize(8, 8)), {100, 100}, 0);
    // An XMP packet added with libwebp's muxer.
    const WebPData data{reinterpret_cast<const std::uint8_t*>(plain.constData()), std::size_t(plain.size())};
    WebPMux* mux = WebPMuxCreate(&data, 1);
    const QByteArray xmp("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"></x:xmpmeta>");
    const WebPData packet{reinterpret_cast<const std::uint8_t*>(xmp.constData()), std::size_t(xmp.size())};
    ASSERT_EQ(WebPMuxSetChunk(mux, "XMP ", &packet, 1), WEBP_MUX_OK);
    WebPData assembled;
    WebPDataInit(&assembled);
    ASSERT_EQ(WebPMuxAssemble(mux, &assembled), WEBP_MUX_OK);
    const QByteArray input(reinterpret_cast<const char*>(assembled.bytes), qsizetype(assembled.size));
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);

    TSaveRequest request;
    const QTemporaryDir dir;
    request.Input = &input;
    request.Reflection = Values;
    request.Format = ImageSaveFormat::Webp;
    request.Strip = c.Strip;
    request.Sink.FileName = dir.filePath(QStringLiteral("out.webp"));
    const TFileReflection result = WriteFileReflection(request);
    ASSERT_EQ(result.Status, TGpStatus::Ok) << result.Failure.Text.toStdString();
    EXPECT_EQ(result.Warnings, c.Warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Animations, AnimationPackets,
    ::testing::Values(
        TPacketCase{"Kept", false, {QStringLiteral("the XMP packet (an animation is written without it)")}},
        TPacketCase{"Stripped", true, {}}),
    CaseName<TPacketCase>);

// ---- The first frame of a GIF, as every road decodes it ----

// A frame without a transparent index: Qt's reader takes such a picture as
// opaque and leaves what the frame does not cover as memory held it.
TGifFrameRecipe Opaque(TGifFrameRecipe Frame)
{
    Frame.Transparent = NO_TRANSPARENT_COLOR;
    return Frame;
}

struct TFirstFrameCase {
    const char* Name;
    QSize Canvas;
    std::vector<TGifFrameRecipe> Frames;
    std::vector<const char*> Expected;
};

class GifFirstFrame : public ::testing::TestWithParam<TFirstFrameCase>
{
};

TEST_P(GifFirstFrame, UncoveredCanvasIsTransparentEveryTime)
{
    const TFirstFrameCase& c = GetParam();
    const QByteArray gif = MakeAnimatedGif(c.Canvas, c.Frames, NoExtension);
    for (int run = 0; run < 3; ++run) {
        const TDecodedImage decoded = DecodeImage(gif);
        ASSERT_EQ(decoded.Status, TGpStatus::Ok) << decoded.Reason.toStdString();
        ExpectSameBits(ZeroUnderTransparent(decoded.Image), Picture(c.Expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Animations, GifFirstFrame,
    ::testing::Values(
        TFirstFrameCase{
            "OnePartialFrame", QSize(5, 2), {Opaque(Frame({1, 0, 2, 1}, {"gb"}))}, {".gb..", "....."}},
        TFirstFrameCase{"PartialFirstOfTwo",
                        QSize(3, 3),
                        {Opaque(Frame({1, 1, 1, 1}, {"r"})), Frame({0, 0, 3, 3}, {"bbb", "bbb", "bbb"})},
                        {"...", ".r.", "..."}},
        TFirstFrameCase{"CoveringFrameAsQtReadsIt", QSize(2, 1), {Frame({0, 0, 2, 1}, {"r."})}, {"r."}}),
    CaseName<TFirstFrameCase>);

// ---- The same bytes on any number of cores ----

class AnimationCores : public ::testing::TestWithParam<ImageSaveFormat>
{
};

TEST_P(AnimationCores, BytesDoNotDependOnTheThreads)
{
    const QByteArray input = MakeWebp(GradientFrames(7, QSize(48, 20)), {40, 40, 40, 40, 40, 40, 40}, 0);
    std::vector<QByteArray> files;
    for (const int threads : {1, 2, 5}) {
        const TThreadBudget budget(threads);
        const TSaved saved = Save(input, GetParam(), Styled);
        ASSERT_EQ(saved.Result.Status, TGpStatus::Ok) << saved.Result.Failure.Text.toStdString();
        files.push_back(saved.Bytes);
    }
    EXPECT_EQ(files[0], files[1]);
    EXPECT_EQ(files[0], files[2]);
}

INSTANTIATE_TEST_SUITE_P(Animations, AnimationCores,
                         ::testing::Values(ImageSaveFormat::Gif, ImageSaveFormat::Webp));
