// An animated picture in the window: the first frame is shown, a format that
// holds an animation gets every frame, and the status row says how many.
#include "tests/app/main_form_fixture.h"

#include "app/status_row.h"
#include "controls/orb_reflection_image.h"
#include "imaging/saving/file_reflection.h"
#include "tests/support/animated_files.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>

class MainFormAnimation : public MainFormTest
{
};

TEST_F(MainFormAnimation, EveryFrameIsSavedWhereTheFormatHoldsThemAndTheStatusRowCountsThem)
{
    const QString input = Folder.filePath(QStringLiteral("moving.gif"));
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QSize canvas(20, 10);
    const QByteArray gif =
        MakeAnimatedGif(canvas,
                        {SolidGifFrame(canvas, 0xFFFF0000u), SolidGifFrame(canvas, 0xFF00FF00u),
                         SolidGifFrame(canvas, 0xFF0000FFu)},
                        0);
    file.write(gif);
    file.close();
    Open(input);
    ASSERT_EQ(Form->OrbReflectionImage1->Picture()->DecodedImage().pixel(5, 5), 0xFFFF0000u);

    const struct {
        const char* File;
        int Frames; // 0: the first frame alone
    } cases[] = {{"saved.gif", 3}, {"saved.webp", 3}, {"saved.png", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        TSaveChoices choices;
        choices.HasBackground = true;
        choices.Background = QColor(0, 0, 128);
        Script->SaveChoicesAnswer = choices;
        const QString target = Folder.filePath(QString::fromLatin1(c.File));
        SaveAs(target);
        QImageReader reader(target);
        const QImage first = reader.read();
        ASSERT_FALSE(first.isNull()) << reader.errorString().toStdString();
        const QString size =
            QLocale::c().formattedDataSize(QFileInfo(target).size(), 1, QLocale::DataSizeSIFormat);
        const QString place = QStringLiteral("%1 (%2 × %3, %4)")
                                  .arg(QString::fromLatin1(c.File))
                                  .arg(first.width())
                                  .arg(first.height())
                                  .arg(size);
        if (c.Frames == 0) {
            EXPECT_EQ(Form->StatusRow()->Message(),
                      QStringLiteral("Saved the first of 3 frames in ") + place);
            continue;
        }
        EXPECT_EQ(Form->StatusRow()->Message(), QStringLiteral("Saved %1 frames in ").arg(c.Frames) + place);
        EXPECT_EQ(reader.imageCount(), c.Frames);
        // The last frame is the blue one, over its reflection.
        QImage last = first;
        while (reader.canRead())
            last = reader.read();
        EXPECT_EQ(last.pixel(5, 5) & 0xFFFFFF, 0x0000FFu);
        // GIF keeps no alpha: the gap between picture and reflection shows
        // the chosen colour, as a single picture's save does.
        if (QByteArray(c.File).endsWith(".gif")) {
            EXPECT_EQ(last.pixel(5, 10) & 0xFFFFFF, 0x000080u);
        }
    }
    EXPECT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();

    // WebP keeps the fade's alpha, so no colour goes under it: the bytes are
    // the command line's for the same file and values.
    TSaveRequest request;
    request.Input = &gif;
    request.Reflection = Form->OrbReflectionImage1->ReflectionParameters();
    request.Format = ImageSaveFormat::Webp;
    request.Sink.FileName = Folder.filePath(QStringLiteral("command-line.webp"));
    ASSERT_EQ(WriteFileReflection(request).Status, TGpStatus::Ok);
    QFile window(Folder.filePath(QStringLiteral("saved.webp")));
    QFile commandLine(request.Sink.FileName);
    ASSERT_TRUE(window.open(QIODevice::ReadOnly) && commandLine.open(QIODevice::ReadOnly));
    EXPECT_EQ(window.readAll(), commandLine.readAll());
}
