// Opening and saving through the main window, with real files on disk.

#include "tests/app/main_form_fixture.h"

#include "app/lumivex_application.h"
#include "controls/orb_reflection_image.h"
#include "imaging/gdip_picture.h"
#include "tests/support/test_data.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/track_bar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QSlider>
#include <QtEndian>
#include <cstdlib>
#include <libdeflate.h>
#include <stdexcept>
#include <unistd.h>

namespace
{

struct TSaveCase {
    const char* Typed;  // the name typed in the save dialog, relative to the test folder
    TFileKind Expected; // what the file holds afterwards
};

// One PNG chunk: length, type, data and the checksum over type and data.
QByteArray PngChunk(const char* Type, const QByteArray& Data)
{
    const QByteArray body = QByteArray(Type, 4) + Data;
    char length[4], crc[4];
    qToBigEndian(quint32(Data.size()), length);
    qToBigEndian(quint32(libdeflate_crc32(0, body.constData(), size_t(body.size()))), crc);
    return QByteArray(length, 4) + body + QByteArray(crc, 4);
}

// A well-formed PNG whose header claims Width x Height pixels but whose data
// is an empty stream: readers learn the size before they find the rows missing.
QByteArray PngHeaderClaiming(quint32 Width, quint32 Height)
{
    char fields[13] = {};
    qToBigEndian(Width, fields);
    qToBigEndian(Height, fields + 4);
    fields[8] = 8; // bits per channel
    fields[9] = 6; // RGBA
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", QByteArray(fields, sizeof fields)) +
           PngChunk("IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8)) +
           PngChunk("IEND", QByteArray());
}

bool WriteFile(const QString& Name, const QByteArray& Bytes)
{
    QFile file(Name);
    return file.open(QIODevice::WriteOnly) && file.write(Bytes) == Bytes.size();
}

// The saved picture and reflection as the control holds them: picture rows
// first, the gap of ReflectionAxis transparent rows, then the reflection's
// first ReflectionSize rows. Pixels with alpha 0 compare equal whatever
// their colour.
void ExpectSavedMatchesControl(const QImage& Saved, const QImage& Picture, const TOrbReflectionImage& Control)
{
    const int size = Control.ReflectionSize();
    const int axis = Control.ReflectionAxis();
    ASSERT_GE(axis, 0);
    ASSERT_EQ(Saved.size(), QSize(Picture.width(), Picture.height() + size + axis));
    const QImage& reflection = Control.ReflectionBitmap();
    ASSERT_EQ(reflection.size(), Picture.size());
    int mismatches = 0;
    for (int y = 0; y < Saved.height(); ++y) {
        for (int x = 0; x < Saved.width(); ++x) {
            QRgb expected = 0;
            if (y < Picture.height())
                expected = Picture.pixel(x, y);
            else if (y >= Picture.height() + axis && y - Picture.height() - axis < reflection.height())
                expected = reflection.pixel(x, y - Picture.height() - axis);
            const QRgb actual = Saved.pixel(x, y);
            const bool same = qAlpha(expected) == 0 ? qAlpha(actual) == 0 : actual == expected;
            if (!same && ++mismatches <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << actual << ", expected "
                              << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Mean absolute channel difference of two opaque images over Area.
double MeanDifference(const QImage& A, const QImage& B, const QRect& Area)
{
    double total = 0;
    for (int y = Area.top(); y <= Area.bottom(); ++y)
        for (int x = Area.left(); x <= Area.right(); ++x) {
            const QRgb a = A.pixel(x, y), b = B.pixel(x, y);
            total +=
                std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    return total / (3.0 * Area.width() * Area.height());
}

QImage OverWhite(const QImage& Image)
{
    QImage flat(Image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x) {
            const QRgb p = Image.pixel(x, y);
            const int a = qAlpha(p);
            auto mix = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            flat.setPixel(x, y, qRgb(mix(qRed(p)), mix(qGreen(p)), mix(qBlue(p))));
        }
    return flat;
}

} // namespace

using MainFormSave = MainFormTest;
using MainFormOpen = MainFormTest;

TEST_F(MainFormSave, FormatFollowsTheNamesOwnLastExtension)
{
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("X.JPG")));
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("my.bmp.files")));
    const TSaveCase cases[] = {
        {"out.png", TFileKind::Png},
        {"out.jpeg", TFileKind::Jpeg},
        {"out.jpg", TFileKind::Jpeg},
        {"out.JPE", TFileKind::Jpeg},
        {"lower.gif", TFileKind::Gif},
        {"UPPER.GIF", TFileKind::Gif},
        {"mixed.GiF", TFileKind::Gif},
        {"out.Bmp", TFileKind::Bmp},
        {"pic.bmp.gif", TFileKind::Gif},   // the last extension decides
        {"X.JPG/out.png", TFileKind::Png}, // folders have no say
        {"my.bmp.files/x.png", TFileKind::Png},
    };
    for (const TSaveCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        const QString name = Folder.filePath(QString::fromLatin1(c.Typed));
        SaveAs(name);
        EXPECT_STREQ(KindName(KindOfFile(name)), KindName(c.Expected));
    }
    // TIFF has no kind of its own above: its signature says it.
    const QString tiff = Folder.filePath(QStringLiteral("t.tiff"));
    SaveAs(tiff);
    EXPECT_TRUE(ReadFileBytes(tiff).startsWith("II*") || ReadFileBytes(tiff).startsWith("MM"));
    EXPECT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainFormSave, NameWithoutAKnownExtensionTakesTheSelectedFilterAndItsExtension)
{
    struct TCase {
        int Filter; // entry selected in the dialog, from 1
        const char* Typed;
        const char* Written;
        TFileKind Expected;
    } cases[] = {
        {1, "plain", "plain.png", TFileKind::Png},       {2, "plain", "plain.jpg", TFileKind::Jpeg},
        {3, "plain", "plain.gif", TFileKind::Gif},       {4, "plain", "plain.bmp", TFileKind::Bmp},
        {4, "notes.v2", "notes.v2.bmp", TFileKind::Bmp}, {2, "typed.png", "typed.png", TFileKind::Png},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        Script->FilterAnswer = c.Filter;
        SaveAs(Folder.filePath(QString::fromLatin1(c.Typed)));
        EXPECT_STREQ(KindName(KindOfFile(Folder.filePath(QString::fromLatin1(c.Written)))),
                     KindName(c.Expected));
    }
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("plain"))));
}

