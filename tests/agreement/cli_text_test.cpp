// "lumivex-cli text" through the built program: the same bytes as the
// window's label saves, text from every source, and its usage errors.
#include "tests/cli/cli_run.h"

#include "controls/orb_reflection_label.h"
#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_direction.h"
#include "toolkit/graphics/font.h"
#include "toolkit/strings.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
// How the label is set up for the options a case passes.
struct LabelLook {
    const char* fontName;
    int fontHeight;
    TFont::TFontStyles style;
    TColor text, background;
};

struct TextCase {
    const char* name;
    const char* markup;
    QStringList options; // besides the size, the output and the values
    bool givesValues;    // false: neither side is given values, both keep their defaults
    TReflectionParameters values;
    const char* output;
    ImageSaveFormat format;
    LabelLook look;
};

QByteArray SavedByLabel(const TextCase& c, QSize Size, const QString& Target)
{
    TOrbReflectionLabel label;
    label.resize(Size);
    label.Font()->SetName(QString::fromLatin1(c.look.fontName));
    label.Font()->SetHeight(c.look.fontHeight);
    label.Font()->SetStyle(c.look.style);
    label.Font()->SetColor(c.look.text);
    label.SetColor(c.look.background);
    label.SetTransparent(false);
    label.HTMLText()->SetText(QString::fromLatin1(c.markup));
    if (c.givesValues) {
        label.SetReflectionSize(c.values.Size);
        label.SetReflectionOpacityStart(c.values.OpacityStart);
        label.SetReflectionOpacityEnd(c.values.OpacityEnd);
        label.SetReflectionAxis(c.values.Axis);
        label.SetReflectionDirection(TReflectionSide(c.values.Direction));
    }
    QString reason;
    EXPECT_TRUE(label.SaveReflection(Target, c.format, &reason)) << reason.toStdString();
    return ReadAll(Target);
}
} // namespace

TEST(CliText, SameBytesAsTheLabelSaves)
{
    RegisterTahomaFont();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const LabelLook page{"Tahoma", -27, {}, clWindowText, clWhite};
    const TextCase cases[] = {
        {"page defaults", "Reflection", {}, false, {}, "a.png", ImageSaveFormat::Png, page},
        {"centred, gap below, navy",
         "<p align = \"center\"><b>Lumivex</b> <font color=\"clRed\">2009</font></p>",
         {"--background", "clNavy", "--color", "#FFFF00"},
         true,
         {30, 255, 40, 4},
         "b.png",
         ImageSaveFormat::Png,
         {"Tahoma", -27, {}, clYellow, clNavy}},
        {"font option to BMP",
         "Caption",
         {"--font", "DejaVu Sans,14,bold,italic"},
         true,
         {25, 200, 10, -3},
         "c.bmp",
         ImageSaveFormat::Bmp,
         {"DejaVu Sans", -19, TFont::fsBold | TFont::fsItalic, clWindowText, clWhite}},
        {"right-aligned to JPEG",
         "<p align=\"right\">Title</p>",
         {"--background", "silver"},
         true,
         {20, 128, 0, -7},
         "d.jpg",
         ImageSaveFormat::Jpeg,
         {"Tahoma", -27, {}, clWindowText, clSilver}},
        {"to GIF", "<i>Batch</i>", {}, true, {10, 255, 0, 0}, "e.gif", ImageSaveFormat::Gif, page},
        {"centred, mirror above",
         "<p align=\"center\">Over</p>",
         {},
         true,
         {.Size = 30,
          .OpacityStart = 255,
          .OpacityEnd = 40,
          .Axis = 4,
          .Direction = TReflectionDirection::Above},
         "f.png",
         ImageSaveFormat::Png,
         page},
        {"right-aligned, mirror on the left",
         "<p align=\"right\">Beside</p>",
         {},
         true,
         {.Size = 60,
          .OpacityStart = 200,
          .OpacityEnd = 0,
          .Axis = -3,
          .Direction = TReflectionDirection::Left},
         "g.png",
         ImageSaveFormat::Png,
         page},
        {"mirror on the right",
         "Beside",
         {},
         true,
         {.Size = 500,
          .OpacityStart = 255,
          .OpacityEnd = 0,
          .Axis = 2,
          .Direction = TReflectionDirection::Right},
         "h.png",
         ImageSaveFormat::Png,
         page},
    };
    const QSize size(420, 110);
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString fromCli = dir.filePath(QStringLiteral("cli-") + QString::fromLatin1(c.output));
        QStringList arguments{
            "text",     QString::fromLatin1(c.markup),  "--width", QString::number(size.width()),
            "--height", QString::number(size.height()), "-o",      fromCli};
        if (c.givesValues)
            arguments << "--size" << QString::number(c.values.Size) << "--start"
                      << QString::number(c.values.OpacityStart) << "--end"
                      << QString::number(c.values.OpacityEnd) << "--axis" << QString::number(c.values.Axis)
                      << "--direction"
                      << QString::fromLatin1(ReflectionDirectionInfo(c.values.Direction).Name);
        const TCliRun run = RunCli(arguments + c.options);
        ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
        const QByteArray expected =
            SavedByLabel(c, size, dir.filePath(QStringLiteral("label-") + QString::fromLatin1(c.output)));
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_TRUE(ReadAll(fromCli) == expected);
    }
}

