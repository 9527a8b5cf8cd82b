// The "Text" page as users see and save it: the label below the edit row at
// any window size, the check boxes read by the save and the copy (the same
// bytes as lumivex-cli text), and copies that never hold the window.
#include "tests/app/main_form_fixture.h"

#include "app/status_row.h"
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "imaging/png/png_encoder.h"
#include "imaging/saving/reflection_output.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/tab_sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace
{
// The built command line, wherever the build puts it.
QString CliProgram()
{
    for (const char* folder : {"/cli/", "/app/"}) {
        const QString path = QStringLiteral(LUMIVEX_BINARY_DIR) + QLatin1String(folder) + "lumivex-cli";
        if (QFile::exists(path))
            return path;
    }
    return {};
}

int RunProgram(const QString& Program, const QStringList& Arguments, QString* Output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Program, Arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (Output)
        *Output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QByteArray FileBytes(const QString& Name)
{
    QFile file(Name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int DarkPixels(const QImage& Image, const QRect& Area)
{
    int dark = 0;
    for (int y = Area.top(); y <= Area.bottom(); ++y)
        for (int x = Area.left(); x <= Area.right(); ++x)
            dark += qGray(Image.pixel(x, y)) < 100;
    return dark;
}

void RightClick(QWidget* Widget)
{
    const QPointF local(Widget->rect().center());
    QMouseEvent press(QEvent::MouseButtonPress, local, Widget->mapToGlobal(local), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, Widget->mapToGlobal(local), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Widget, &press);
    QApplication::sendEvent(Widget, &release);
}

bool WaitForCopy(const TForm2& Form)
{
    return QTest::qWaitFor([&Form] { return !Form.CopyPending(); }, 120000);
}

QByteArray ClipboardPng()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data ? data->data(QStringLiteral("image/png")) : QByteArray();
}
} // namespace

using MainFormTextPicture = MainFormTest;

TEST_F(MainFormTextPicture, LabelFillsThePageBelowTheEditRowAndShowsItsTextAtAnyWindowSize)
{
    SwitchToPage(1);
    const struct {
        const char* Name;
        QSize Window;
        QSize Label; // empty: whatever the page leaves below the row
    } cases[] = {
        {"minimum size", Form->minimumSize(), QSize()},
        {"stored size", QSize(980, 692), QSize(972, 540)},
        {"tall and wide", QSize(1240, 900), QSize()},
        {"back to the stored size", QSize(980, 692), QSize(972, 540)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Form->resize(c.Window);
        QApplication::processEvents();
        const TOrbReflectionLabel* label = Form->OrbReflectionLabel1;
        const QWidget* page = Form->TabSheet2;
        EXPECT_EQ(label->geometry(), QRect(0, 41, page->width(), page->height() - 41));
        if (!c.Label.isEmpty()) {
            EXPECT_EQ(label->size(), c.Label);
        }
        EXPECT_GT(label->y(), Form->Edit1->geometry().bottom());
        // The text and its reflection are there in what the window shows.
        const QImage shown = Form->grab().toImage();
        const QRect area(label->mapTo(Form.get(), QPoint(0, 0)), label->size());
        ASSERT_TRUE(shown.rect().contains(area));
        EXPECT_GT(DarkPixels(shown, area), 150);
    }
}

TEST_F(MainFormTextPicture, CheckBoxesShapeTheSaveAndCopyAsTheCommandLineWritesThem)
{
    const QString cli = CliProgram();
    ASSERT_FALSE(cli.isEmpty()) << "build lumivex-cli";
    const QString markup = QStringLiteral("Caption <b>bold</b> <font color=\"darkorange\">orange</font>");
    SwitchToPage(1);
    Form->Edit1->LineEdit()->setText(markup);
    // A label colour of its own, so that flattening shows which colour it uses.
    Script->ColorAnswer = QColor(255, 255, 224);
    RightClick(Form->OrbReflectionLabel1);

    const struct {
        const char* Name;
        bool Trim, Transparent;
        const char* File;
    } cases[] = {
        {"whole label", false, false, "whole.png"},
        {"trimmed", true, false, "trimmed.png"},
        {"transparent", false, true, "transparent.png"},
        {"trimmed and transparent", true, true, "both.png"},
        {"transparent TIFF keeps the alpha", true, true, "both.tif"},
        {"transparent JPEG over the label colour", true, true, "both.jpg"},
        {"transparent GIF over the label colour", false, true, "whole.gif"},
        {"transparent BMP over the label colour", true, true, "both.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        if (Form->CheckBox1->isChecked() != c.Trim)
            Form->CheckBox1->click();
        if (Form->CheckBox2->isChecked() != c.Transparent)
            Form->CheckBox2->click();
        const QString saved = Folder.filePath(QStringLiteral("window-") + QLatin1String(c.File));
        SaveAs(saved);
        ASSERT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();

        const QString written = Folder.filePath(QStringLiteral("cli-") + QLatin1String(c.File));
        QStringList arguments = {QStringLiteral("text"),
                                 markup,
                                 QStringLiteral("--width"),
                                 QStringLiteral("972"),
                                 "--height",
                                 QStringLiteral("540"),
                                 "--background",
                                 "lightyellow",
                                 "-o",
                                 written};
        if (c.Trim)
            arguments << QStringLiteral("--trim");
        if (c.Transparent)
            arguments << QStringLiteral("--transparent");
        QString output;
        ASSERT_EQ(RunProgram(cli, arguments, &output), 0) << output.toStdString();
        const QByteArray bytes = FileBytes(saved);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(bytes == FileBytes(written));

        const QImage image(saved);
        EXPECT_EQ(image.width() < 972, c.Trim);
        EXPECT_EQ(image.hasAlphaChannel(),
                  c.Transparent && (QLatin1String(c.File).endsWith(QLatin1String(".png")) ||
                                    QLatin1String(c.File).endsWith(QLatin1String(".tif"))));
        if (QLatin1String(c.File).endsWith(QLatin1String(".png"))) {
            // A copy is the same picture, as PNG.
            Form->CopyToClipboard();
            ASSERT_TRUE(WaitForCopy(*Form));
            EXPECT_TRUE(ClipboardPng() == bytes);
        }
    }
}

// A paste in another program must not wait for the window, nor the window
// for the copy: the picture is made and encoded on the copy's thread.
TEST_F(MainFormTextPicture, CopyOfA24MegapixelPictureLeavesTheWindowAnswering)
{
    const QString file = Folder.filePath(QStringLiteral("photo-6000x4000.png"));
    ASSERT_TRUE(WriteLargePng(file, 6000, 4000));
    Form->OpenFile(file);
    ASSERT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(Form->OrbReflectionImage1->Picture()->Width(), 6000);

    QApplication::clipboard()->clear();
    Form->CopyToClipboard();
    ASSERT_TRUE(Form->CopyPending());
    EXPECT_EQ(Form->StatusRow()->Message(), QStringLiteral("Copying…"));
    bool answeredWhileCopying = false;
    QTimer::singleShot(0, [&] { answeredWhileCopying = Form->CopyPending(); });
    ASSERT_TRUE(WaitForCopy(*Form));
    EXPECT_TRUE(answeredWhileCopying);
    // 4000 rows, the offset's one and the 50 of the reflection.
    EXPECT_EQ(Form->StatusRow()->Message(), QStringLiteral("Copied 6000 × 4051"));

    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(), QStringList{QStringLiteral("image/png")});
    const QImage pasted = QImage::fromData(ClipboardPng(), "PNG").convertToFormat(QImage::Format_ARGB32);
    const QImage expected = RenderReflection(Form->OrbReflectionImage1->Picture()->DecodedImage(),
                                             Form->OrbReflectionImage1->ReflectionParameters());
    ASSERT_EQ(pasted.size(), expected.size());
    EXPECT_TRUE(pasted == expected);
}

// A caption must not change with the window: with a wrap width the same
// markup saves the same picture in a narrow and a wide window.
TEST_F(MainFormTextPicture, WrapWidthKeepsTheSavedCaptionWhateverTheWindow)
{
    SwitchToPage(1);
    Form->Edit1->LineEdit()->setText(QStringLiteral(
        "A caption long enough to wrap: <b>reflections</b> of a line of text standing on a "
        "glossy floor, fading out as they go down, written once and saved twice, in a narrow window "
        "and in a wide one, to show that the wrap width decides"));
    Form->CheckBox1->click(); // trimmed to the text
    const struct {
        const char* Name;
        int Wrap;
        bool Same; // the two windows save the same bytes
    } cases[] = {{"the page's width follows the window", 0, false}, {"a wrap width of 500", 500, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Form->WrapWidth->setValue(c.Wrap);
        QByteArray saved[2];
        const QSize windows[] = {QSize(980, 692), QSize(1500, 692)};
        for (int i = 0; i < 2; ++i) {
            Form->resize(windows[i]);
            QApplication::processEvents();
            const QString file = Folder.filePath(QStringLiteral("caption-%1-%2.png").arg(c.Wrap).arg(i));
            SaveAs(file);
            saved[i] = FileBytes(file);
            ASSERT_FALSE(saved[i].isEmpty());
            if (c.Wrap > 0) {
                EXPECT_LE(QImage::fromData(saved[i]).width(), c.Wrap);
            }
        }
        EXPECT_EQ(saved[0] == saved[1], c.Same);
    }
}
