// The text form of window layouts and the layout_compile build tool.

#include "tests/toolkit/layout_test_classes.h"

#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_text_parser.h"
#include "toolkit/layout/layout_text_writer.h"
#include "toolkit/layout/layout_writer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace
{

QString ReadTextFile(const QString& Name)
{
    QFile file(Name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << Name.toStdString();
    return QString::fromUtf8(file.readAll());
}

const QString Fixture = QStringLiteral(LUMIVEX_TEST_DATA "/layouts/all_value_kinds.txt");

TEST(LayoutText, TextToBinaryToTextIsUnchanged)
{
    const QString text = ReadTextFile(Fixture);
    ASSERT_FALSE(text.isEmpty());
    const QByteArray binary = LayoutTextToBinary(text);
    EXPECT_EQ(LayoutBinaryToText(binary).toStdString(), text.toStdString());
    EXPECT_EQ(LayoutTextToBinary(LayoutBinaryToText(binary)), binary);
}

TEST(LayoutText, WrittenComponentTreeRoundTripsThroughText)
{
    RegisterLayoutTestClasses();
    TTestForm form;
    form.setObjectName(QStringLiteral("Form2"));
    form.SetNumber(-1234567890123LL);
    form.SetCaption(QString(600, QChar(0x263A)));
    form.SetScale(1.0 / 3.0);
    form.SetAnchors(TTestForm::akRight);
    form.OfficeHint()->Notes()->SetText(QStringLiteral("a\n'quoted'\n\tb\n"));
    QByteArray bytes;
    for (int i = 0; i < 300; ++i)
        bytes.append(char(i));
    form.Picture()->Bytes = bytes;
    form.Items()->Add();
    form.SetOnClick(TNotifyEvent{QStringLiteral("Button1Click"), {}});
    (new TTestPanel(&form))->setObjectName(QStringLiteral("Panel1"));

    const QByteArray binary = WriteLayout(&form);
    const QString text = LayoutBinaryToText(binary);
    EXPECT_EQ(LayoutTextToBinary(text), binary);
    EXPECT_EQ(LayoutBinaryToText(LayoutTextToBinary(text)), text);

    std::unique_ptr<QObject> read(ReadLayout(LayoutTextToBinary(text), nullptr));
    auto* copy = qobject_cast<TTestForm*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Caption(), form.Caption());
    EXPECT_EQ(copy->Scale(), 1.0 / 3.0);
    EXPECT_EQ(copy->Picture()->Bytes, bytes);
    EXPECT_EQ(copy->OfficeHint()->Notes()->Lines(), form.OfficeHint()->Notes()->Lines());
}

TEST(LayoutText, SmallLayoutHasTheExpectedText)
{
    QByteArray binary("TPF0\x06TForm2\x05"
                      "Form2",
                      17);
    binary.append("\x04Left\x03\x10\x27", 8); // int16 10000
    binary.append("\x07"
                  "Caption\x06\x05"
                  "a'b\x01\xE9",
                  15); // short string with a quote, a control and a Latin-1 character
    binary.append("\x05"
                  "Align\x07\x05"
                  "alTop",
                  13);
    binary.append("\x07"
                  "Anchors\x0B\x06"
                  "akLeft\x05"
                  "akTop\0",
                  23);
    binary.append("\x04"
                  "Data\x0A\x03\0\0\0\x01\xAB\xFF",
                  13);
    binary.append("\x05"
                  "Lines\x01\x06\x01"
                  "a\x12\x01\0\0\0\x3A\x26\0",
                  18);
    binary.append("\0\0", 2);
    const QString expected = QStringLiteral("object Form2: TForm2\n"
                                            "  Left = 10000\n"
                                            "  Caption = 'a''b'#1#233\n"
                                            "  Align = alTop\n"
                                            "  Anchors = [akLeft, akTop]\n"
                                            "  Data = {\n"
                                            "    01ABFF}\n"
                                            "  Lines = (\n"
                                            "    'a'\n"
                                            "    #9786)\n"
                                            "end\n");
    EXPECT_EQ(LayoutBinaryToText(binary).toStdString(), expected.toStdString());
    EXPECT_EQ(LayoutTextToBinary(expected), binary);
}

TEST(LayoutText, CommentsAndFreeSpacingAreAccepted)
{
    const QByteArray binary =
        LayoutTextToBinary(QStringLiteral("// main window\nobject   A : TA\n\tX=-3 Y=( 'a' 'b' )\n"
                                          "Z = 'a' + 'b'\nend"));
    EXPECT_EQ(LayoutBinaryToText(binary),
              QStringLiteral("object A: TA\n  X = -3\n  Y = (\n    'a'\n    'b')\n"
                             "  Z = 'ab'\nend\n"));
}

struct TTextErrorCase {
    const char* Label;
    const char* Text;
    const char* Expected;
};

class LayoutTextError : public ::testing::TestWithParam<TTextErrorCase>
{
};

TEST_P(LayoutTextError, NamesLineAndExpectation)
{
    try {
        LayoutTextToBinary(QString::fromUtf8(GetParam().Text));
        FAIL() << "accepted";
    } catch (const ELayoutError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().Expected), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutTextError,
    ::testing::Values(
        TTextErrorCase{"empty", "", "line 1: expected 'object', found the end of the text"},
        TTextErrorCase{"missing_equals", "object A: TA\n  X 5\nend", "line 2: expected '='"},
        TTextErrorCase{"missing_end", "object A: TA\n  X = 5\n",
                       "line 3: expected a property, 'object' or 'end'"},
        TTextErrorCase{"unterminated_string", "object A: TA\n\n  X = 'abc\nend",
                       "line 3: expected the closing quote"},
        TTextErrorCase{"odd_hex", "object A: TA\n  X = {\n  ABC}\nend",
                       "line 3: expected an even number of hex digits"},
        TTextErrorCase{"bad_hex", "object A: TA\n  X = {AG}\nend", "line 2: expected a hex digit"},
        TTextErrorCase{"unclosed_hex", "object A: TA\n  X = {AB\n",
                       "line 2: binary data from here has no closing"},
        TTextErrorCase{"bad_char_code", "object A: TA\n  X = #70000\nend",
                       "line 2: expected a character code"},
        TTextErrorCase{"integer_overflow", "object A: TA\n  X = 9223372036854775808\nend",
                       "expected an integer within 64 bits"},
        TTextErrorCase{"stray_symbol", "object A: TA\n  X = 1 ;\nend",
                       "line 2: expected a name, a value or one of"},
        TTextErrorCase{"plus_without_string", "object A: TA\n  X = 'a' + 1\nend",
                       "expected a string after '+'"},
        TTextErrorCase{"unclosed_list", "object A: TA\n  X = ( 1 2\n", "expected a list value or ')'"},
        TTextErrorCase{"set_needs_names", "object A: TA\n  X = [1]\nend", "expected a set element"},
        TTextErrorCase{"item_keyword", "object A: TA\n  X = < thing end >\nend", "expected 'item' or '>'"},
        TTextErrorCase{"property_after_child", "object A: TA\n object B: TB\n end\n X = 1\nend",
                       "line 4: expected a property, 'object' or 'end'"},
        TTextErrorCase{"trailing_text", "object A: TA\nend\nend", "line 3: expected the end of the text"}),
    [](const ::testing::TestParamInfo<TTextErrorCase>& Info) { return std::string(Info.param.Label); });

TEST(LayoutText, NamesLongerThanAShortStringAreRejected)
{
    for (const QString& text :
         {QStringLiteral("object A: T%1\nend").arg(QString(255, QLatin1Char('a'))),
          QStringLiteral("object A: TA\n  %1 = 1\nend").arg(QString(256, QLatin1Char('p'))),
          QStringLiteral("object A: TA\n  X = %1\nend").arg(QString(256, QLatin1Char('i')))}) {
        try {
            LayoutTextToBinary(text);
            ADD_FAILURE() << "accepted";
        } catch (const ELayoutError& error) {
            EXPECT_NE(std::string(error.what()).find("of at most 255 characters"), std::string::npos)
                << error.what();
        }
    }
    EXPECT_NO_THROW(
        LayoutTextToBinary(QStringLiteral("object A: %1\nend").arg(QString(255, QLatin1Char('T')))));
}

TEST(LayoutText, DeepNestingInTextIsRejected)
{
    QString text = QStringLiteral("object A: TA\n  X = ");
    text += QString(100000, QLatin1Char('('));
    EXPECT_THROW(LayoutTextToBinary(text), ELayoutError);
}

TEST(LayoutText, UnprintableExtendedBitPatternIsRefusedNotMisconverted)
{
    QByteArray binary("TPF0\x02TA\x01"
                      "A\x01X\x05",
                      10);
    binary.append("\0\0\0\0\0\0\0\0\xFF\x7F", 10); // infinity
    binary.append("\0\0", 2);
    EXPECT_THROW(LayoutBinaryToText(binary), ELayoutError);
}

class LayoutCompileTool : public ::testing::Test
{
  protected:
    static QString Program() { return QStringLiteral(LUMIVEX_BINARY_DIR "/tools/layout_compile"); }

    int Run(const QStringList& Arguments, QString* Errors = nullptr)
    {
        QProcess process;
        process.start(Program(), Arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        if (Errors)
            *Errors = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir Folder;
};

TEST_F(LayoutCompileTool, WritesTheBinaryForm)
{
    ASSERT_TRUE(QFile::exists(Program()));
    const QString output = Folder.filePath(QStringLiteral("form.bin"));
    ASSERT_EQ(Run({Fixture, output}), 0);
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), LayoutTextToBinary(ReadTextFile(Fixture)));
}

TEST_F(LayoutCompileTool, FailsWithMessageAndKeepsNoOutput)
{
    const QString input = Folder.filePath(QStringLiteral("bad.txt"));
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("object A: TA\n  X = \n");
    file.close();
    const QString output = Folder.filePath(QStringLiteral("bad.bin"));
    QString errors;
    EXPECT_EQ(Run({input, output}, &errors), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("line 3: expected a value"))) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(output));

    EXPECT_EQ(Run({Folder.filePath(QStringLiteral("missing.txt")), output}, &errors), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("cannot read"))) << errors.toStdString();
    EXPECT_EQ(Run({Fixture}, &errors), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("usage"))) << errors.toStdString();
}

} // namespace
