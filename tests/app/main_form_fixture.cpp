#include "tests/app/main_form_fixture.h"

#include "controls/register_controls.h"
#include "imaging/png/png_encoder.h"
#include "toolkit/graphics/font.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/register_widgets.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

std::optional<QString> TScriptedInteraction::NextAnswer()
{
    ++FileDialogs;
    const QString answer = FileAnswers.empty() ? QString() : FileAnswers.front();
    if (!FileAnswers.empty())
        FileAnswers.pop_front();
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

std::optional<QString> TScriptedInteraction::OpenFileName(const QString&, const QString& Filter,
                                                          const QString& InitialName)
{
    AskedFilter = Filter;
    AskedInitialName = InitialName;
    return NextAnswer();
}

std::optional<QString> TScriptedInteraction::OpenFileNameAndFilter(const QString& Title,
                                                                   const QString& Filter,
                                                                   const QString& InitialName,
                                                                   int& FilterIndex)
{
    AskedFilterIndex = FilterIndex;
    std::optional<QString> answer = OpenFileName(Title, Filter, InitialName);
    if (answer && OpenFilterAnswer > 0)
        FilterIndex = OpenFilterAnswer;
    return answer;
}

std::optional<QString> TScriptedInteraction::SaveFileName(const QString&, const QString& Filter,
                                                          const QString& InitialName,
                                                          const QString& DefaultExt, bool ConfirmOverwrite)
{
    AskedFilter = Filter;
    AskedInitialName = InitialName;
    AskedDefaultExt = DefaultExt;
    AskedConfirmOverwrite = ConfirmOverwrite;
    return NextAnswer();
}

std::optional<QString> TScriptedInteraction::SaveFileNameAndFilter(const QString& Title,
                                                                   const QString& Filter,
                                                                   const QString& InitialName,
                                                                   const QString& DefaultExt,
                                                                   bool ConfirmOverwrite, int& FilterIndex)
{
    AskedFilterIndex = FilterIndex;
    if (FilterAnswer > 0)
        FilterIndex = FilterAnswer;
    return SaveFileName(Title, Filter, InitialName, DefaultExt, ConfirmOverwrite);
}

bool TScriptedInteraction::OpenUrl(const QString& Address)
{
    OpenedUrls << Address;
    return true;
}

void TScriptedInteraction::ShowMessage(const QString&, const QString& Text)
{
    Messages << Text;
}

bool TScriptedInteraction::Confirm(const QString&, const QString& Text)
{
    Questions << Text;
    const bool answer = !ConfirmAnswers.empty() && ConfirmAnswers.front();
    if (!ConfirmAnswers.empty())
        ConfirmAnswers.pop_front();
    return answer;
}

void MainFormTest::SetUpTestSuite()
{
    RegisterTahomaFont();
    RegisterToolkitWidgets();
    RegisterControls();
}

void MainFormTest::SetUp()
{
    ASSERT_TRUE(Folder.isValid());
    auto script = std::make_unique<TScriptedInteraction>();
    Script = script.get();
    Previous = SetUserInteraction(std::move(script));
    Form = std::make_unique<TForm2>();
    Form->show();
    QApplication::processEvents();
}

void MainFormTest::TearDown()
{
    Form.reset();
    SetUserInteraction(std::move(Previous));
}

void MainFormTest::ClickAt(QWidget* Widget, QPoint Point)
{
    const QPointF local(Point);
    const QPointF global(Widget->mapToGlobal(Point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(Widget, &press);
    QApplication::sendEvent(Widget, &release);
}

void MainFormTest::SwitchToPage(int Index)
{
    QTabBar* tabs = Form->PageControl1->TabBar();
    ClickAt(tabs, tabs->tabRect(Index).center());
}

void MainFormTest::PressKey(QWidget* Window, int Key, Qt::KeyboardModifiers Modifiers)
{
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window));
    QTest::keyClick(Window, Qt::Key(Key), Modifiers);
    QApplication::processEvents();
}

void MainFormTest::StartSaveAs(const QString& FileName)
{
    Script->FileAnswers = {FileName};
    ClickAt(Form->Button1->Button(), Form->Button1->Button()->rect().center());
}

void MainFormTest::SaveAs(const QString& FileName)
{
    StartSaveAs(FileName);
    Form->WaitForSave();
}

void MainFormTest::Open(const QString& FileName)
{
    Script->FileAnswers = {FileName};
    ClickAt(Form->Button2->Button(), Form->Button2->Button()->rect().center());
}

bool WriteLargePng(const QString& FileName, int Width, int Height)
{
    QImage photo(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            row[x] = qRgba((x * 7) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF, y < 40 ? 128 : 255);
    }
    QFile out(FileName);
    return out.open(QIODevice::WriteOnly) && WritePng(photo, &out);
}

TFileKind KindOfFile(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return TFileKind::Missing;
    const QByteArray head = file.read(8);
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return TFileKind::Png;
    if (head.startsWith("\xFF\xD8\xFF"))
        return TFileKind::Jpeg;
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return TFileKind::Gif;
    if (head.startsWith("BM"))
        return TFileKind::Bmp;
    return TFileKind::Other;
}

const char* KindName(TFileKind Kind)
{
    switch (Kind) {
    case TFileKind::Missing:
        return "missing";
    case TFileKind::Png:
        return "PNG";
    case TFileKind::Jpeg:
        return "JPEG";
    case TFileKind::Gif:
        return "GIF";
    case TFileKind::Bmp:
        return "BMP";
    case TFileKind::Other:
        break;
    }
    return "other";
}
