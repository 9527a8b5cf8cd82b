#include "toolkit/graphics/bitmap.h"

#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"

#include "tests/support/image_test_helpers.h"
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <cctype>
#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>
#include <string>

namespace
{

// A small bitmap with a different colour in every pixel; the odd width makes
// the 24-bit rows need padding.
void FillPattern(TBitmap& Bitmap, int Width, int Height, bool WithAlpha)
{
    Bitmap.SetSize(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Bitmap.Image().setPixel(x, y,
                                    qRgba(x * 37 % 256, y * 51 % 256, (x + y) * 23 % 256,
                                          WithAlpha ? (x * 60 + y * 7) % 256 : 255));
}

quint32 Le32(const QByteArray& Bytes, int Offset)
{
    return qFromLittleEndian<quint32>(Bytes.constData() + Offset);
}
quint16 Le16(const QByteArray& Bytes, int Offset)
{
    return qFromLittleEndian<quint16>(Bytes.constData() + Offset);
}

void ExpectSamePixels(const QImage& Actual, const QImage& Expected, const char* What)
{
    ASSERT_EQ(Actual.size(), Expected.size()) << What;
    for (int y = 0; y < Expected.height(); ++y)
        for (int x = 0; x < Expected.width(); ++x)
            ASSERT_EQ(Actual.pixel(x, y), Expected.pixel(x, y)) << What << " at " << x << "," << y;
}

struct BmpCase {
    const char* Name;
    int Width, Height;
    bool WithAlpha;
    int BitCount, HeaderSize;
};
void PrintTo(const BmpCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class BitmapBmp : public ::testing::TestWithParam<BmpCase>
{
};

TEST_P(BitmapBmp, RoundTripsThroughQtAndItself)
{
    const BmpCase& c = GetParam();
    TBitmap bitmap;
    FillPattern(bitmap, c.Width, c.Height, c.WithAlpha);
    const QByteArray bytes = bitmap.SaveToBmp();
    ASSERT_GT(bytes.size(), 54) << c.Name;
    EXPECT_EQ(bytes.left(2), QByteArray("BM")) << c.Name;
    EXPECT_EQ(Le32(bytes, 2), quint32(bytes.size())) << c.Name;
    EXPECT_EQ(Le32(bytes, 14), quint32(c.HeaderSize)) << c.Name;
    EXPECT_EQ(Le16(bytes, 28), c.BitCount) << c.Name;
    const int rowBytes = ((c.Width * c.BitCount + 31) / 32) * 4;
    EXPECT_EQ(bytes.size(), 14 + c.HeaderSize + rowBytes * c.Height) << c.Name;

    const QImage byQt = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_ARGB32);
    ExpectSamePixels(byQt, bitmap.Image(), c.Name);

    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TBitmap loaded;
    loaded.LoadStream(&buffer);
    EXPECT_EQ(loaded.Width(), c.Width);
    EXPECT_EQ(loaded.Height(), c.Height);
    EXPECT_EQ(loaded.Image().format(), QImage::Format_ARGB32);
    ExpectSamePixels(loaded.Image(), bitmap.Image(), c.Name);
}

TEST_P(BitmapBmp, IsReadByImageMagick)
{
    const BmpCase& c = GetParam();
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TBitmap bitmap;
    FillPattern(bitmap, c.Width, c.Height, c.WithAlpha);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bmp = dir.filePath(QStringLiteral("in.bmp")), png = dir.filePath(QStringLiteral("out.png"));
    ASSERT_TRUE(bitmap.SaveFile(bmp));
    QProcess process;
    process.start(convert, {bmp, QStringLiteral("PNG32:") + png});
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage byMagick = QImage(png).convertToFormat(QImage::Format_ARGB32);
    ExpectSamePixels(byMagick, bitmap.Image(), c.Name);
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapBmp,
                         ::testing::Values(BmpCase{"opaque 7x5 as 24 bit", 7, 5, false, 24, 40},
                                           BmpCase{"opaque 1x1 as 24 bit", 1, 1, false, 24, 40},
                                           BmpCase{"alpha 6x3 as 32 bit", 6, 3, true, 32, 108}),
                         CaseName<BmpCase>);

struct DamagedCase {
    const char* Name;
    QByteArray Bytes;
};
void PrintTo(const DamagedCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

QByteArray Truncated()
{
    TBitmap bitmap;
    FillPattern(bitmap, 9, 9, false);
    return bitmap.SaveToBmp().left(70);
}

QByteArray HugeHeader()
{
    TBitmap bitmap;
    FillPattern(bitmap, 2, 2, false);
    QByteArray bytes = bitmap.SaveToBmp();
    qToLittleEndian<quint32>(200000, bytes.data() + 18);
    qToLittleEndian<quint32>(200000, bytes.data() + 22);
    return bytes;
}

class BitmapDamaged : public ::testing::TestWithParam<DamagedCase>
{
};

TEST_P(BitmapDamaged, BecomesEmptyAndThrows)
{
    const DamagedCase& c = GetParam();
    TBitmap bitmap;
    FillPattern(bitmap, 3, 3, false);
    int changes = 0;
    bitmap.OnChange = [&changes](TGraphic*) { ++changes; };
    QByteArray bytes = c.Bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        bitmap.LoadStream(&buffer);
        FAIL() << c.Name << ": no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Bitmap image is not valid"), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(bitmap.IsEmpty()) << c.Name;
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(changes, 1) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Streams, BitmapDamaged,
                         ::testing::Values(DamagedCase{"empty stream", QByteArray()},
                                           DamagedCase{"not a bitmap",
                                                       QByteArray("GIF89a not really a picture")},
                                           DamagedCase{"PNG signature", QByteArray("\x89PNG\r\n\x1a\n", 8)},
                                           DamagedCase{"header only", Truncated()},
                                           DamagedCase{"enormous size in the header", HugeHeader()}),
                         CaseName<DamagedCase>);

TEST(BitmapLoad, ReadsFromTheStreamPosition)
{
    TBitmap source;
    FillPattern(source, 4, 3, false);
    QByteArray bytes = QByteArray("prefix") + source.SaveToBmp();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(6);
    TBitmap loaded;
    loaded.LoadStream(&buffer);
    ExpectSamePixels(loaded.Image(), source.Image(), "after prefix");
}

TEST(BitmapSize, ResizingKeepsTheOverlap)
{
    TBitmap bitmap;
    FillPattern(bitmap, 4, 4, false);
    const QImage before = bitmap.Image().copy();
    bitmap.SetSize(6, 3);
    ASSERT_EQ(bitmap.Image().size(), QSize(6, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(bitmap.Image().pixel(x, y), x < 4 ? before.pixel(x, y) : 0xFFFFFFFFu) << x << "," << y;
    bitmap.SetWidth(2);
    EXPECT_EQ(bitmap.Image().pixel(1, 2), before.pixel(1, 2));
    bitmap.SetHeight(0);
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_TRUE(bitmap.SaveToBmp().isEmpty());
}

TEST(BitmapChange, FiresOnEveryChangeOnly)
{
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&changes](TGraphic*) { ++changes; };
    bitmap.SetSize(3, 3);
    bitmap.SetSize(3, 3);
    EXPECT_EQ(changes, 1);
    bitmap.SetTransparent(true);
    bitmap.SetTransparent(true);
    EXPECT_EQ(changes, 2);
    TBitmap other;
    other.SetSize(1, 1);
    bitmap.CopyFrom(&other);
    EXPECT_EQ(changes, 3);
}

TEST(BitmapCopy, TakesADeepCopy)
{
    TBitmap source;
    FillPattern(source, 3, 2, false);
    source.SetTransparent(true);
    TBitmap copy;
    copy.CopyFrom(&source);
    EXPECT_TRUE(copy.Transparent());
    ExpectSamePixels(copy.Image(), source.Image(), "copy");
    source.Image().fill(0xFF000000u);
    EXPECT_NE(copy.Image().pixel(1, 1), 0xFF000000u);
    copy.CopyFrom(nullptr);
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(BitmapCanvas, DrawsIntoTheBitmap)
{
    TBitmap bitmap;
    bitmap.SetSize(8, 8);
    bitmap.Canvas()->Brush()->SetColor(clRed);
    bitmap.Canvas()->FillRect(QRect(2, 2, 2, 2));
    EXPECT_EQ(bitmap.Image().pixel(2, 3), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap.Image().pixel(4, 4), 0xFFFFFFFFu);
    EXPECT_EQ(bitmap.Canvas()->PixelsPerInchX(), 96);
}

struct TransparentCase {
    const char* Name;
    bool Transparent;
};
void PrintTo(const TransparentCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class BitmapTransparent : public ::testing::TestWithParam<TransparentCase>
{
};

TEST_P(BitmapTransparent, LeavesOutTheBottomLeftColour)
{
    const TransparentCase& c = GetParam();
    const QRgb key = qRgb(255, 0, 0), ink = qRgb(0, 160, 0), back = qRgb(0, 0, 255);
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.Image().fill(ink);
    bitmap.Image().setPixel(0, 3, key); // bottom-left
    bitmap.Image().setPixel(2, 1, key);
    bitmap.SetTransparent(c.Transparent);
    EXPECT_EQ(bitmap.TransparentColor(), clRed);
    QImage target(6, 6, QImage::Format_ARGB32);
    target.fill(back);
    TCanvas canvas(&target);
    canvas.Draw(1, 1, &bitmap);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool isKey = (x == 0 && y == 3) || (x == 2 && y == 1);
            const QRgb expected = isKey ? (c.Transparent ? back : key) : ink;
            EXPECT_EQ(target.pixel(x + 1, y + 1), expected) << c.Name << " " << x << "," << y;
        }
    EXPECT_EQ(target.pixel(0, 0), back);
    EXPECT_EQ(target.pixel(5, 5), back);
}

INSTANTIATE_TEST_SUITE_P(Modes, BitmapTransparent,
                         ::testing::Values(TransparentCase{"transparent", true},
                                           TransparentCase{"opaque", false}),
                         CaseName<TransparentCase>);

TEST(BitmapLoad, MissingFileRaisesAClearError)
{
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFile(QStringLiteral("/nonexistent/folder/picture.bmp")), std::runtime_error);
    EXPECT_TRUE(bitmap.IsEmpty());
}

} // namespace
