// Damaged window layouts: every fault is an ELayoutError naming the offset and
// what was expected; nothing crashes, hangs or allocates unchecked lengths.

#include "tests/toolkit/layout_test_classes.h"

#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_text_parser.h"
#include "toolkit/layout/layout_text_writer.h"
#include "toolkit/layout/layout_writer.h"

#include <QPointer>
#include <QtEndian>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace
{

class LayoutDamage : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        RegisterLayoutTestClasses();
        TTestForm form;
        form.setObjectName(QStringLiteral("Form2"));
        form.SetNumber(-70000);
        form.SetCaption(QStringLiteral("\u00C0 caption"));
        form.SetScale(3.25);
        form.SetAlign(TTestForm::alBottom);
        form.SetAnchors(TTestForm::akTop);
        form.OfficeHint()->Notes()->Add(QStringLiteral("note \u2603"));
        form.Picture()->Bytes = QByteArray(40, '\x5A');
        form.Items()->Add();
        form.SetOnClick(TNotifyEvent{QStringLiteral("Button1Click"), {}});
        auto* panel = new TTestPanel(&form);
        panel->setObjectName(QStringLiteral("Panel1"));
        panel->SetCaption(QStringLiteral("p"));
        Valid = WriteLayout(&form);
    }

    // Reads Stream both ways it can be read; returns the error message, or an
    // empty string when the stream was accepted.
    static std::string ReadFault(const QByteArray& Stream)
    {
        std::string message;
        try {
            std::unique_ptr<QObject> root(ReadLayout(Stream, nullptr));
        } catch (const ELayoutError& error) {
            message = error.what();
        }
        try {
            LayoutBinaryToText(Stream);
        } catch (const ELayoutError& error) {
            if (message.empty())
                message = error.what();
        }
        return message;
    }

    static QByteArray Header(const QByteArray& ClassName, const QByteArray& Name)
    {
        QByteArray stream("TPF0");
        stream.append(char(ClassName.size())).append(ClassName);
        stream.append(char(Name.size())).append(Name);
        return stream;
    }

    QByteArray Valid;
};

TEST_F(LayoutDamage, EveryTruncationIsReported)
{
    ASSERT_NO_THROW(std::unique_ptr<QObject>(ReadLayout(Valid, nullptr)));
    for (qsizetype length = 0; length < Valid.size(); ++length) {
        const QByteArray cut = Valid.left(length);
        EXPECT_THROW(std::unique_ptr<QObject>(ReadLayout(cut, nullptr)), ELayoutError) << "length " << length;
        EXPECT_THROW(LayoutBinaryToText(cut), ELayoutError) << "length " << length;
    }
}

TEST_F(LayoutDamage, TruncationNamesTheEndOfTheStream)
{
    const std::string message = ReadFault(Valid.left(Valid.size() - 1));
    EXPECT_NE(message.find("Layout stream damaged at offset " + std::to_string(Valid.size() - 1)),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("found the end of the stream"), std::string::npos) << message;
}

TEST_F(LayoutDamage, RandomMutationsNeverCrash)
{
    std::mt19937 random(20090615);
    int rejected = 0;
    const int rounds = 3000;
    for (int round = 0; round < rounds; ++round) {
        QByteArray mutated = Valid;
        const int changes = 1 + int(random() % 4);
        for (int c = 0; c < changes; ++c)
            mutated[qsizetype(random() % quint32(mutated.size()))] = char(random() & 0xFF);
        try {
            std::unique_ptr<QObject> root(ReadLayout(mutated, nullptr));
        } catch (const ELayoutError&) {
            ++rejected;
        }
        QString text;
        try {
            text = LayoutBinaryToText(mutated);
        } catch (const ELayoutError&) {
            continue;
        }
        // What converts to text must convert back.
        EXPECT_NO_THROW(LayoutTextToBinary(text)) << text.toStdString();
    }
    // Most mutations hit names, lengths or types; some only change a value.
    EXPECT_GT(rejected, rounds / 4);
    EXPECT_LT(rejected, rounds);
}

TEST_F(LayoutDamage, HugeLengthIsRejectedBeforeAnyAllocation)
{
    QByteArray stream = Header("TTestForm", "Form2");
    stream.append(char(12)).append("Picture.Data");
    const qsizetype valueAt = stream.size();
    stream.append('\x0A');
    char length[4];
    qToLittleEndian<qint32>(0x7FFFFFF0, length);
    stream.append(length, 4).append("abc");
    const std::string message = ReadFault(stream);
    EXPECT_NE(message.find("offset " + std::to_string(valueAt + 1)), std::string::npos) << message;
    EXPECT_NE(message.find("length"), std::string::npos) << message;
}

TEST_F(LayoutDamage, NegativeLengthIsRejected)
{
    QByteArray stream = Header("TTestForm", "Form2");
    stream.append(char(7))
        .append("Caption")
        .append('\x12')
        .append("\xFF\xFF\xFF\xFF", 4)
        .append('\0')
        .append('\0');
    EXPECT_NE(ReadFault(stream).find("negative length"), std::string::npos);
}

TEST_F(LayoutDamage, UnknownValueTypeNamesOffsetAndByte)
{
    QByteArray stream = Header("TTestForm", "Form2");
    stream.append(char(7)).append("Caption");
    const qsizetype at = stream.size();
    stream.append('\x3F').append(QByteArray(8, '\0'));
    EXPECT_EQ(ReadFault(stream), "Layout stream damaged at offset " + std::to_string(at) +
                                     ": expected a value type, found 0x3F");
}

