#include "controls/orb_reflection_image.h"

#include "controls/register_controls.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/save_format_from_name.h"
#include "tests/support/naive_reflection.h"
#include "tests/support/test_data.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_writer.h"

#include <QBuffer>
#include <QColorSpace>
#include <QEnterEvent>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace
{
void LoadPicture(TOrbReflectionImage& Control, const QByteArray& Bytes)
{
    QByteArray copy = Bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    Control.Picture()->LoadStream(&buffer);
}

// Opaque rows whose colour tells the row apart.
QImage StripedPicture(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, qRgba(255 - y, 40 + x, 9 * y % 256, 255));
    return image;
}

QImage ReadImageFile(const QString& Path)
{
    QImageReader reader(Path);
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << Path.toStdString() << ": " << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

class OrbReflectionImageTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { RegisterControls(); }
};
} // namespace

TEST_F(OrbReflectionImageTest, StartsWithItsDefaults)
{
    TOrbReflectionImage control;
    EXPECT_EQ(control.width(), 32);
    EXPECT_EQ(control.height(), 32);
    EXPECT_EQ(control.ReflectionOpacityStart(), 255);
    EXPECT_EQ(control.ReflectionOpacityEnd(), 0);
    EXPECT_EQ(control.ReflectionSize(), 100);
    EXPECT_EQ(control.ReflectionAxis(), 1);
    EXPECT_FALSE(control.AutoSize());
    EXPECT_FALSE(control.ShowHint());
    EXPECT_FALSE(control.HasReflection());
    EXPECT_EQ(control.Version(), QStringLiteral("1.5.0.0"));
    control.SetVersion(QStringLiteral("9.9.9.9"));
    EXPECT_EQ(control.Version(), QStringLiteral("1.5.0.0"));
}