TEST_F(MainFormSave, FileNamedByAnAddedExtensionIsReplacedOnlyWhenTheUserSaysSo)
{
    const QString existing = Folder.filePath(QStringLiteral("notes.v2.gif"));
    ASSERT_TRUE(WriteFile(existing, "kept"));
    Script->FilterAnswer = 3; // GIF
    Script->ConfirmAnswers = {false, true};
    SaveAs(Folder.filePath(QStringLiteral("notes.v2")));
    ASSERT_EQ(Script->Questions.size(), 1);
    EXPECT_TRUE(Script->Questions[0].contains(existing)) << Script->Questions[0].toStdString();
    EXPECT_EQ(ReadFileBytes(existing), QByteArray("kept"));
    SaveAs(Folder.filePath(QStringLiteral("notes.v2")));
    EXPECT_EQ(KindOfFile(existing), TFileKind::Gif);
    // A name the dialog itself returned was asked about there: no second question.
    SaveAs(existing);
    EXPECT_EQ(Script->Questions.size(), 2);
}

TEST_F(MainFormSave, DialogListsTiffAndEveryJpegExtensionAndAsksBeforeReplacing)
{
    SaveAs(Folder.filePath(QStringLiteral("out.png")));
    EXPECT_TRUE(Script->AskedFilter.startsWith(
        QStringLiteral("PNG files (*.png)|*.png|JPEG files (*.jpg *.jpeg *.jpe)|*.jpg;*.jpeg;*.jpe|")))
        << Script->AskedFilter.toStdString();
    EXPECT_TRUE(Script->AskedFilter.contains(QStringLiteral("|TIFF files (*.tif *.tiff)|*.tif;*.tiff")));
    EXPECT_TRUE(Script->AskedConfirmOverwrite);
    // The TIFF entry gives a bare name its extension.
    Script->FilterAnswer = 5;
    SaveAs(Folder.filePath(QStringLiteral("scan")));
    EXPECT_TRUE(ReadFileBytes(Folder.filePath(QStringLiteral("scan.tif"))).startsWith("II*"));
}

