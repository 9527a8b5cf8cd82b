#include "pictures/html_picture.h"

#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace
{
// Five frames as ImageMagick writes an animation (its looping block between
// the first control extension and the first image): white 20 x 10 at (0, 0),
// then 4 x 3 patches red at (2, 1), lime (5, 3), blue (9, 4), yellow (13, 6).
const QString FiveFrames = QStringLiteral("pictures/five-frames-20x10.gif");
const QString StillGif87 = QStringLiteral("pictures/still-gif87a-6x4.gif");

void LoadBytes(THTMLPicture& Picture, QByteArray Bytes)
{
    QBuffer buffer(&Bytes);
    buffer.open(QIODevice::ReadOnly);
    Picture.LoadStream(&buffer);
}

QImage Draw(THTMLPicture& Picture, const QSize& Size, QRgb Background = White)
{
    QImage target = MakeImage(Size.width(), Size.height(), Background);
    TCanvas canvas(&target);
    Picture.DrawInRect(canvas, QRect(QPoint(0, 0), Size));
    return target;
}

// The message a throwing call gives, or "" when it throws nothing.
template <class Call> std::string ErrorOf(Call&& Run)
{
    try {
        Run();
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}
} // namespace

TEST(HtmlPicture, GifSignatureNeedsFiveBytesBeginningWithGif8)
{
    const struct {
        QByteArray Bytes;
        bool Gif;
        int Frames;
    } cases[] = {
        {"GIF8", false, -1},   {"GIF87", true, 0},    {"GIF89a", true, 0},
        {"gif89a", false, -1}, {"PNG89a", false, -1}, {"", false, -1},
    };
    for (const auto& c : cases) {
        THTMLPicture picture;
        EXPECT_THROW(LoadBytes(picture, c.Bytes), std::runtime_error) << c.Bytes.constData();
        EXPECT_EQ(picture.HasGifSignature(), c.Gif) << c.Bytes.constData();
        EXPECT_EQ(picture.CountFrames(), c.Frames) << c.Bytes.constData();
    }
}

TEST(HtmlPicture, FrameSelectsTheImageAndItsOffsets)
{
    const struct {
        const char* Name;
        QString Fixture;
        int Frame;
        QPoint Offset;
        QSize Size; // the decoded picture: a selected frame alone
        QSize Logical;
        QPoint Probe;
        QRgb Colour;
    } cases[] = {
        {"frame 3 of 5", FiveFrames, 3, {5, 3}, {4, 3}, {20, 10}, {1, 1}, 0xFF00FF00u},
        {"frame 2", FiveFrames, 2, {2, 1}, {4, 3}, {20, 10}, {1, 1}, 0xFFFF0000u},
        {"frame 5, the last", FiveFrames, 5, {13, 6}, {4, 3}, {20, 10}, {1, 1}, 0xFFFFFF00u},
        {"frame 1 keeps every byte", FiveFrames, 1, {0, 0}, {20, 10}, {20, 10}, {3, 2}, 0xFFFFFFFFu},
        {"frame 0 keeps every byte", FiveFrames, 0, {0, 0}, {20, 10}, {20, 10}, {6, 4}, 0xFFFFFFFFu},
        {"no control extension: decoded whole", StillGif87, 3, {0, 0}, {6, 4}, {6, 4}, {2, 2}, 0xFFFF8000u},
    };
    for (const auto& c : cases) {
        THTMLPicture picture;
        picture.SetFrame(c.Frame);
        picture.LoadFile(TestDataPath(c.Fixture));
        ASSERT_FALSE(picture.IsEmpty()) << c.Name;
        EXPECT_EQ(QPoint(picture.FrameLeft(), picture.FrameTop()), c.Offset) << c.Name;
        EXPECT_EQ(QSize(picture.Width(), picture.Height()), c.Size) << c.Name;
        EXPECT_EQ(QSize(picture.LogicalWidth(), picture.LogicalHeight()), c.Logical) << c.Name;
        EXPECT_EQ(Draw(picture, c.Size).pixel(c.Probe), c.Colour) << c.Name;
    }
}

TEST(HtmlPicture, FrameBeyondTheLastKeepsOnlyWhatPrecedesTheFirstFrame)
{
    THTMLPicture picture;
    picture.LoadFile(TestDataPath(StillGif87));
    EXPECT_EQ(picture.CountFrames(), 0);
    picture.LoadFile(TestDataPath(FiveFrames)); // new bytes are counted again
    EXPECT_EQ(picture.CountFrames(), 5);
    int frameChanges = 0;
    picture.SetOnFrameChange(TNotifyEvent{QString(), [&](QObject*) { ++frameChanges; }});
    picture.SetFrame(4);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(QPoint(picture.FrameLeft(), picture.FrameTop()), QPoint(9, 4));
    EXPECT_EQ(Draw(picture, {4, 3}).pixel(1, 1), 0xFF0000FFu);
    // Header, screen descriptor and colour table alone: the loader refuses them.
    EXPECT_EQ(ErrorOf([&] { picture.SetFrame(6); }), "Could not load image. Invalid format");
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(QPoint(picture.FrameLeft(), picture.FrameTop()), QPoint(0, 0));
    EXPECT_FALSE(picture.HasDecodedPicture());
    EXPECT_FALSE(picture.IsEmpty());
}

TEST(HtmlPicture, FrameWithoutBytesOnlyStoresTheNumber)
{
    THTMLPicture picture;
    int events = 0;
    picture.OnChange = [&](TGraphic*) { ++events; };
    picture.SetOnFrameChange(TNotifyEvent{QString(), [&](QObject*) { ++events; }});
    EXPECT_NO_THROW(picture.SetFrame(7));
    EXPECT_EQ(picture.Frame(), 7);
    EXPECT_EQ(events, 0);
}

TEST(HtmlPicture, HostileGifBytesAreWalkedWithinBounds)
{
    const QByteArray header = QByteArray("GIF89a") + QByteArray(7, '\0');
    const QByteArray control("\x21\xF9\x04\x00\x00\x00\x00\x00", 8);
    const QByteArray still = ReadFileBytes(TestDataPath(StillGif87));
    const QByteArray tinyImage("\x2C\x01\x00\x02\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    QByteArray hugeScreen = ReadFileBytes(TestDataPath(FiveFrames));
    hugeScreen.replace(6, 4, "\xFF\xFF\xFF\xFF"); // 65535 x 65535
    const struct {
        const char* Name;
        QByteArray Bytes;
        int Frames;
        int Left;
        const char* Error = nullptr; // nullptr: whatever the loader says
    } cases[] = {
        {"image descriptor cut inside its left offset", header + control + QByteArray("\x2C\x07", 2), 1, 7},
        {"sub-block longer than the bytes", header + QByteArray("\x21\xF9\xFF\x00", 4) + tinyImage, 0, 0},
        {"a control extension's pattern inside image data",
         header + QByteArray("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x0C", 12) + control +
             QByteArray("\x2C\x05\0\x06\0\x3B", 6),
         0, 0},
        {"thousands of tiny frames", header + (control + tinyImage).repeated(3000) + "\x3B", 3000, 1},
        {"garbage after the header", header + QByteArray(64, '\xFF'), 0, 0},
        // Refused from the header before any pixel memory exists.
        {"a 65535 x 65535 logical screen", QByteArray("GIF87a\xFF\xFF\xFF\xFF", 10) + still.mid(10), 0, 0,
         "Could not load image. Invalid format"},
        {"a frame of a 65535 x 65535 screen decodes at its own size", hugeScreen, 5, 0, ""},
    };
    for (const auto& c : cases) {
        THTMLPicture picture;
        const std::string error = ErrorOf([&] { LoadBytes(picture, c.Bytes); }); // the loader's verdict
        EXPECT_TRUE(picture.HasDecodedPicture() == error.empty()) << c.Name;
        if (c.Error) {
            EXPECT_EQ(error, c.Error) << c.Name;
        }
        EXPECT_EQ(picture.CountFrames(), c.Frames) << c.Name;
        EXPECT_EQ(picture.FrameLeft(), c.Left) << c.Name;
        EXPECT_EQ(picture.EncodedData(), c.Bytes) << c.Name;
        EXPECT_FALSE(picture.IsEmpty()) << c.Name;
    }
}

TEST(HtmlPicture, NaturalSizeFollowsTheDeviceAndQueriesAssume96)
{
    THTMLPicture picture;
    picture.LoadFile(TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png")));
    EXPECT_EQ(QSize(picture.Width(), picture.Height()), QSize(8, 8));
    const struct {
        int PixelsPerInch;
        QRect Drawn;
    } cases[] = {{96, {0, 0, 8, 8}}, {120, {0, 0, 10, 10}}, {192, {0, 0, 16, 16}}};
    for (const auto& c : cases) {
        // The rectangle's size plays no part: a 2 x 2 one still gets it all.
        QImage target = MakeImage(30, 30);
        target.setDotsPerMeterX(qRound(c.PixelsPerInch / 0.0254));
        target.setDotsPerMeterY(qRound(c.PixelsPerInch / 0.0254));
        TCanvas canvas(&target);
        picture.DrawInRect(canvas, QRect(0, 0, 2, 2));
        EXPECT_EQ(ChangedArea(target), c.Drawn) << c.PixelsPerInch;
    }
    picture.SetStretch(true);
    EXPECT_EQ(ChangedArea(Draw(picture, {13, 5})), QRect(0, 0, 13, 5));
}

TEST(HtmlPicture, LoadingKeepsBytesAsLoadedAndReportsOnlyWhereItShould)
{
    const QString png = TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png"));
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("junk.png"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();

    THTMLPicture picture;
    int changes = 0;
    picture.OnChange = [&](TGraphic*) { ++changes; };
    picture.LoadFile(png);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(picture.IsEmpty());
    // A missing file keeps the bytes; undecodable ones are kept; neither reports.
    picture.LoadFile(dir.filePath(QStringLiteral("missing.png")));
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.EncodedData(), ReadFileBytes(png));
    picture.LoadFile(junk);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.EncodedData(), QByteArray("not a picture"));
    picture.LoadFile(dir.path());
    EXPECT_EQ(changes, 1);

    // Streams are read from their first byte; stored data raises no OnChange.
    QByteArray bytes = ReadFileBytes(png);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(5);
    picture.LoadStream(&buffer);
    EXPECT_EQ(changes, 2);
    buffer.seek(9);
    picture.ReadStoredData(&buffer);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(picture.Width(), 8);
    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    picture.SaveStream(&out);
    EXPECT_EQ(saved, bytes);
}

TEST(HtmlPicture, CopyFromTakesPicturesOnly)
{
    THTMLPicture source;
    source.SetFrame(2);
    source.SetStretch(true);
    source.SetIdentifier(QStringLiteral("FILE://a.gif"));
    source.LoadFile(TestDataPath(FiveFrames));

    THTMLPicture copy;
    int changes = 0;
    copy.OnChange = [&](TGraphic*) { ++changes; };
    copy.CopyFrom(&source);
    EXPECT_EQ(copy.EncodedData(), source.EncodedData());
    EXPECT_EQ(copy.Frame(), 2);
    EXPECT_TRUE(copy.Stretch());
    EXPECT_EQ(copy.Identifier(), source.Identifier());
    EXPECT_EQ(QPoint(copy.FrameLeft(), copy.FrameTop()), QPoint(2, 1));
    EXPECT_EQ(changes, 1);

    copy.CopyFrom(&copy);
    EXPECT_EQ(copy.Frame(), 2);
    EXPECT_FALSE(copy.IsEmpty());

    // Another kind of graphic: marked empty, bytes kept, nobody told.
    TBitmap bitmap;
    bitmap.SetSize(3, 3);
    copy.CopyFrom(&bitmap);
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(copy.EncodedData(), source.EncodedData());
    EXPECT_EQ(copy.Width(), 0);
    EXPECT_EQ(changes, 1);

    // An empty source (here: its file is missing) gives an empty copy, no error.
    THTMLPicture failed;
    failed.LoadFile(QStringLiteral("/nonexistent/picture.png"));
    copy.CopyFrom(&source);
    EXPECT_NO_THROW(copy.CopyFrom(&failed));
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_TRUE(copy.EncodedData().isEmpty());

    copy.CopyFrom(nullptr);
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_TRUE(copy.EncodedData().isEmpty());
    EXPECT_EQ(copy.Frame(), 1);
}
