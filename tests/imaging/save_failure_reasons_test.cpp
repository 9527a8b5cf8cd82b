// A failed save names its real cause, not "Unknown error".
#include "imaging/saving/file_reflection.h"
#include "imaging/saving/reflection_output.h"
#include "tests/support/test_data.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SaveFailureReasons, NameTheCause)
{
    const struct {
        const char* Name;
        QSize Size;
        ImageSaveFormat Format;
        QString Target;
        const char* ReasonMentions;
    } cases[] = {
        {"disk full", QSize(8, 8), ImageSaveFormat::Png, QStringLiteral("/dev/full"),
         "No space left on device"},
        {"jpeg taller than its format allows", QSize(1, 65501), ImageSaveFormat::Jpeg,
         QStringLiteral("/dev/null"), "JPEG is limited to 65500 pixels"},
        {"jpeg wider than its format allows", QSize(65501, 1), ImageSaveFormat::Jpeg,
         QStringLiteral("/dev/null"), "JPEG is limited to 65500 pixels"},
    };
    for (const auto& c : cases) {
        QImage picture(c.Size, QImage::Format_ARGB32);
        picture.fill(0xFF336699u);
        QString reason;
        EXPECT_NE(SaveReflectionFile(picture, c.Format, c.Target, &reason), TGpStatus::Ok) << c.Name;
        EXPECT_TRUE(reason.contains(QLatin1String(c.ReasonMentions)))
            << c.Name << ": " << reason.toStdString();
    }
}

// A file's reflection that cannot be written says why with a kind the caller
// can act on, and the sentence the user reads.
TEST(SaveFailureReasons, CarryTheirKind)
{
    QTemporaryDir folder;
    const QByteArray png = ReadFileBytes(TestDataPath("soft-edges-rgba-200x150.png"));
    QImage tall(1, 65200, QImage::Format_ARGB32);
    tall.fill(0xFF336699u);
    QByteArray tallPng;
    QBuffer buffer(&tallPng);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && tall.save(&buffer, "PNG"));

    const struct {
        const char* Name;
        QByteArray File;
        ImageSaveFormat Format;
        QString Target;
        std::int64_t MaxPixels;
        TFailureKind Kind;
        const char* Starts;
    } cases[] = {
        {"cut short", png.left(900), ImageSaveFormat::Png, folder.filePath(QStringLiteral("a.png")),
         MaxDecodedPixels, TFailureKind::Damaged, "damaged image: "},
        {"no picture at all", QByteArray("plain text, no picture"), ImageSaveFormat::Png,
         folder.filePath(QStringLiteral("b.png")), MaxDecodedPixels, TFailureKind::Unsupported,
         "unknown image format"},
        {"nothing", QByteArray(), ImageSaveFormat::Png, folder.filePath(QStringLiteral("c.png")),
         MaxDecodedPixels, TFailureKind::Unreadable, "no image data"},
        {"over the caller's limit", png, ImageSaveFormat::Jpeg, folder.filePath(QStringLiteral("d.jpg")),
         1000, TFailureKind::OverLimit, "image too large: 200 × 150 is over the limit of 1000 pixels"},
        {"a folder as the output", png, ImageSaveFormat::Png, folder.path(), MaxDecodedPixels,
         TFailureKind::Unwritable, ""},
        {"a full disk", png, ImageSaveFormat::Bmp, QStringLiteral("/dev/full"), MaxDecodedPixels,
         TFailureKind::Unwritable, "could not write /dev/full: No space left on device"},
        {"taller than JPEG holds", tallPng, ImageSaveFormat::Jpeg, folder.filePath(QStringLiteral("e.jpg")),
         MaxDecodedPixels, TFailureKind::Unsupported, "JPEG is limited to 65500 pixels a side"},
        {"a format that is not there", png, ImageSaveFormat(9), folder.filePath(QStringLiteral("f")),
         MaxDecodedPixels, TFailureKind::Unsupported, "no encoder for format 9"},
    };
    for (const auto& c : cases) {
        TSaveRequest request;
        request.Input = &c.File;
        request.Options.MaxPixels = c.MaxPixels;
        request.Reflection =
            TReflectionParameters{.Size = 333, .OpacityStart = 255, .OpacityEnd = 0, .Axis = 1};
        request.Format = c.Format;
        request.Sink.FileName = c.Target;
        const TFileReflection written = WriteFileReflection(request);
        EXPECT_NE(written.Status, TGpStatus::Ok) << c.Name;
        EXPECT_EQ(written.Failure.Kind, c.Kind) << c.Name << ": " << written.Failure.Text.toStdString();
        EXPECT_FALSE(written.Failure.Text.isEmpty()) << c.Name;
        EXPECT_TRUE(written.Failure.Text.startsWith(QString::fromUtf8(c.Starts)))
            << c.Name << ": " << written.Failure.Text.toStdString();
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}