// Both dialogs start where the user last opened or saved a file, and each
// shows the filter entry it was left at, for the rest of the run.
TEST_F(MainFormSave, DialogsRememberTheLastFolderAndFilter)
{
    const QString photo = TestDataPath(QStringLiteral("photo-opaque-320x240.jpg"));
    const QString dataFolder = QFileInfo(photo).absolutePath();
    const QString savedFolder = QFileInfo(Folder.path()).absoluteFilePath();
    struct TStep {
        const char* Name;
        bool Save;          // else "Open image"
        const char* Answer; // a name in the test folder, "photo", or empty to cancel
        int FilterAnswer;   // the entry the user leaves selected; 0: as shown
        QString AskedStart; // the name the dialog started with
        int AskedFilter;    // the entry it showed first
    } steps[] = {
        {"first open starts nowhere in particular", false, "photo", 2, QString(), 1},
        {"save suggests NAME-reflection.png where the picture came from", true, "first", 2,
         dataFolder + "/photo-opaque-320x240-reflection.png", 1},
        {"second save keeps its folder, name and filter", true, "", 0, savedFolder + "/first", 2},
        {"open starts in the folder saved to", false, "", 0, savedFolder + "/", 2},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Name);
        const QString answer = QLatin1String(step.Answer) == QLatin1String("photo") ? photo
                               : *step.Answer ? Folder.filePath(QString::fromLatin1(step.Answer))
                                              : QString();
        Script->FileAnswers = {answer};
        Script->FilterAnswer = step.Save ? step.FilterAnswer : 0;
        Script->OpenFilterAnswer = step.Save ? 0 : step.FilterAnswer;
        TButton* button = step.Save ? Form->Button1 : Form->Button2;
        ClickAt(button->Button(), button->Button()->rect().center());
        Form->WaitForSave();
        EXPECT_EQ(Script->AskedInitialName, step.AskedStart);
        EXPECT_EQ(Script->AskedFilterIndex, step.AskedFilter);
    }
    EXPECT_EQ(KindOfFile(Folder.filePath(QStringLiteral("first.jpg"))), TFileKind::Jpeg);
}

TEST_F(MainFormSave, EveryFailureReadsCouldNotSaveTheNameAndTheReason)
{
    const QString plainFile = Folder.filePath(QStringLiteral("plain-file"));
    ASSERT_TRUE(WriteFile(plainFile, "x"));
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("folder.png")));
    const QString longName = Folder.filePath(QString(251, QLatin1Char('k')) + QStringLiteral(".png"));
    ASSERT_TRUE(WriteFile(longName, "previous content"));
    const struct {
        const char* Name;
        QString Target;
    } cases[] = {
        {"a file where a folder should be", plainFile + QStringLiteral("/out.png")},
        {"a folder where the file should be", Folder.filePath(QStringLiteral("folder.png"))},
        {"no room for the temporary file's name", longName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Script->Messages.clear();
        SaveAs(c.Target);
        ASSERT_EQ(Script->Messages.size(), 1);
        const QString message = Script->Messages[0];
        const QString lead = QStringLiteral("Could not save \"%1\": ").arg(c.Target);
        ASSERT_TRUE(message.startsWith(lead)) << message.toStdString();
        const QString reason = message.mid(lead.size());
        EXPECT_GT(reason.size(), 5) << message.toStdString();
        EXPECT_FALSE(reason.contains(QFileInfo(c.Target).fileName())) << message.toStdString();
    }
}

TEST_F(MainFormSave, CancelledDialogWritesNothing)
{
    SaveAs(QString());
    EXPECT_EQ(Script->FileDialogs, 1);
    EXPECT_TRUE(QDir(Folder.path()).isEmpty());
    EXPECT_TRUE(Script->Messages.isEmpty());
}

