#include "toolkit/graphics/font.h"
#include "toolkit/widgets/color_dialog.h"
#include "toolkit/widgets/font_dialog.h"
#include "toolkit/widgets/open_dialog.h"
#include "toolkit/widgets/save_dialog.h"
#include "toolkit/widgets/user_interaction.h"

#include <deque>
#include <gtest/gtest.h>
#include <memory>

namespace
{

// Answers from a script and records what each dialog was asked.
class TScriptedInteraction : public TUserInteraction
{
  public:
    // An empty answer stands for a cancelled dialog.
    std::deque<QString> FileAnswers;
    std::optional<QFont> FontAnswer;
    std::optional<QColor> ColorAnswer;

    QString AskedFilter, AskedInitialName, AskedDefaultExt;
    bool AskedConfirmOverwrite = true;
    QFont AskedFont;
    QColor AskedColor;

    std::optional<QString> OpenFileName(const QString&, const QString& Filter,
                                        const QString& InitialName) override
    {
        AskedFilter = Filter;
        AskedInitialName = InitialName;
        return Next();
    }
    std::optional<QString> SaveFileName(const QString&, const QString& Filter, const QString& InitialName,
                                        const QString& DefaultExt, bool ConfirmOverwrite) override
    {
        AskedFilter = Filter;
        AskedInitialName = InitialName;
        AskedDefaultExt = DefaultExt;
        AskedConfirmOverwrite = ConfirmOverwrite;
        return Next();
    }
    std::optional<QFont> ChooseFont(const QFont& Initial) override
    {
        AskedFont = Initial;
        return FontAnswer;
    }
    std::optional<QColor> ChooseColor(const QColor& Initial) override
    {
        AskedColor = Initial;
        return ColorAnswer;
    }
    bool OpenUrl(const QString&) override { return false; }
    void ShowMessage(const QString&, const QString&) override {}

  private:
    std::optional<QString> Next()
    {
        const QString answer = FileAnswers.empty() ? QString() : FileAnswers.front();
        if (!FileAnswers.empty())
            FileAnswers.pop_front();
        if (answer.isEmpty())
            return std::nullopt;
        return answer;
    }
};

class Dialogs : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        auto scripted = std::make_unique<TScriptedInteraction>();
        Script = scripted.get();
        Previous = SetUserInteraction(std::move(scripted));
    }
    void TearDown() override { SetUserInteraction(std::move(Previous)); }

    TScriptedInteraction* Script = nullptr;
    std::unique_ptr<TUserInteraction> Previous;
};

const QString SaveFilter = QStringLiteral(
    "PNG files (*.png)|*.PNG|JPEG files (*.jpg)|*.JPG|GIF files (*.gif)|*.GIF|BMP files (*.bmp)|*.BMP");

TEST_F(Dialogs, SaveDialogKeepsTheChosenNameExactlyAndWithoutOverwritePrompt)
{
    TSaveDialog dialog;
    dialog.SetFilter(SaveFilter);
    Script->FileAnswers = {QStringLiteral("/tmp/out/pic.bmp.gif"), QString()};

    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/tmp/out/pic.bmp.gif"));
    EXPECT_EQ(Script->AskedFilter, SaveFilter);
    EXPECT_EQ(Script->AskedDefaultExt, QString());
    EXPECT_FALSE(Script->AskedConfirmOverwrite); // default options do not prompt

    // A cancel reports false and keeps the earlier name, which was offered.
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(Script->AskedInitialName, QStringLiteral("/tmp/out/pic.bmp.gif"));
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/tmp/out/pic.bmp.gif"));
}

TEST_F(Dialogs, OverwritePromptOptionIsPassedOn)
{
    TSaveDialog dialog;
    dialog.SetOptions(dialog.Options() | ofOverwritePrompt);
    Script->FileAnswers = {QStringLiteral("a.png")};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(Script->AskedConfirmOverwrite);
}

TEST_F(Dialogs, OpenDialogTakesTheChosenFile)
{
    TOpenDialog dialog;
    Script->FileAnswers = {QStringLiteral("/data/box.png")};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/data/box.png"));
    EXPECT_EQ(Script->AskedFilter, QString());
}

TEST_F(Dialogs, FontDialogTakesNameSizeAndStylesButKeepsColour)
{
    TFontDialog dialog;
    TFont start;
    start.SetColor(clBlue);
    dialog.SetFont(&start);
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    Script->FontAnswer = chosen;

    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Script->AskedFont.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Script->AskedFont.pixelSize(), 11);
    EXPECT_EQ(dialog.Font()->Name(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(dialog.Font()->Height(), -27);
    EXPECT_EQ(dialog.Font()->Size(), 20);
    EXPECT_EQ(dialog.Font()->Style(), TFont::TFontStyles(TFont::fsBold));
    EXPECT_EQ(dialog.Font()->Color(), clBlue);
}

TEST_F(Dialogs, CancelledFontAndColourDialogsChangeNothing)
{
    TFontDialog fonts;
    TColorDialog colours;
    colours.SetColor(clWhite);
    EXPECT_FALSE(fonts.Execute());
    EXPECT_FALSE(colours.Execute());
    EXPECT_EQ(fonts.Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(colours.Color(), clWhite);
}

TEST_F(Dialogs, ColourDialogIsPresetAndReturnsAnExplicitColour)
{
    TColorDialog dialog;
    dialog.SetColor(clBtnFace);
    Script->ColorAnswer = QColor(0x12, 0x34, 0x56);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Script->AskedColor, ColorToQColor(clBtnFace));
    EXPECT_EQ(dialog.Color(), RGBToColor(0x12, 0x34, 0x56));
}

TEST(NameFilters, ClassicFilterBecomesCaseInsensitiveQtFilters)
{
    EXPECT_EQ(FilterToNameFilters(QStringLiteral("PNG files (*.png)|*.PNG|All|*.a;*.B")),
              QStringLiteral("PNG files (*.png) (*.PNG *.png);;All (*.a *.A *.B *.b)"));
    EXPECT_EQ(FilterToNameFilters(QString()), QString());
    EXPECT_EQ(FilterToNameFilters(QStringLiteral("dangling")), QString());
}

} // namespace
