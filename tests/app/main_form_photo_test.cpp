// Photos with a colour profile and metadata in the real window: a save
// carries them as lumivex-cli does, byte for byte, and the view shows the
// picture's colours converted for the screen while the saved file keeps the
// stored values.
#include "tests/app/main_form_fixture.h"

#include "app/image_view.h"
#include "app/status_row.h"
#include "controls/orb_reflection_image.h"
#include "imaging/codecs/image_decoding.h"
#include "tests/cli/cli_run.h"
#include "tests/cli/photo_files.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"
#include "toolkit/widgets/track_bar.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <cstdlib>

namespace
{
const QString Copyright = QStringLiteral("© 2026 Someone, all rights reserved");

// A photo as a camera writes it: a JPEG with an Adobe-RGB-like profile and
// an EXIF copyright.
QByteArray ProfiledJpeg(const QByteArray& Icc)
{
    const QImage picture = PhotoPicture(QSize(320, 240));
    return WithJpegSegment(ProfiledFile(picture, Icc, "jpeg"), 0xE1,
                           QByteArrayLiteral("Exif\0\0") + MakeExif(1, Copyright, picture.size()));
}

// A PNG with a P3-like profile and an eXIf chunk.
QByteArray ProfiledPng(const QByteArray& Icc)
{
    const QImage picture = SaturatedPicture(QSize(300, 200));
    return WithPngChunk(ProfiledFile(picture, Icc, "png"), "eXIf", MakeExif(1, Copyright, picture.size()));
}

struct PacketCase {
    const char* Name;
    bool Jpeg; // the input: the profiled JPEG, or the profiled PNG
    const char* Output;
    bool ExifReadBack; // the container's EXIF is read back (TIFF's is not)
};

class MainFormPhotoPackets : public MainFormTest, public ::testing::WithParamInterface<PacketCase>
{
};
} // namespace

TEST_P(MainFormPhotoPackets, SaveCarriesProfileAndCopyrightAsTheCommandLine)
{
    const PacketCase& c = GetParam();
    const QByteArray icc = MakeRgbProfile(c.Jpeg ? AdobeLikePrimaries : P3LikePrimaries);
    ASSERT_FALSE(icc.isEmpty());
    const QString input = Folder.filePath(c.Jpeg ? QStringLiteral("in.jpg") : QStringLiteral("in.png"));
    ASSERT_TRUE(WriteFile(input, c.Jpeg ? ProfiledJpeg(icc) : ProfiledPng(icc)));
    Open(input);
    Form->TrackBar1->SetPosition(90);
    Form->TrackBar2->SetPosition(200);
    Form->TrackBar3->SetPosition(10);
    Form->TrackBar4->SetPosition(3);
    const QString fromWindow = Folder.filePath(QStringLiteral("window-") + QLatin1String(c.Output));
    SaveAs(fromWindow);
    ASSERT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();

    const QString fromCli = Folder.filePath(QStringLiteral("cli-") + QLatin1String(c.Output));
    const TCliRun run = RunCli(
        {"image", "--size", "90", "--start", "200", "--end", "10", "--axis", "3", "-o", fromCli, input});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    const QByteArray saved = ReadFileBytes(fromWindow);
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(saved == ReadFileBytes(fromCli));

    // Read back as any other program would find them.
    const TImagePackets packets = ReadPicturePackets(saved);
    EXPECT_TRUE(packets.Icc == icc);
    if (c.ExifReadBack) {
        EXPECT_EQ(ReadExifFacts(packets.Exif).Copyright, Copyright);
    }
}

INSTANTIATE_TEST_SUITE_P(EachFormat, MainFormPhotoPackets,
                         ::testing::Values(PacketCase{"jpeg_to_png", true, "a.png", true},
                                           PacketCase{"jpeg_to_jpeg", true, "b.jpg", true},
                                           PacketCase{"jpeg_to_webp", true, "c.webp", true},
                                           PacketCase{"jpeg_to_tiff", true, "d.tiff", false},
                                           PacketCase{"png_to_png", false, "e.png", true},
                                           PacketCase{"png_to_jpeg", false, "f.jpg", true},
                                           PacketCase{"png_to_webp", false, "g.webp", true},
                                           PacketCase{"png_to_tiff", false, "h.tiff", false}),
                         CaseName<PacketCase>);

namespace
{
// Three flat patches side by side, colours whose meaning moves most between
// wide primaries and sRGB's.
const QRgb Patches[3] = {qRgb(60, 170, 70), qRgb(200, 60, 50), qRgb(70, 90, 190)};

QImage PatchPicture(QSize Size)
{
    QImage picture(Size, QImage::Format_ARGB32);
    const int width = Size.width() / 3;
    for (int i = 0; i < 3; ++i) {
        QPainter painter(&picture);
        painter.fillRect(QRect(i * width, 0, i == 2 ? Size.width() - 2 * width : width, Size.height()),
                         QColor(Patches[i]));
    }
    return picture;
}

int LargestDifference(QRgb A, QRgb B)
{
    return std::max(
        {std::abs(qRed(A) - qRed(B)), std::abs(qGreen(A) - qGreen(B)), std::abs(qBlue(A) - qBlue(B))});
}

struct ViewCase {
    const char* Name;
    QSize Size;   // small enough for 100 %, or fitted
    bool Profile; // an Adobe-RGB-like profile, or none
    bool Fitted;
};

class MainFormPhotoView : public MainFormTest, public ::testing::WithParamInterface<ViewCase>
{
};
} // namespace