TEST_F(MainFormSave, UnwritableFolderIsReportedNamingTheFile)
{
    const QString notAFolder = Folder.filePath(QStringLiteral("plain-file"));
    ASSERT_TRUE(WriteFile(notAFolder, "x"));
    const QString target = notAFolder + QStringLiteral("/out.png");
    SaveAs(target);
    EXPECT_FALSE(QFile::exists(target));
    ASSERT_EQ(Script->Messages.size(), 1);
    EXPECT_TRUE(Script->Messages[0].contains(target)) << Script->Messages[0].toStdString();
    // The window keeps working afterwards.
    SaveAs(Folder.filePath(QStringLiteral("after.png")));
    EXPECT_EQ(KindOfFile(Folder.filePath(QStringLiteral("after.png"))), TFileKind::Png);
}

TEST_F(MainFormSave, ExistingFileSurvivesAFailedSave)
{
    // A name of the longest length a folder entry may have: the file exists,
    // but no temporary file can be made beside it (its name would be longer),
    // so the save fails even for the superuser, and the old file must stay.
    const QString longName = QString(251, QLatin1Char('k')) + QStringLiteral(".png");
    const QString target = Folder.filePath(longName);
    ASSERT_TRUE(WriteFile(target, "previous content"));
    SaveAs(target);
    ASSERT_EQ(Script->Messages.size(), 1);
    EXPECT_EQ(ReadFileBytes(target), QByteArray("previous content"));
    EXPECT_TRUE(Script->Messages[0].contains(target));
}

