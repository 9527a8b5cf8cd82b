#include "imaging/gdip_picture.h"

#include "tests/support/gp_test_images.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/strings.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
// Records the order in which a picture's notifications fire.
struct NotificationLog {
    QStringList Events;
    void Watch(TGDIPPicture& Picture)
    {
        Picture.OnChange = [this](TGraphic*) { Events << QStringLiteral("change"); };
        Picture.OnClear = [this](TGDIPPicture*) { Events << QStringLiteral("clear"); };
    }
};

void LoadBytes(TGDIPPicture& Picture, const QByteArray& Bytes)
{
    QByteArray copy = Bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    Picture.LoadStream(&buffer);
}
} // namespace

TEST(GdipPicture, NewPictureIsEmptyAndDrawsNothing)
{
    TGDIPPicture picture;
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_FALSE(picture.MeasureImage());
    QImage target(20, 20, QImage::Format_ARGB32);
    target.fill(0xFF123456);
    TCanvas canvas(&target);
    canvas.Draw(0, 0, &picture);
    canvas.StretchDraw(QRect(0, 0, 20, 20), &picture);
    EXPECT_EQ(target.pixel(5, 5), 0xFF123456u);
}

TEST(GdipPicture, LoadFileKeepsTheBytesAndNotifiesClearThenChange)
{
    TGDIPPicture picture;
    NotificationLog log;
    log.Watch(picture);
    const QString path = TestDataPath(QStringLiteral("rounded-rgba-130x110.png"));
    picture.LoadFile(path);
    EXPECT_FALSE(picture.IsEmpty());
    EXPECT_EQ(picture.EncodedData(), ReadFileBytes(path));
    EXPECT_EQ(picture.Width(), 130);
    EXPECT_EQ(picture.Height(), 110);
    EXPECT_EQ(log.Events, (QStringList{QStringLiteral("clear"), QStringLiteral("change")}));
    EXPECT_TRUE(picture.LastError().isEmpty());
}

TEST(GdipPicture, MissingFileLeavesThePictureEmptyWithoutNotificationButWithAReason)
{
    TGDIPPicture picture;
    LoadBytes(picture, ReadFileBytes(TestDataPath(QStringLiteral("rounded-rgba-130x110.png"))));
    const QByteArray before = picture.EncodedData();
    NotificationLog log;
    log.Watch(picture);
    picture.LoadFile(QStringLiteral("/nonexistent/folder/picture.png"));
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_TRUE(log.Events.isEmpty());
    EXPECT_EQ(picture.EncodedData(), before) << "the old bytes stay in the buffer";
    // The reason says why; whoever shows it names the file (once).
    EXPECT_TRUE(picture.LastError().startsWith(QStringLiteral("cannot open it: ")))
        << picture.LastError().toStdString();
    EXPECT_FALSE(picture.LastError().contains(QStringLiteral("picture.png")));
}