TEST_F(OrbReflectionImageTest, ReflectionMatchesThePlainFormulaOnRealImages)
{
    struct Case {
        const char* file;
        int size, start, end;
    } cases[] = {
        {"photo-opaque-320x240.jpg", 100, 255, 0},
        {"soft-edges-rgba-200x150.png", 50, 120, 1},
        {"rounded-rgba-130x110.png", 300, 200, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TOrbReflectionImage control;
        control.SetReflectionSize(c.size);
        control.SetReflectionOpacityStart(c.start);
        control.SetReflectionOpacityEnd(c.end);
        control.Picture()->LoadFile(TestDataPath(QString::fromLatin1(c.file)));
        ASSERT_TRUE(control.HasReflection());
        ExpectSameBits(control.ReflectionBitmap(),
                       NaiveReflection(LoadTestImage(QString::fromLatin1(c.file)), c.size, c.start, c.end));
    }
}

TEST_F(OrbReflectionImageTest, WorkedRowsOfTheFade)
{
    TOrbReflectionImage control;
    LoadPicture(control, EncodedBytes(StripedPicture(3, 120)));
    const QImage& reflection = control.ReflectionBitmap();
    EXPECT_EQ(qAlpha(reflection.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(reflection.pixel(0, 50)), 128);
    EXPECT_EQ(qAlpha(reflection.pixel(0, 99)), 3);
    EXPECT_EQ(qAlpha(reflection.pixel(0, 100)), 0);
    EXPECT_EQ(qAlpha(reflection.pixel(0, 119)), 0);
}

TEST_F(OrbReflectionImageTest, OutOfRangeOrUnchangedValuesAreIgnoredWithoutARebuild)
{
    TOrbReflectionImage control;
    LoadPicture(control, EncodedBytes(StripedPicture(4, 30)));
    const qint64 built = control.ReflectionBitmap().cacheKey();
    control.SetReflectionOpacityStart(256);
    control.SetReflectionOpacityStart(-1);
    control.SetReflectionOpacityEnd(256);
    control.SetReflectionOpacityEnd(-1);
    control.SetReflectionOpacityStart(255);
    control.SetReflectionSize(100);
    control.SetReflectionSize(-5);
    EXPECT_EQ(control.ReflectionOpacityStart(), 255);
    EXPECT_EQ(control.ReflectionOpacityEnd(), 0);
    EXPECT_EQ(control.ReflectionSize(), 100);
    EXPECT_EQ(control.ReflectionBitmap().cacheKey(), built) << "no rebuild";

    control.SetReflectionAxis(-7);
    EXPECT_EQ(control.ReflectionAxis(), -7);
    EXPECT_EQ(control.ReflectionBitmap().cacheKey(), built) << "the axis only repaints";

    control.SetReflectionOpacityEnd(10);
    EXPECT_NE(control.ReflectionBitmap().cacheKey(), built) << "an accepted change rebuilds";
    control.SetReflectionSize(0);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(qAlpha(control.ReflectionBitmap().pixel(1, y)), 0) << y;
}

TEST_F(OrbReflectionImageTest, AutoSizeFitsPictureAndSizeButNotTheAxis)
{
    TOrbReflectionImage control;
    LoadPicture(control, EncodedBytes(StripedPicture(40, 60)));
    EXPECT_EQ(control.size(), QSize(32, 32)) << "no fitting while AutoSize is off";
    control.SetAutoSize(true);
    EXPECT_EQ(control.size(), QSize(40, 160));
    control.SetReflectionSize(25);
    EXPECT_EQ(control.size(), QSize(40, 85));
    control.SetReflectionAxis(-7);
    EXPECT_EQ(control.size(), QSize(40, 85));
    control.SetReflectionAxis(12);
    EXPECT_EQ(control.size(), QSize(40, 85));
    LoadPicture(control, EncodedBytes(StripedPicture(10, 20)));
    EXPECT_EQ(control.size(), QSize(10, 45)) << "a new picture refits";
}

TEST_F(OrbReflectionImageTest, NegativeAxisPaintsThePictureOverTheFirstReflectionRows)
{
    QImage picture = StripedPicture(6, 20);
    picture.setPixel(2, 19, qRgba(0, 0, 0, 0)); // a hole in the last row shows what lies behind
    TOrbReflectionImage control;
    control.SetReflectionSize(10);
    control.SetReflectionOpacityStart(200);
    control.SetAutoSize(true);
    LoadPicture(control, EncodedBytes(picture));
    control.SetReflectionAxis(-7);
    ASSERT_EQ(control.size(), QSize(6, 30));

    QImage screen(control.size(), QImage::Format_ARGB32);
    screen.fill(qRgb(255, 255, 255));
    control.render(&screen, QPoint(), QRegion(), QWidget::DrawChildren);

    const QImage& reflection = control.ReflectionBitmap();
    // Rows 13..19 carry both: the picture wins where it is opaque.
    for (int y = 13; y < 20; ++y)
        EXPECT_EQ(screen.pixel(0, y), picture.pixel(0, y)) << "row " << y;
    // Through the hole at (2, 19) the reflection row 6 shows over white.
    const QRgb behind = BlendArgbOver(reflection.pixel(2, 6), qRgb(255, 255, 255));
    EXPECT_NEAR(qRed(screen.pixel(2, 19)), qRed(behind), 2);
    EXPECT_NEAR(qGreen(screen.pixel(2, 19)), qGreen(behind), 2);
    // Row 20 shows reflection row 7 over the parent's white.
    const QRgb below = BlendArgbOver(reflection.pixel(0, 7), qRgb(255, 255, 255));
    EXPECT_NEAR(qRed(screen.pixel(0, 20)), qRed(below), 2);
    EXPECT_NEAR(qBlue(screen.pixel(0, 20)), qBlue(below), 2);
    // Past the fade the parent shows.
    EXPECT_EQ(screen.pixel(0, 29), qRgb(255, 255, 255));
}

TEST_F(OrbReflectionImageTest, EmptyControlPaintsADottedBlueOutline)
{
    TOrbReflectionImage control;
    control.resize(20, 12);
    QImage screen(control.size(), QImage::Format_ARGB32);
    screen.fill(qRgb(255, 255, 255));
    control.render(&screen, QPoint(), QRegion(), QWidget::DrawChildren);
    int blue = 0;
    for (int x = 0; x < 20; ++x)
        blue += screen.pixel(x, 0) == qRgb(0, 0, 255);
    EXPECT_GT(blue, 4);
    EXPECT_LT(blue, 20) << "dotted, not solid";
    EXPECT_EQ(screen.pixel(10, 6), qRgb(255, 255, 255)) << "not filled";
}

TEST_F(OrbReflectionImageTest, SavingLeavesTheGapTransparentAndNeverCropsThePicture)
{
    QTemporaryDir dir;
    const QImage picture = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png")).scaled(171, 220);
    TOrbReflectionImage control;
    LoadPicture(control, EncodedBytes(picture));
    control.SetReflectionSize(50);
    control.SetReflectionAxis(20);
    const QString path = dir.filePath(QStringLiteral("out.png"));
    QString reason;
    ASSERT_TRUE(control.SaveReflection(path, ImageSaveFormat::Png, &reason)) << reason.toStdString();
    const QImage saved = ReadImageFile(path);
    ASSERT_EQ(saved.size(), QSize(171, 290));
    for (int y = 0; y < 220; ++y)
        for (int x = 0; x < 171; ++x)
            ASSERT_EQ(saved.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
    for (int y = 220; y < 240; ++y)
        for (int x = 0; x < 171; ++x)
            ASSERT_EQ(qAlpha(saved.pixel(x, y)), 0);
    for (int y = 240; y < 290; ++y)
        for (int x = 0; x < 171; ++x)
            ASSERT_EQ(saved.pixel(x, y), control.ReflectionBitmap().pixel(x, y - 240)) << x << "," << y;

    control.SetReflectionAxis(-30);
    control.SetReflectionSize(20);
    ASSERT_TRUE(control.SaveReflection(path, ImageSaveFormat::Png, &reason));
    EXPECT_EQ(ReadImageFile(path).size(), QSize(171, 220)) << "the picture's last rows are kept";
}

// A picture opened from a profiled file is saved with its profile: without
// it a wide-gamut photo's colours would be taken for sRGB.
TEST_F(OrbReflectionImageTest, SavingKeepsTheOpenedFilesColourProfile)
{
    QImage picture = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    picture.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    TOrbReflectionImage control;
    LoadPicture(control, EncodedBytes(picture));
    QTemporaryDir dir;
    for (const char* format : {"png", "jpg", "tif", "webp"}) {
        SCOPED_TRACE(format);
        const QString path = dir.filePath(QStringLiteral("out.") + QLatin1String(format));
        QString reason;
        ASSERT_TRUE(control.SaveReflection(path, *SaveFormatOfName(path), &reason)) << reason.toStdString();
        QImageReader reader(path);
        const QImage saved = reader.read();
        ASSERT_FALSE(saved.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(saved.colorSpace().primaries(), QColorSpace::Primaries::AdobeRgb);
    }
}

TEST_F(OrbReflectionImageTest, SavingWithoutAPictureWritesNothing)
{
    QTemporaryDir dir;
    TOrbReflectionImage control;
    const QString path = dir.filePath(QStringLiteral("never.png"));
    QString reason;
    EXPECT_FALSE(control.SaveReflection(path, ImageSaveFormat::Png, &reason));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(reason.isEmpty());
}

TEST_F(OrbReflectionImageTest, AFailedSaveKeepsTheExistingFile)
{
    QTemporaryDir dir;
    TOrbReflectionImage control;
    LoadPicture(control, EncodedBytes(StripedPicture(8, 8)));
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    QString reason;
    EXPECT_FALSE(control.SaveReflection(blocker + QStringLiteral("/out.png"), ImageSaveFormat::Png, &reason));
    EXPECT_FALSE(reason.isEmpty());
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep me"));
}

TEST_F(OrbReflectionImageTest, LayoutRoundTripKeepsPictureBytesValuesAndRebuildsTheReflection)
{
    QFile file(TestDataPath(QStringLiteral("rounded-rgba-130x110.png")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    TOrbReflectionImage original;
    original.setObjectName(QStringLiteral("OrbReflectionImage1"));
    original.SetAutoSize(true);
    LoadPicture(original, bytes);
    original.SetReflectionOpacityStart(120);
    original.SetReflectionOpacityEnd(1);
    original.SetReflectionSize(50);
    original.OfficeHint()->SetTitle(QStringLiteral("Hint"));
    const QByteArray layout = WriteLayout(&original);
    ASSERT_TRUE(layout.contains(bytes)) << "the picture is stored as its raw bytes";

    std::unique_ptr<QObject> read(ReadLayout(layout, nullptr));
    auto* copy = qobject_cast<TOrbReflectionImage*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Picture()->EncodedData(), bytes);
    EXPECT_EQ(copy->ReflectionOpacityStart(), 120);
    EXPECT_EQ(copy->ReflectionOpacityEnd(), 1);
    EXPECT_EQ(copy->ReflectionSize(), 50);
    EXPECT_EQ(copy->ReflectionAxis(), 1);
    EXPECT_TRUE(copy->AutoSize());
    EXPECT_EQ(copy->size(), QSize(130, 160));
    EXPECT_EQ(copy->OfficeHint()->Title(), QStringLiteral("Hint"));
    ASSERT_TRUE(copy->HasReflection());
    ExpectSameBits(copy->ReflectionBitmap(), original.ReflectionBitmap());
}

TEST_F(OrbReflectionImageTest, EmptyPictureWritesNoData)
{
    TOrbReflectionImage control;
    control.setObjectName(QStringLiteral("Empty"));
    EXPECT_FALSE(WriteLayout(&control).contains("Picture.Data"));
}

TEST_F(OrbReflectionImageTest, MouseEnterAndLeaveReachTheirHandlers)
{
    TOrbReflectionImage control;
    QStringList seen;
    control.SetOnMouseEnter(
        {QString(), [&](QObject* sender) { seen << (sender == &control ? "enter" : "?"); }});
    control.SetOnMouseLeave(
        {QString(), [&](QObject* sender) { seen << (sender == &control ? "leave" : "?"); }});
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&control, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&control, &leave);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("enter"), QStringLiteral("leave")}));
}
