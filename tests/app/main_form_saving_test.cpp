// Saving away from the window: a 24 MP save leaves the window answering and
// shows its progress and outcome in the status row; cancelling it (Esc, the
// Cancel button, quitting) leaves the folder as it was.
#include "tests/app/main_form_fixture.h"

#include "app/status_row.h"
#include "controls/orb_reflection_image.h"
#include "tests/support/test_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

namespace
{
// Every entry of Folder with its size and bytes' start, hidden files included:
// a temporary file left behind shows here.
QStringList Listing(const QString& Folder)
{
    QStringList entries;
    for (const QFileInfo& entry :
         QDir(Folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        QFile file(entry.filePath());
        const QByteArray start = file.open(QIODevice::ReadOnly) ? file.read(16) : QByteArray();
        entries << QStringLiteral("%1 %2 %3")
                       .arg(entry.fileName())
                       .arg(entry.size())
                       .arg(QString::fromLatin1(start.toHex()));
    }
    entries.sort();
    return entries;
}
} // namespace

class MainFormSaving : public MainFormTest
{
  protected:
    // 24 megapixels by default: long enough to encode that a cancel made
    // right after the save starts comes before its end.
    void OpenLargePhoto(int Width = 6000, int Height = 4000)
    {
        const QString photo = Folder.filePath(QStringLiteral("photo.png"));
        ASSERT_TRUE(WriteLargePng(photo, Width, Height));
        Form->OpenFile(photo);
        ASSERT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(Form->OrbReflectionImage1->Picture()->Height(), Height);
    }
};

TEST_F(MainFormSaving, WindowAnswersWhileA24MegapixelPictureIsSaved)
{
    OpenLargePhoto();
    const QString target = Folder.filePath(QStringLiteral("saved.png"));
    StartSaveAs(target);
    ASSERT_TRUE(Form->SavePending());
    EXPECT_TRUE(Form->StatusRow()->ProgressShown());
    EXPECT_EQ(Form->StatusRow()->Message(), QStringLiteral("Saving saved.png…"));
    // An event posted now is handled while the save still runs.
    bool handledWhileSaving = false;
    QTimer::singleShot(0, [&] { handledWhileSaving = Form->SavePending(); });
    Form->WaitForSave();
    EXPECT_TRUE(handledWhileSaving);
    EXPECT_FALSE(Form->StatusRow()->ProgressShown());

    const QImage saved(target);
    ASSERT_EQ(saved.size(), QSize(6000, 4051));
    const QString size =
        QLocale::c().formattedDataSize(QFileInfo(target).size(), 1, QLocale::DataSizeSIFormat);
    EXPECT_EQ(Form->StatusRow()->Message(), QStringLiteral("Saved saved.png (6000 × 4051, %1)").arg(size));
    EXPECT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainFormSaving, CancelledSaveLeavesTheFolderAsItWas)
{
    OpenLargePhoto();
    const QString existing = Folder.filePath(QStringLiteral("existing.webp"));
    ASSERT_TRUE(QFile(existing).open(QIODevice::WriteOnly));
    struct TCase {
        const char* Name;
        const char* File;
        bool EscapeKey; // else the status row's Cancel button
        // Cancelled once the bar shows part of the file written: the encoder
        // reports as it goes and stops there, before its end.
        bool MidWay;
    } cases[] = {
        {"PNG, Esc", "new.png", true, false},
        {"PNG, Cancel button", "new.png", false, false},
        {"lossless WebP over an existing file, Esc", "existing.webp", true, false},
        {"JPEG, Cancel button", "new.jpg", false, false},
        {"PNG half-way, Esc", "new.png", true, true},
        {"JPEG half-way, Cancel button", "new.jpg", false, true},
        {"TIFF half-way, Esc", "new.tif", true, true},
        {"GIF half-way, Cancel button", "new.gif", false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QStringList before = Listing(Folder.path());
        StartSaveAs(Folder.filePath(QString::fromLatin1(c.File)));
        ASSERT_TRUE(Form->SavePending());
        if (c.MidWay) {
            const QProgressBar* bar = Form->StatusRow()->ProgressBar();
            while (Form->SavePending() && bar->maximum() == 0)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            ASSERT_TRUE(Form->SavePending()) << "the save ended before it showed how far it got";
            EXPECT_GT(bar->value(), 0);
            EXPECT_LT(bar->value(), bar->maximum());
        }
        if (c.EscapeKey) {
            PressKey(Form.get(), Qt::Key_Escape, Qt::NoModifier);
        } else {
            QToolButton* cancel = Form->StatusRow()->CancelButton();
            ASSERT_TRUE(cancel->isVisible());
            cancel->click();
        }
        Form->WaitForSave();
        EXPECT_EQ(Listing(Folder.path()), before);
        EXPECT_EQ(
            Form->StatusRow()->Message(),
            QStringLiteral("Saving %1 cancelled; nothing was written").arg(QString::fromLatin1(c.File)));
        EXPECT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(MainFormSaving, QuittingWhileSavingAsksAndStopsTheSaveOnlyWhenTheUserSaysSo)
{
    OpenLargePhoto();
    const QString target = Folder.filePath(QStringLiteral("kept.png"));
    StartSaveAs(target);
    ASSERT_TRUE(Form->SavePending());
    Script->ConfirmAnswers = {false};
    EXPECT_FALSE(Form->close());
    ASSERT_EQ(Script->Questions.size(), 1);
    EXPECT_TRUE(Script->Questions.front().contains(QStringLiteral("kept.png")));
    EXPECT_TRUE(Form->isVisible());
    Form->WaitForSave();
    EXPECT_EQ(QImage(target).size(), QSize(6000, 4051));

    const QString stopped = Folder.filePath(QStringLiteral("stopped.png"));
    StartSaveAs(stopped);
    ASSERT_TRUE(Form->SavePending());
    Script->ConfirmAnswers = {true};
    EXPECT_TRUE(Form->close());
    Form.reset(); // waits for the stopped save's thread
    EXPECT_FALSE(QFileInfo::exists(stopped));
}

// Any picture will do: the first save counts as running until the window
// has handled its end, and no event is handled before the second click.
TEST_F(MainFormSaving, SecondSaveWaitsForTheFirst)
{
    OpenLargePhoto(600, 400);
    StartSaveAs(Folder.filePath(QStringLiteral("first.png")));
    ASSERT_TRUE(Form->SavePending());
    // The second dialog opens only once the first save has ended.
    SaveAs(Folder.filePath(QStringLiteral("second.jpg")));
    EXPECT_EQ(QImage(Folder.filePath(QStringLiteral("first.png"))).size(), QSize(600, 451));
    EXPECT_EQ(QImage(Folder.filePath(QStringLiteral("second.jpg"))).size(), QSize(600, 451));
    EXPECT_EQ(Script->FileDialogs, 2);
}

TEST_F(MainFormSaving, OptionsAreAskedOnlyForFormatsThatHaveThem)
{
    Open(TestDataPath(QStringLiteral("soft-edges-rgba-200x150.png")));
    const struct {
        const char* Name;
        const char* File;
        bool Quality, Background;
    } cases[] = {
        {"PNG keeps the fade: nothing to ask", "a.png", false, false},
        {"TIFF likewise", "a.tif", false, false},
        {"JPEG: quality and background", "a.jpg", true, true},
        {"WebP keeps the fade: quality only", "a.webp", true, false},
        {"BMP: background only", "a.bmp", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Script->AskedSaveChoices.reset();
        SaveAs(Folder.filePath(QString::fromLatin1(c.File)));
        ASSERT_EQ(Script->AskedSaveChoices.has_value(), c.Quality || c.Background);
        if (Script->AskedSaveChoices) {
            EXPECT_EQ(Script->AskedSaveChoices->HasQuality, c.Quality);
            EXPECT_EQ(Script->AskedSaveChoices->HasBackground, c.Background);
        }
    }
    // A cancelled choice saves nothing.
    Script->CancelSaveChoices = true;
    SaveAs(Folder.filePath(QStringLiteral("cancelled.jpg")));
    EXPECT_FALSE(QFileInfo::exists(Folder.filePath(QStringLiteral("cancelled.jpg"))));
}

TEST_F(MainFormSaving, FormatWithoutAlphaLaysTheFadeOnTheChosenColour)
{
    Open(TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")));
    const struct {
        const char* Name;
        QColor Background;
    } cases[] = {{"white, as before", Qt::white}, {"navy", QColor(0, 0, 128)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSaveChoices choices;
        choices.HasBackground = true;
        choices.Background = c.Background;
        Script->SaveChoicesAnswer = choices;
        const QString file = Folder.filePath(QStringLiteral("flat-%1.bmp").arg(c.Background.name().mid(1)));
        SaveAs(file);
        const QImage saved(file);
        ASSERT_EQ(saved.size(), QSize(320, 291));
        // The row between picture and reflection (the offset of 1) is clear:
        // only the background shows there.
        EXPECT_EQ(saved.pixel(160, 240) & 0xFFFFFF, c.Background.rgb() & 0xFFFFFF);
    }
}