TEST(CliText, MarkupFromAnArgumentAFileOrStandardInputGivesOnePicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("title.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Hello <b>World</b>\n"); // a file's final line break is not part of the text
    file.close();

    const TCliRun fromArgument = RunCli({"text", "Hello <b>World</b>", "-o", "arg.png"}, dir.path());
    ASSERT_EQ(fromArgument.ExitCode, 0) << fromArgument.Stderr.toStdString();
    const QByteArray expected = ReadAll(dir.filePath(QStringLiteral("arg.png")));
    const QImage fitted = QImage::fromData(expected);
    EXPECT_GT(fitted.width(), 50);

    const struct {
        QStringList arguments;
        QByteArray input;
    } cases[] = {
        {{"text", "--file", "title.txt", "-o", "-"}, {}},
        {{"text", "-", "-o", "-"}, "Hello <b>World</b>"},
        {{"text", "--file", "-", "-o", "-", "-f", "png"}, "Hello <b>World</b>\r\n"},
    };
    for (const auto& c : cases) {
        const TCliRun run = RunCli(c.arguments, dir.path(), c.input);
        ASSERT_EQ(run.ExitCode, 0) << c.arguments.join(' ').toStdString() << ": " << run.Stderr.toStdString();
        EXPECT_TRUE(run.Stdout == expected) << c.arguments.join(' ').toStdString();
    }
}

TEST(CliText, BadTextsAndOptionsAreRefusedWithAReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A text file whose last character is cut: one UTF-8 rule for files,
    // standard input and arguments.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("in")));
    QFile cut(dir.filePath(QStringLiteral("in/cut.txt")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("cut \xe2\x82");
    cut.close();
    const struct {
        QStringList arguments;
        QByteArray input;
        int status;
        const char* message;
    } cases[] = {
        {{"text", "-o", "x.png"}, {}, 2, "no text"},
        {{"text", "Hi"}, {}, 2, "no output"},
        {{"text", "Hi", "-o", "x.png", "--start", "300"},
         {},
         2,
         "--start must be a whole number from 0 to 255"},
        {{"text", "Hi", "-o", "x.png", "--width", "0"}, {}, 2, "--width must be"},
        {{"text", "Hi", "-o", "x.png", "--font", "Tahoma"}, {}, 2, "--font must be"},
        {{"text", "Hi", "-o", "x.png", "--font", "Tahoma,0"}, {}, 2, "font size"},
        {{"text", "Hi", "-o", "x.png", "--color", "chartreusy"}, {}, 2, "unknown colour"},
        {{"text", "Hi", "-o", "x.png", "--background", "#12345"}, {}, 2, "unknown colour"},
        {{"text", "Hi", "-o", "x.png", "-f", "heic"}, {}, 2, "unknown format"},
        {{"text", "Hi", "There", "-o", "x.png"}, {}, 2, "one MARKUP"},
        {{"text", "--file", "missing.txt", "-o", "x.png"}, {}, 1, "missing.txt"},
        {{"text", "-", "-o", "x.png"}, QByteArray(70000, 'a'), 1, "too long for a label"},
        {{"text", "-", "-o", "x.png"}, QByteArray("\xff\xfe bad"), 1, "not UTF-8"},
        {{"text", "-", "-o", "x.png"}, QByteArray("cut \xe2\x82"), 1, "not UTF-8"},
        {{"text", "--file", "in/cut.txt", "-o", "x.png"}, {}, 1, "not UTF-8"},
        {{"text", "--file", "in", "-o", "x.png"}, {}, 1, "is a folder"},
        {{"text", "", "-o", "x.png"}, {}, 1, "no text to draw"},
        {{"text", "Hi", "-o", "no-such-folder/x.png"}, {}, 1, "no-such-folder"},
    };
    for (const auto& c : cases) {
        const std::string command = c.arguments.join(' ').toStdString();
        const TCliRun run = RunCli(c.arguments, dir.path(), c.input);
        EXPECT_EQ(run.ExitCode, c.status) << command;
        EXPECT_TRUE(run.Stderr.contains(QString::fromLatin1(c.message)))
            << command << ": " << run.Stderr.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}