TEST_F(MainFormOpen, RealPngAdjustedAndSavedMatchesTheControl)
{
    const QString source = TestDataPath(QStringLiteral("soft-edges-rgba-200x150.png"));
    Open(source);
    ASSERT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
    TOrbReflectionImage* image = Form->OrbReflectionImage1;
    EXPECT_EQ(image->size(), QSize(200, 150 + 50));

    Form->TrackBar1->Slider()->setValue(60);
    Form->TrackBar2->Slider()->setValue(200);
    Form->TrackBar3->Slider()->setValue(10);
    Form->TrackBar4->Slider()->setValue(6);
    const QString saved = Folder.filePath(QStringLiteral("soft.png"));
    SaveAs(saved);
    ASSERT_EQ(KindOfFile(saved), TFileKind::Png);
    const QImage result = QImage(saved).convertToFormat(QImage::Format_ARGB32);
    ExpectSavedMatchesControl(result, LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png")), *image);
    // The fade starts at the chosen opacity: the first reflection row is the
    // picture's bottom row at 200/255 of its alpha.
    const QImage picture = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    const int x = 100;
    const int sourceAlpha = qAlpha(picture.pixel(x, 149));
    EXPECT_EQ(qAlpha(result.pixel(x, 150 + 6)), qRound(200.0 / 255.0 * sourceAlpha));
}

TEST_F(MainFormOpen, RealJpegSavedAsPngAndAsJpegMatchesTheControl)
{
    Open(TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")));
    ASSERT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
    Form->TrackBar1->Slider()->setValue(90);
    Form->TrackBar4->Slider()->setValue(0);
    const QImage picture = LoadTestImage(QStringLiteral("photo-opaque-320x240.jpg"));

    const QString asPng = Folder.filePath(QStringLiteral("photo.png"));
    SaveAs(asPng);
    ASSERT_EQ(KindOfFile(asPng), TFileKind::Png);
    ExpectSavedMatchesControl(QImage(asPng).convertToFormat(QImage::Format_ARGB32), picture,
                              *Form->OrbReflectionImage1);

    // JPEG has no alpha: the same image flattened over white, within the
    // loss of the encoding at quality 100.
    const QString asJpeg = Folder.filePath(QStringLiteral("photo.jpg"));
    SaveAs(asJpeg);
    ASSERT_EQ(KindOfFile(asJpeg), TFileKind::Jpeg);
    const QImage jpeg = QImage(asJpeg).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(jpeg.size(), QSize(320, 240 + 90));
    const QImage expected = OverWhite(QImage(asPng).convertToFormat(QImage::Format_ARGB32));
    // Quality 100 still halves the colour resolution, which costs a photo
    // about 2.5 levels on average; the smooth reflection loses less. A
    // reflection flattened over black instead of white would be off by far more.
    EXPECT_LT(MeanDifference(jpeg, expected, QRect(0, 0, 320, 240)), 4.0);
    EXPECT_LT(MeanDifference(jpeg, expected, QRect(0, 240, 320, 90)), 2.0);
}

TEST_F(MainFormOpen, FileThatCannotBeShownIsReportedAndThePictureStays)
{
    const QByteArray png = ReadFileBytes(TestDataPath(QStringLiteral("soft-edges-rgba-200x150.png")));
    ASSERT_GT(png.size(), 200);
    Open(TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")));
    Form->TrackBar1->Slider()->setValue(77);
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("folder.png")));
    struct TCase {
        const char* Name;
        QByteArray Bytes; // null: the file is not made
    } cases[] = {
        {"missing.png", QByteArray()},
        {"empty.png", QByteArray("")},
        {"words.png", QByteArray("this is not an image at all")},
        {"truncated.png", png.left(png.size() / 2)},
        {"huge.png", PngHeaderClaiming(200000, 200000)},
        {"folder.png", QByteArray()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Script->Messages.clear();
        const QString name = Folder.filePath(QString::fromLatin1(c.Name));
        if (!c.Bytes.isNull()) {
            ASSERT_TRUE(WriteFile(name, c.Bytes));
        }
        Open(name);
        ASSERT_EQ(Script->Messages.size(), 1);
        const QString message = Script->Messages[0];
        EXPECT_TRUE(message.startsWith(QStringLiteral("Could not open \"%1\": ").arg(name)))
            << message.toStdString();
        EXPECT_EQ(message.count(QFileInfo(name).fileName()), 1) << message.toStdString();
        // Something beyond the name says why.
        EXPECT_GT(message.size(), message.indexOf(name) + name.size() + 3) << message.toStdString();
        TOrbReflectionImage* image = Form->OrbReflectionImage1;
        EXPECT_EQ(image->Picture()->Width(), 320);
        EXPECT_EQ(image->ReflectionSize(), 77);
        EXPECT_EQ(image->size(), QSize(320, 240 + 77));
    }
    // The picture on screen still saves.
    Script->Messages.clear();
    SaveAs(Folder.filePath(QStringLiteral("kept.png")));
    EXPECT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(QImage(Folder.filePath(QStringLiteral("kept.png"))).size(), QSize(320, 240 + 77 + 1));
    // And a good file opens afterwards.
    Open(TestDataPath(QStringLiteral("soft-edges-rgba-200x150.png")));
    EXPECT_TRUE(Script->Messages.isEmpty());
    EXPECT_EQ(Form->OrbReflectionImage1->Picture()->Width(), 200);
}

TEST_F(MainFormOpen, CancelledOpenChangesNothing)
{
    Open(QString());
    EXPECT_EQ(Form->OrbReflectionImage1->Picture()->Width(), 171);
    EXPECT_TRUE(Script->Messages.isEmpty());
}

TEST_F(MainFormOpen, HugeHeaderIsCalledTooLarge)
{
    const QString name = Folder.filePath(QStringLiteral("huge.png"));
    ASSERT_TRUE(WriteFile(name, PngHeaderClaiming(200000, 200000)));
    Open(name);
    ASSERT_EQ(Script->Messages.size(), 1);
    EXPECT_TRUE(Script->Messages[0].contains(QStringLiteral("too large"), Qt::CaseInsensitive))
        << Script->Messages[0].toStdString();
}

TEST_F(MainFormTest, ErrorInAnEventIsShownAndTheProgramGoesOn)
{
    const bool handled = DeliverShowingErrors(
        []() -> bool { throw std::runtime_error("Could not allocate memory for reflection image"); });
    EXPECT_TRUE(handled);
    EXPECT_EQ(Script->Messages, QStringList({"Could not allocate memory for reflection image"}));
    EXPECT_FALSE(DeliverShowingErrors([] { return false; }));
    EXPECT_EQ(Script->Messages.size(), 1);
}
