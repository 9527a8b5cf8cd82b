// The "Style" tool window: its sliders act on the active page's control, and
// what the window then saves is what lumivex-cli writes for the same values.
#include "app/style_panel.h"
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "main_form_fixture.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"
#include "toolkit/widgets/track_bar.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QSlider>

namespace
{
QString CliProgram()
{
    for (const char* place : {"/cli/lumivex-cli", "/app/lumivex-cli"})
        if (QFileInfo::exists(QStringLiteral(LUMIVEX_BINARY_DIR) + QLatin1String(place)))
            return QStringLiteral(LUMIVEX_BINARY_DIR) + QLatin1String(place);
    return {};
}

// Runs lumivex-cli; its standard error when it fails.
QString RunCli(const QStringList& Arguments)
{
    QProcess process;
    process.setProgram(CliProgram());
    process.setArguments(Arguments);
    process.start();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("lumivex-cli did not finish");
    if (process.exitCode() != 0)
        return QString::fromUtf8(process.readAllStandardError());
    return {};
}
} // namespace

using MainFormStyle = MainFormTest;

TEST_F(MainFormStyle, SlidersActOnTheActivePagesControlAndShowTheirValues)
{
    TStylePanel* panel = Form->StylePanel();
    ASSERT_NE(panel, nullptr);
    ClickAt(Form->findChild<QWidget*>(QStringLiteral("StyleButton")), QPoint(5, 5));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isModal());

    panel->BlurSlider()->setValue(17);
    panel->ScaleSlider()->setValue(45);
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionBlur(), 17);
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionScale(), 45);
    EXPECT_EQ(panel->BlurValue()->text(), QStringLiteral("17 px"));
    EXPECT_EQ(panel->ScaleValue()->text(), QStringLiteral("45 %"));

    // The text page's control keeps its own values, and the sliders show
    // them when its page is active.
    SwitchToPage(1);
    EXPECT_EQ(panel->BlurSlider()->value(), 0);
    EXPECT_EQ(panel->ScaleSlider()->value(), 100);
    panel->BlurSlider()->setValue(4);
    EXPECT_EQ(Form->OrbReflectionLabel1->ReflectionBlur(), 4);
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionBlur(), 17);
    SwitchToPage(0);
    EXPECT_EQ(panel->BlurSlider()->value(), 17);
    EXPECT_EQ(panel->ScaleValue()->text(), QStringLiteral("45 %"));
}

struct WindowCliCase {
    const char* Name;
    const char* Picture;
    int Size, Start, End, Axis, Blur, Scale;
    const char* Output; // the format follows the name, in the window and on the command line
    int Quality = 100;  // chosen in the save's options, --quality on the command line
    int Side = 0;       // chosen in the style window: 0 below, 1 above, 2 left, 3 right
};

class MainFormStyleBytes : public MainFormTest, public ::testing::WithParamInterface<WindowCliCase>
{
};

TEST_P(MainFormStyleBytes, SavedFileEqualsTheCommandLinesByteForByte)
{
    ASSERT_FALSE(CliProgram().isEmpty()) << "lumivex-cli is not built";
    const WindowCliCase& c = GetParam();
    const QString picture = TestDataPath(QString::fromLatin1(c.Picture));
    Open(picture);
    Form->TrackBar1->SetPosition(c.Size);
    Form->TrackBar2->SetPosition(c.Start);
    Form->TrackBar3->SetPosition(c.End);
    Form->TrackBar4->SetPosition(c.Axis);
    Form->StylePanel()->BlurSlider()->setValue(c.Blur);
    Form->StylePanel()->ScaleSlider()->setValue(c.Scale);
    Form->StylePanel()->SideBox()->setCurrentIndex(c.Side);
    const QString fromWindow = Folder.filePath(QStringLiteral("window-") + QLatin1String(c.Output));
    TSaveChoices choices;
    choices.HasQuality = true;
    choices.Quality = c.Quality;
    Script->SaveChoicesAnswer = choices;
    SaveAs(fromWindow);
    ASSERT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();

    const QString fromCli = Folder.filePath(QStringLiteral("cli-") + QLatin1String(c.Output));
    const QString failure = RunCli({QStringLiteral("image"),
                                    QStringLiteral("--size"),
                                    QString::number(c.Size),
                                    QStringLiteral("--start"),
                                    QString::number(c.Start),
                                    QStringLiteral("--end"),
                                    QString::number(c.End),
                                    QStringLiteral("--axis"),
                                    QString::number(c.Axis),
                                    QStringLiteral("--blur"),
                                    QString::number(c.Blur),
                                    QStringLiteral("--scale"),
                                    QString::number(c.Scale),
                                    QStringLiteral("--quality"),
                                    QString::number(c.Quality),
                                    QStringLiteral("--direction"),
                                    Form->StylePanel()->SideBox()->itemText(c.Side),
                                    QStringLiteral("-o"),
                                    fromCli,
                                    picture});
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    const QByteArray saved = ReadFileBytes(fromWindow);
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(saved == ReadFileBytes(fromCli));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MainFormStyleBytes,
    ::testing::Values(
        WindowCliCase{"photo_blurred_png", "photo-opaque-320x240.jpg", 120, 200, 0, 1, 20, 100, "a.png"},
        WindowCliCase{"soft_edges_blurred_and_squashed", "soft-edges-rgba-200x150.png", 90, 255, 30, -5, 12,
                      50, "b.png"},
        WindowCliCase{"rounded_squashed_most_webp", "rounded-rgba-130x110.png", 255, 180, 10, 4, 0, 10,
                      "c.webp"},
        WindowCliCase{"photo_strongest_blur_jpeg", "photo-opaque-320x240.jpg", 200, 255, 40, 0, 100, 80,
                      "d.jpg"},
        WindowCliCase{"neutral_style_webp", "soft-edges-rgba-200x150.png", 50, 120, 1, 1, 0, 100, "e.webp"},
        WindowCliCase{"jpeg_at_quality_40", "photo-opaque-320x240.jpg", 80, 200, 0, 1, 0, 100, "f.jpg", 40},
        WindowCliCase{"lossy_webp_at_quality_60", "soft-edges-rgba-200x150.png", 60, 255, 0, 1, 4, 100,
                      "g.webp", 60},
        WindowCliCase{"above_png", "soft-edges-rgba-200x150.png", 70, 255, 0, -4, 0, 100, "h.png", 100, 1},
        WindowCliCase{"left_blurred_png", "rounded-rgba-130x110.png", 90, 200, 10, 3, 8, 60, "i.png", 100, 2},
        WindowCliCase{"right_jpeg", "photo-opaque-320x240.jpg", 120, 200, 0, 1, 0, 100, "j.jpg", 100, 3}),
    CaseName<WindowCliCase>);
