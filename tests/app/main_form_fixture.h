#pragma once

#include "app/main_form.h"
#include "toolkit/widgets/user_interaction.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

// Answers the window's dialogs from a script and records what it was asked,
// which addresses it opened and which messages it showed.
class TScriptedInteraction : public TUserInteraction
{
  public:
    // One answer per dialog; an empty answer stands for a cancelled dialog.
    std::deque<QString> FileAnswers;
    // The save filter entry the user leaves selected (from 1); 0 leaves the
    // one the dialog showed first.
    int FilterAnswer = 0;

    QString AskedFilter, AskedDefaultExt;
    // The name and filter entry the last file dialog started with.
    QString AskedInitialName;
    int AskedFilterIndex = 0;
    // The open dialog's filter entry the user leaves selected; 0 as above.
    int OpenFilterAnswer = 0;
    bool AskedConfirmOverwrite = true;
    int FileDialogs = 0;
    QStringList OpenedUrls;
    QStringList Messages;
    // Answers to yes-or-no questions, in order (no when none is left), and
    // the questions asked.
    std::deque<bool> ConfirmAnswers;
    QStringList Questions;

    std::optional<QString> OpenFileName(const QString&, const QString& Filter, const QString&) override;
    std::optional<QString> OpenFileNameAndFilter(const QString& Title, const QString& Filter,
                                                 const QString& InitialName, int& FilterIndex) override;
    std::optional<QString> SaveFileName(const QString&, const QString& Filter, const QString&,
                                        const QString& DefaultExt, bool ConfirmOverwrite) override;
    std::optional<QString> SaveFileNameAndFilter(const QString& Title, const QString& Filter,
                                                 const QString& InitialName, const QString& DefaultExt,
                                                 bool ConfirmOverwrite, int& FilterIndex) override;
    // The font and colour dialogs' answers (none: cancelled) and what they
    // were offered.
    std::optional<QFont> FontAnswer;
    std::optional<QColor> ColorAnswer;
    QFont AskedFont;
    QColor AskedColor;
    int ColorDialogs = 0;

    // The save options' answer (none: as offered; cancelled when Cancel
    // is set) and what was offered last.
    std::optional<TSaveChoices> SaveChoicesAnswer;
    bool CancelSaveChoices = false;
    std::optional<TSaveChoices> AskedSaveChoices;
    std::optional<TSaveChoices> ChooseSaveOptions(const QString&, const QString&,
                                                  const TSaveChoices& Initial) override
    {
        AskedSaveChoices = Initial;
        if (CancelSaveChoices)
            return std::nullopt;
        return SaveChoicesAnswer ? SaveChoicesAnswer : Initial;
    }
    std::optional<QFont> ChooseFont(const QFont& Initial) override
    {
        AskedFont = Initial;
        return FontAnswer;
    }
    std::optional<QColor> ChooseColor(const QColor& Initial) override
    {
        AskedColor = Initial;
        ++ColorDialogs;
        return ColorAnswer;
    }
    bool OpenUrl(const QString& Address) override;
    void ShowMessage(const QString& Title, const QString& Text) override;
    bool Confirm(const QString& Title, const QString& Text) override;

  private:
    std::optional<QString> NextAnswer();
};

// The real main window, read from the layout compiled into the program and
// shown on the offscreen platform, with the scripted interaction installed.
class MainFormTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Clicks a widget as the mouse would: press and release inside it.
    static void ClickAt(QWidget* Widget, QPoint Point);
    // Switches pages as the user does, through the tab row.
    void SwitchToPage(int Index);

    // Presses a key as the user would: through the window's shortcuts,
    // which only an active window receives.
    static void PressKey(QWidget* Window, int Key, Qt::KeyboardModifiers Modifiers);

    // Saves through "Save reflection as ..." with the given typed name, and
    // waits until the save on its thread has ended.
    void SaveAs(const QString& FileName);
    // The same without waiting: the save runs when this returns.
    void StartSaveAs(const QString& FileName);
    // Opens through "Open image" with the given chosen name.
    void Open(const QString& FileName);

    TScriptedInteraction* Script = nullptr;
    std::unique_ptr<TForm2> Form;
    QTemporaryDir Folder;

  private:
    std::unique_ptr<TUserInteraction> Previous;
};

// Writes a photo-sized PNG (a pattern of every colour, its first rows half
// transparent) to FileName with the program's encoder; false when it could
// not be written.
bool WriteLargePng(const QString& FileName, int Width, int Height);

// The first bytes of a file say what encoder wrote it.
enum class TFileKind { Missing, Png, Jpeg, Gif, Bmp, Other };
TFileKind KindOfFile(const QString& FileName);
const char* KindName(TFileKind Kind);