TEST_P(MainFormPhotoView, ShownConvertedSavedAsStored)
{
    const ViewCase& c = GetParam();
    const QByteArray icc = c.Profile ? MakeRgbProfile(AdobeLikePrimaries) : QByteArray();
    const QImage picture = PatchPicture(c.Size);
    const QString input = Folder.filePath(QStringLiteral("patches.png"));
    ASSERT_TRUE(WriteFile(input, ProfiledFile(picture, icc, "png")));
    Open(input);
    TImageView* view = Form->ImageView();
    ASSERT_EQ(view->Fitted(), c.Fitted);
    EXPECT_EQ(view->ConvertsColours(), c.Profile);
    const QImage screen = Form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = c.Fitted ? view->viewport()->mapTo(Form.get(), QPoint(0, 0))
                                   : Form->OrbReflectionImage1->mapTo(Form.get(), QPoint(0, 0));
    const double scale = view->Scale();
    const QImage expected = c.Profile ? ConvertedToSrgb(picture, icc) : picture;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QPoint centre((2 * i + 1) * c.Size.width() / 6, c.Size.height() / 2);
        const QRgb shown = screen.pixel(origin + (QPointF(centre) * scale).toPoint());
        const QRgb wanted = expected.pixel(centre);
        if (c.Profile) {
            ASSERT_GT(LargestDifference(wanted, Patches[i]), 8) << "the profile must move this colour";
        }
        EXPECT_LE(LargestDifference(shown, wanted), 2);
    }

    // The file keeps the stored values and the profile that gives them
    // their meaning.
    const QString saved = Folder.filePath(QStringLiteral("saved.png"));
    SaveAs(saved);
    const QByteArray bytes = ReadFileBytes(saved);
    const TDecodedImage decoded = DecodeImage(bytes);
    ASSERT_EQ(decoded.Status, TGpStatus::Ok);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(decoded.Image.pixel((2 * i + 1) * c.Size.width() / 6, c.Size.height() / 2) | 0xFF000000u,
                  Patches[i]);
    EXPECT_TRUE(decoded.Packets.Icc == icc);
}

INSTANTIATE_TEST_SUITE_P(Modes, MainFormPhotoView,
                         ::testing::Values(ViewCase{"profiled_at_100_percent", QSize(300, 150), true, false},
                                           ViewCase{"profiled_fitted", QSize(2400, 1200), true, true},
                                           ViewCase{"without_profile_at_100_percent", QSize(300, 150), false,
                                                    false}),
                         CaseName<ViewCase>);

TEST_F(MainFormPhotoView, ReducedFirstDecodingIsShownConvertedToo)
{
    // "lumivex FILE" shows a large JPEG from a reduced decoding first.
    const QByteArray icc = MakeRgbProfile(AdobeLikePrimaries);
    const QImage picture = PatchPicture(QSize(3000, 1500));
    const QString input = Folder.filePath(QStringLiteral("patches.jpg"));
    ASSERT_TRUE(WriteFile(input, ProfiledFile(picture, icc, "jpeg")));
    Form->OpenFileInBackground(input);
    TImageView* view = Form->ImageView();
    ASSERT_TRUE(view->ShowsPreview());
    EXPECT_TRUE(view->ConvertsColours());
    const QImage screen = Form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = view->viewport()->mapTo(Form.get(), QPoint(0, 0));
    const QImage expected = ConvertedToSrgb(picture, icc);
    for (int i = 0; i < 3; ++i) {
        const QPoint centre((2 * i + 1) * 500, 750);
        // JPEG's own rounding allows a few steps.
        EXPECT_LE(LargestDifference(screen.pixel(origin + (QPointF(centre) * view->Scale()).toPoint()),
                                    expected.pixel(centre)),
                  6)
            << i;
    }
    while (Form->OpenPending())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

using MainFormPhotoWarnings = MainFormTest;

TEST_F(MainFormPhotoWarnings, PacketLeftOutIsNamedAfterTheSavedLine)
{
    // A camera's EXIF cut short: the file is saved all the same, without it.
    const QByteArray exif = MakeExif(1, QStringLiteral("cut"), QSize(32, 32));
    const QString input = Folder.filePath(QStringLiteral("cut-exif.jpg"));
    ASSERT_TRUE(
        WriteFile(input, WithJpegSegment(ProfiledFile(PhotoPicture(QSize(32, 32)), {}, "jpeg"), 0xE1,
                                         QByteArrayLiteral("Exif\0\0") + exif.left(exif.size() / 3))));
    Open(input);
    const QString saved = Folder.filePath(QStringLiteral("saved.png"));
    SaveAs(saved);
    const QString line = Form->StatusRow()->Message();
    EXPECT_TRUE(line.startsWith(QStringLiteral("Saved saved.png ("))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral(" without the EXIF packet"))) << line.toStdString();
    EXPECT_TRUE(ReadPicturePackets(ReadFileBytes(saved)).Exif.isEmpty());
}

TEST_F(MainFormPhotoWarnings, CopyCarriesTheProfileOnly)
{
    const QByteArray icc = MakeRgbProfile(P3LikePrimaries);
    const QString input = Folder.filePath(QStringLiteral("in.png"));
    ASSERT_TRUE(WriteFile(input, ProfiledPng(icc)));
    Open(input);
    QApplication::clipboard()->clear();
    Form->CopyToClipboard();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Form->CopyPending(); }, 60000));
    const QByteArray copied = QApplication::clipboard()->mimeData()->data(QStringLiteral("image/png"));
    ASSERT_FALSE(copied.isEmpty());
    const TImagePackets packets = ReadPicturePackets(copied);
    EXPECT_TRUE(packets.Icc == icc);
    EXPECT_TRUE(packets.Exif.isEmpty());
}