TEST_F(LayoutDamage, UnregisteredClassIsRejectedAndCreatedComponentsAreOwned)
{
    QByteArray stream = Header("TTestForm", "Form2");
    stream.append('\0');
    stream.append(char(10)).append("TTestPanel").append(char(6)).append("Panel1").append("\0\0", 2);
    const qsizetype at = stream.size();
    stream.append(char(14)).append("TNotRegistered").append(char(1)).append("X").append("\0\0", 2);
    stream.append('\0');

    TTestForm form;
    try {
        ReadLayoutInto(&form, stream);
        FAIL() << "an unregistered class was accepted";
    } catch (const ELayoutError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("offset " + std::to_string(at)), std::string::npos) << message;
        EXPECT_NE(message.find("TNotRegistered"), std::string::npos) << message;
    }
    // The panel read before the fault belongs to the form and goes with it.
    EXPECT_NE(form.findChild<TTestPanel*>(QStringLiteral("Panel1")), nullptr);
}

TEST_F(LayoutDamage, RootIsDestroyedWhenReadingFails)
{
    QByteArray stream = Header("TTestForm", "Form2");
    stream.append(char(7)).append("NoSuchP").append('\x02').append('\x01').append("\0\0", 2);
    QObject parent;
    EXPECT_THROW(ReadLayout(stream, &parent), ELayoutError);
    EXPECT_TRUE(parent.children().isEmpty());
}

struct TRejectCase {
    const char* Label;
    QByteArray Property; // name + value, inside a TTestForm
    const char* Expected;
};

class LayoutRejectedProperty : public LayoutDamage, public ::testing::WithParamInterface<TRejectCase>
{
};

TEST_P(LayoutRejectedProperty, NamesWhatWasExpected)
{
    QByteArray stream = Header("TTestForm", "Form2");
    stream.append(GetParam().Property).append("\0\0", 2);
    const std::string message = ReadFault(stream);
    EXPECT_NE(message.find("Layout stream damaged at offset"), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().Expected), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutRejectedProperty,
    ::testing::Values(
        TRejectCase{"unknown_property", QByteArray("\x07Missing\x02\x01", 10), "a property of TTestForm"},
        TRejectCase{"qt_property", QByteArray("\x0AobjectName\x06\x01x", 14), "a property of TTestForm"},
        TRejectCase{"string_for_integer", QByteArray("\x07Width32\x06\x01x", 11), "an integer for Width32"},
        TRejectCase{"int64_for_int", QByteArray("\x07Width32\x13\0\0\0\0\x01\0\0\0", 17), "an integer from"},
        TRejectCase{"negative_for_unsigned", QByteArray("\x08Unsigned\x02\xFF", 11), "an integer from 0"},
        TRejectCase{"integer_for_bool",
                    QByteArray("\x07"
                               "Enabled\x02\x01",
                               10),
                    "True or False"},
        TRejectCase{"unknown_enum",
                    QByteArray("\x05"
                               "Align\x07\x06"
                               "alSide",
                               14),
                    "\"alSide\""},
        TRejectCase{"unknown_set_element",
                    QByteArray("\x07"
                               "Anchors\x0B\x04"
                               "akUp\0",
                               15),
                    "\"akUp\""},
        TRejectCase{"integer_for_enum",
                    QByteArray("\x05"
                               "Align\x02\x01",
                               8),
                    "an identifier for Align"},
        TRejectCase{"string_for_data",
                    QByteArray("\x0C"
                               "Picture.Data\x06\x01x",
                               16),
                    "binary data for Picture.Data"},
        TRejectCase{"string_for_lines",
                    QByteArray("\x0D"
                               "Lines.Strings\x06\x01x",
                               17),
                    "a list of strings"},
        TRejectCase{"integer_in_lines",
                    QByteArray("\x0D"
                               "Lines.Strings\x01\x02\x05\0",
                               18),
                    "a string in Lines"},
        TRejectCase{"path_through_value",
                    QByteArray("\x0D"
                               "Caption.Title\x06\x01x",
                               17),
                    "an object property"},
        TRejectCase{"unknown_component",
                    QByteArray("\x09"
                               "Container\x07\x05"
                               "Ghost",
                               17),
                    "\"Ghost\""},
        TRejectCase{"list_for_collection",
                    QByteArray("\x05"
                               "Items\x01\0",
                               8),
                    "a collection for Items"},
        TRejectCase{"empty_identifier",
                    QByteArray("\x05"
                               "Align\x07\0",
                               8),
                    "an identifier"},
        TRejectCase{"item_marker",
                    QByteArray("\x05"
                               "Items\x0E\x02\0",
                               9),
                    "a collection item (0x01)"}),
    [](const ::testing::TestParamInfo<TRejectCase>& Info) { return std::string(Info.param.Label); });

TEST_F(LayoutDamage, WrongSignatureIsRejected)
{
    QByteArray stream = Valid;
    stream[3] = '1';
    EXPECT_NE(ReadFault(stream).find("the signature TPF0"), std::string::npos);
}

TEST_F(LayoutDamage, TrailingBytesAreRejected)
{
    EXPECT_NE(ReadFault(Valid + QByteArray("x")).find("expected the end of the stream"), std::string::npos);
}

TEST_F(LayoutDamage, DeepNestingIsRejectedWithoutExhaustingTheStack)
{
    QByteArray lists = Header("TTestForm", "Form2");
    lists.append(char(13)).append("Lines.Strings");
    lists.append(QByteArray(200000, '\x01'));
    EXPECT_NE(ReadFault(lists).find("nested"), std::string::npos);

    QByteArray objects("TPF0");
    for (int i = 0; i < 100000; ++i)
        objects.append("\x0ATTestPanel\0\0", 13);
    EXPECT_NE(ReadFault(objects).find("nested"), std::string::npos);
}

} // namespace