TEST(GdipPicture, SpecialFilesAreRefusedWithoutWaitingOrReadingForEver)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString fifo = folder.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zeroLink = folder.filePath(QStringLiteral("zero.png"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
    for (const QString& name : {fifo, zeroLink, QStringLiteral("/dev/zero"), folder.path()}) {
        TGDIPPicture picture;
        picture.LoadFile(name);
        EXPECT_TRUE(picture.IsEmpty()) << name.toStdString();
        EXPECT_TRUE(picture.LastError().contains(QStringLiteral("not a regular file")))
            << picture.LastError().toStdString();
    }
}

TEST(GdipPicture, AThrowingHandlerDuringLoadFileIsSwallowed)
{
    TGDIPPicture picture;
    picture.OnChange = [](TGraphic*) { throw std::runtime_error("handler failed"); };
    picture.LoadFile(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
    EXPECT_TRUE(picture.IsEmpty());
}

TEST(GdipPicture, UndecodableAndOversizedBytesMeasureZeroWithAReason)
{
    const QByteArray huge = gp_test::PngDeclaring(60000, 60000);
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* reasonMentions;
    } cases[] = {
        {"text", QByteArray("this is not an image"), ""},
        {"truncated png", ReadFileBytes(TestDataPath(QStringLiteral("rounded-rgba-130x110.png"))).left(500),
         ""},
        {"enormous png", huge, "too large"},
    };
    for (const Case& c : cases) {
        TGDIPPicture picture;
        LoadBytes(picture, c.bytes);
        EXPECT_FALSE(picture.IsEmpty()) << c.what << ": the bytes are kept";
        EXPECT_EQ(picture.Width(), 0) << c.what;
        EXPECT_EQ(picture.Height(), 0) << c.what;
        EXPECT_FALSE(picture.LastError().isEmpty()) << c.what;
        EXPECT_TRUE(picture.LastError().contains(QString::fromLatin1(c.reasonMentions)))
            << c.what << ": " << picture.LastError().toStdString();
    }
}

TEST(GdipPicture, LoadStreamCopiesFromTheFirstByteWhateverThePosition)
{
    QByteArray bytes = ReadFileBytes(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(bytes.size() / 2);
    TGDIPPicture picture;
    picture.LoadStream(&buffer);
    EXPECT_EQ(picture.EncodedData(), bytes);
    EXPECT_EQ(picture.Width(), 130);
}

TEST(GdipPicture, StoredDataIsReadWithoutMeasuringOrNotifying)
{
    QByteArray bytes = ReadFileBytes(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
    TGDIPPicture picture;
    NotificationLog log;
    log.Watch(picture);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    picture.ReadStoredData(&buffer);
    EXPECT_FALSE(picture.IsEmpty());
    EXPECT_EQ(picture.Width(), 0) << "measured only when the owner asks";
    EXPECT_TRUE(log.Events.isEmpty());
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    picture.WriteStoredData(&out);
    EXPECT_EQ(written, bytes);
}

TEST(GdipPicture, CopyFromEachKindOfSource)
{
    const QByteArray png = ReadFileBytes(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
    TGDIPPicture source;
    LoadBytes(source, png);

    {
        TGDIPPicture picture;
        NotificationLog log;
        log.Watch(picture);
        picture.CopyFrom(&source);
        EXPECT_EQ(picture.EncodedData(), png);
        EXPECT_FALSE(picture.IsEmpty());
        EXPECT_EQ(picture.Width(), 130) << "measured after the copy";
        EXPECT_EQ(log.Events, QStringList{QStringLiteral("change")});
    }
    {
        TGDIPPicture picture;
        LoadBytes(picture, png);
        NotificationLog log;
        log.Watch(picture);
        picture.CopyFrom(nullptr);
        EXPECT_TRUE(picture.IsEmpty());
        EXPECT_EQ(picture.EncodedData().size(), 0);
        EXPECT_EQ(log.Events, (QStringList{QStringLiteral("change"), QStringLiteral("clear")}));
    }
    {
        TBitmap bitmap;
        bitmap.SetSize(7, 5);
        bitmap.Image().fill(0xFF00FF00);
        TGDIPPicture picture;
        picture.CopyFrom(&bitmap);
        EXPECT_TRUE(picture.EncodedData().startsWith("BM"));
        EXPECT_EQ(picture.Width(), 7);
        EXPECT_EQ(picture.Height(), 5);
    }
    {
        TGDIPPicture picture;
        LoadBytes(picture, png);
        NotificationLog log;
        log.Watch(picture);
        TStrings unsupported;
        picture.CopyFrom(&unsupported);
        EXPECT_TRUE(picture.IsEmpty());
        EXPECT_TRUE(log.Events.isEmpty());
    }
}

TEST(GdipPicture, BmpIsDrawnAtItsOwnSizeWithItsBottomLeftColourLeftOutWhilePngIsScaled)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    image.setPixel(0, 3, qRgb(0, 0, 255)); // bottom-left: the transparent colour
    image.setPixel(2, 3, qRgb(0, 0, 255));
    const QRect rect(2, 2, 16, 16);

    TGDIPPicture bmp;
    LoadBytes(bmp, EncodedBytes(image, "bmp"));
    QImage target(24, 24, QImage::Format_ARGB32);
    target.fill(qRgb(255, 255, 255));
    {
        TCanvas canvas(&target);
        bmp.DrawInRect(canvas, rect);
    }
    EXPECT_EQ(target.pixel(3, 3), qRgb(255, 0, 0)) << "drawn at the rectangle's top-left";
    EXPECT_EQ(target.pixel(2, 5), qRgb(255, 255, 255)) << "bottom-left colour not drawn";
    EXPECT_EQ(target.pixel(4, 5), qRgb(255, 255, 255)) << "every pixel of that colour left out";
    EXPECT_EQ(target.pixel(10, 10), qRgb(255, 255, 255)) << "not scaled to the rectangle";

    TGDIPPicture png;
    LoadBytes(png, EncodedBytes(image, "png"));
    target.fill(qRgb(255, 255, 255));
    {
        TCanvas canvas(&target);
        png.DrawInRect(canvas, rect);
    }
    EXPECT_EQ(target.pixel(10, 10), qRgb(255, 0, 0)) << "scaled into the rectangle";
    // Scaling interpolates between neighbours, so the blue corner is pure at
    // the rectangle's bottom-left pixel and blends towards red inwards.
    EXPECT_EQ(target.pixel(2, 17), qRgb(0, 0, 255)) << "the blue corner scaled too";
    EXPECT_GT(qBlue(target.pixel(4, 16)), qRed(target.pixel(4, 16))) << "mostly blue near the corner";
    EXPECT_EQ(target.pixel(19, 19), qRgb(255, 255, 255)) << "nothing outside";
}
