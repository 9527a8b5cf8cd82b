// Writing a component tree as a binary window layout and reading it back.

#include "tests/toolkit/layout_test_classes.h"

#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_writer.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace
{

class LayoutStream : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        RegisterLayoutTestClasses();
        LoadLog().clear();
    }
};

// Offset of the value type byte that follows the stored property Name.
qsizetype ValueOffset(const QByteArray& Stream, const QByteArray& Name)
{
    QByteArray key;
    key.append(char(Name.size()));
    key.append(Name);
    const qsizetype at = Stream.indexOf(key);
    return at < 0 ? -1 : at + key.size();
}

std::unique_ptr<TTestForm> ReadForm(const QByteArray& Stream)
{
    QObject* object = ReadLayout(Stream, nullptr);
    auto* form = qobject_cast<TTestForm*>(object);
    EXPECT_NE(form, nullptr);
    return std::unique_ptr<TTestForm>(form);
}

// A tree with a value of every kind: what the writer must store and the reader restore.
std::unique_ptr<TTestForm> MakeFullForm()
{
    auto form = std::make_unique<TTestForm>();
    form->setObjectName(QStringLiteral("Form2"));
    form->SetNumber(-5000000000LL);
    form->SetWidth32(980);
    form->SetSmall(-300);
    form->SetUnsigned(4000000000u);
    form->SetEnabled(true);
    form->SetCaption(QStringLiteral("Lumivex \u00A9 2009"));
    form->SetScale(0.1);
    form->SetAlign(TTestForm::alClient);
    form->SetAnchors(TTestForm::akLeft | TTestForm::akBottom);
    form->OfficeHint()->SetTitle(QStringLiteral("Hint title"));
    form->OfficeHint()->Notes()->Add(QStringLiteral("first note"));
    form->OfficeHint()->Notes()->Add(QString());
    form->OfficeHint()->Notes()->Add(QStringLiteral("\u65E5\u672C"));
    form->OfficeHint()->Picture()->Bytes = QByteArray("\x89PNG\r\n\x1A\n\0\0", 10);
    form->OfficeHint()->SetShowHelp(true);
    form->Lines()->Add(QString(300, QLatin1Char('x')));
    QByteArray picture;
    for (int i = 0; i < 1000; ++i)
        picture.append(char(i * 7));
    form->Picture()->Bytes = picture;
    auto* item = static_cast<TTestItem*>(form->Items()->Add());
    item->SetName(QStringLiteral("Logo"));
    item->SetTag(-1);
    item->Picture()->Bytes = QByteArray("GIF89a");
    static_cast<TTestItem*>(form->Items()->Add())->SetName(QStringLiteral("Empty"));
    form->SetOnClick(TNotifyEvent{QStringLiteral("Button1Click"), {}});
    form->SetHidden(77);

    auto* panel1 = new TTestPanel(form.get());
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->SetCaption(QStringLiteral("top"));
    panel1->SetLeft(4);
    auto* panel3 = new TTestPanel(panel1);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->SetCaption(QStringLiteral("inner"));
    auto* container = new TTestContainer(form.get());
    container->setObjectName(QStringLiteral("Container1"));
    container->SetTag(42);
    auto* panel2 = new TTestPanel(form.get());
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->SetCaption(QStringLiteral("bottom"));
    form->SetContainer(container);
    return form;
}

TEST_F(LayoutStream, FullTreeComesBackWithEveryValue)
{
    const auto original = MakeFullForm();
    const QByteArray stream = WriteLayout(original.get());
    ASSERT_TRUE(stream.startsWith("TPF0"));

    const auto read = ReadForm(stream);
    EXPECT_EQ(read->objectName(), QStringLiteral("Form2"));
    EXPECT_EQ(read->Number(), -5000000000LL);
    EXPECT_EQ(read->Width32(), 980);
    EXPECT_EQ(read->Small(), -300);
    EXPECT_EQ(read->Unsigned(), 4000000000u);
    EXPECT_TRUE(read->Enabled());
    EXPECT_EQ(read->Caption(), QStringLiteral("Lumivex \u00A9 2009"));
    EXPECT_EQ(read->Scale(), 0.1);
    EXPECT_EQ(read->Align(), TTestForm::alClient);
    EXPECT_EQ(read->Anchors(), TTestForm::akLeft | TTestForm::akBottom);
    EXPECT_EQ(read->OfficeHint()->Title(), QStringLiteral("Hint title"));
    EXPECT_EQ(read->OfficeHint()->Notes()->Lines(),
              QStringList({QStringLiteral("first note"), QString(), QStringLiteral("\u65E5\u672C")}));
    EXPECT_EQ(read->OfficeHint()->Picture()->Bytes, QByteArray("\x89PNG\r\n\x1A\n\0\0", 10));
    EXPECT_TRUE(read->OfficeHint()->ShowHelp());
    EXPECT_EQ(read->Lines()->Lines(), QStringList({QString(300, QLatin1Char('x'))}));
    EXPECT_EQ(read->Picture()->Bytes, original->Picture()->Bytes);
    ASSERT_EQ(read->Items()->Count(), 2);
    const auto* item = static_cast<TTestItem*>(read->Items()->Items(0));
    EXPECT_EQ(item->Name(), QStringLiteral("Logo"));
    EXPECT_EQ(item->Tag(), -1);
    EXPECT_EQ(item->Picture()->Bytes, QByteArray("GIF89a"));
    EXPECT_EQ(static_cast<TTestItem*>(read->Items()->Items(1))->Name(), QStringLiteral("Empty"));
    EXPECT_EQ(read->Hidden(), 0) << "a property with STORED false is not written";

    const auto panels = read->findChildren<TTestPanel*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(panels.size(), 2);
    EXPECT_EQ(panels[0]->objectName(), QStringLiteral("Panel1"));
    EXPECT_EQ(panels[0]->parentWidget(), read.get());
    EXPECT_EQ(panels[0]->Left(), 4);
    EXPECT_EQ(panels[1]->Caption(), QStringLiteral("bottom"));
    auto* inner = panels[0]->findChild<TTestPanel*>(QStringLiteral("Panel3"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->parentWidget(), panels[0]);
    ASSERT_NE(read->Container(), nullptr);
    EXPECT_EQ(read->Container()->objectName(), QStringLiteral("Container1"));
    EXPECT_EQ(read->Container()->Tag(), 42);

    EXPECT_EQ(WriteLayout(read.get()), stream) << "writing what was read gives the same bytes";
}

TEST_F(LayoutStream, NestedPropertiesUseDottedNames)
{
    const auto form = MakeFullForm();
    const QByteArray stream = WriteLayout(form.get());
    for (const char* name : {"OfficeHint.Title", "OfficeHint.Notes.Strings", "OfficeHint.Picture.Data",
                             "OfficeHint.ShowHelp", "Lines.Strings", "Picture.Data"})
        EXPECT_GE(ValueOffset(stream, name), 0) << name;
    const qsizetype data = ValueOffset(stream, "Picture.Data");
    ASSERT_EQ(quint8(stream[data]), 0x0A);
    EXPECT_EQ(qFromLittleEndian<qint32>(stream.constData() + data + 1), 1000);
    EXPECT_EQ(stream.mid(data + 5, 1000), form->Picture()->Bytes) << "raw bytes, no header of their own";
}

TEST_F(LayoutStream, EmptyGraphicsListsAndDefaultsAreNotWritten)
{
    TTestForm form;
    const QByteArray stream = WriteLayout(&form);
    for (const char* name :
         {"Picture.Data", "OfficeHint.Picture.Data", "Lines.Strings", "OfficeHint.Notes.Strings",
          "OfficeHint.ShowHelp", "OnClick", "Container", "Hidden"})
        EXPECT_LT(ValueOffset(stream, name), 0) << name;
    EXPECT_GE(ValueOffset(stream, "OfficeHint.Title"), 0) << "strings are stored even when empty";
    EXPECT_GE(ValueOffset(stream, "Items"), 0);
}

struct TIntegerCase {
    const char* Label;
    qint64 Value;
    quint8 Type;
};

class LayoutIntegerWidth : public LayoutStream, public ::testing::WithParamInterface<TIntegerCase>
{
};

TEST_P(LayoutIntegerWidth, SmallestTypeWrittenAndValueRestored)
{
    TTestForm form;
    form.SetNumber(GetParam().Value);
    const QByteArray stream = WriteLayout(&form);
    const qsizetype at = ValueOffset(stream, "Number");
    ASSERT_GE(at, 0);
    EXPECT_EQ(quint8(stream[at]), GetParam().Type);
    EXPECT_EQ(ReadForm(stream)->Number(), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, LayoutIntegerWidth,
    ::testing::Values(TIntegerCase{"zero", 0, 0x02}, TIntegerCase{"int8_max", 127, 0x02},
                      TIntegerCase{"int8_min", -128, 0x02}, TIntegerCase{"past_int8", 128, 0x03},
                      TIntegerCase{"below_int8", -129, 0x03}, TIntegerCase{"int16_max", 32767, 0x03},
                      TIntegerCase{"int16_min", -32768, 0x03}, TIntegerCase{"past_int16", 32768, 0x04},
                      TIntegerCase{"int32_min", std::numeric_limits<qint32>::min(), 0x04},
                      TIntegerCase{"int32_max", std::numeric_limits<qint32>::max(), 0x04},
                      TIntegerCase{"past_int32", 2147483648LL, 0x13},
                      TIntegerCase{"int64_min", std::numeric_limits<qint64>::min(), 0x13},
                      TIntegerCase{"int64_max", std::numeric_limits<qint64>::max(), 0x13}),
    [](const ::testing::TestParamInfo<TIntegerCase>& Info) { return std::string(Info.param.Label); });

struct TStringCase {
    const char* Label;
    QString Value;
    quint8 Type;
};

class LayoutStringForm : public LayoutStream, public ::testing::WithParamInterface<TStringCase>
{
};

TEST_P(LayoutStringForm, ShortWhenLatin1AndShortElseWide)
{
    TTestForm form;
    form.SetCaption(GetParam().Value);
    const QByteArray stream = WriteLayout(&form);
    const qsizetype at = ValueOffset(stream, "Caption");
    ASSERT_GE(at, 0);
    EXPECT_EQ(quint8(stream[at]), GetParam().Type);
    EXPECT_EQ(ReadForm(stream)->Caption(), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(Forms, LayoutStringForm,
                         ::testing::Values(TStringCase{"empty", QString(), 0x06},
                                           TStringCase{"latin1", QStringLiteral("Caf\u00E9"), 0x06},
                                           TStringCase{"latin1_255", QString(255, QLatin1Char('a')), 0x06},
                                           TStringCase{"latin1_256", QString(256, QLatin1Char('a')), 0x12},
                                           TStringCase{"euro_sign", QStringLiteral("5 \u20AC"), 0x12},
                                           TStringCase{"surrogate_pair", QStringLiteral("\U0001F600"), 0x12}),
                         [](const ::testing::TestParamInfo<TStringCase>& Info) {
                             return std::string(Info.param.Label);
                         });

TEST_F(LayoutStream, ValueTypesOfBoolEnumSetAndDouble)
{
    TTestForm form;
    form.SetEnabled(false);
    form.SetAlign(TTestForm::alTop);
    form.SetAnchors(TTestForm::akAll);
    form.SetScale(-2.5);
    const QByteArray stream = WriteLayout(&form);

    EXPECT_EQ(quint8(stream[ValueOffset(stream, "Enabled")]), 0x08);
    const qsizetype align = ValueOffset(stream, "Align");
    EXPECT_EQ(stream.mid(align, 7), QByteArray("\x07\x05"
                                               "alTop"));
    const qsizetype anchors = ValueOffset(stream, "Anchors");
    EXPECT_EQ(stream.mid(anchors, 32), QByteArray("\x0B\x06"
                                                  "akLeft\x05"
                                                  "akTop\x07"
                                                  "akRight\x08"
                                                  "akBottom\x00",
                                                  32))
        << "only the single-bit elements, ended by an empty name";
    const qsizetype scale = ValueOffset(stream, "Scale");
    // -2.5 as 80-bit extended: mantissa A000000000000000, sign and exponent C000.
    EXPECT_EQ(stream.mid(scale, 11), QByteArray("\x05\0\0\0\0\0\0\0\xA0\x00\xC0", 11));

    const auto read = ReadForm(stream);
    EXPECT_FALSE(read->Enabled());
    EXPECT_EQ(read->Align(), TTestForm::alTop);
    EXPECT_EQ(read->Anchors(), TTestForm::TAnchors(TTestForm::akAll));
    EXPECT_EQ(read->Scale(), -2.5);
}

TEST_F(LayoutStream, EventsAreBoundByNameToTheRootsMethods)
{
    TTestForm form;
    form.SetOnClick(TNotifyEvent{QStringLiteral("Button1Click"), {}});
    form.SetOnDblClick(TNotifyEvent{QStringLiteral("FormDblClick"), {}});
    const QByteArray stream = WriteLayout(&form);
    EXPECT_EQ(stream.mid(ValueOffset(stream, "OnClick"), 14), QByteArray("\x07\x0C"
                                                                         "Button1Click"));

    const auto read = ReadForm(stream);
    EXPECT_EQ(read->OnClick().Name, QStringLiteral("Button1Click"));
    ASSERT_TRUE(bool(read->OnClick()));
    QObject sender;
    read->OnClick()(&sender);
    read->OnDblClick()(&sender);
    EXPECT_EQ(read->ClickSenders, QList<QObject*>({&sender}));
    EXPECT_EQ(read->DblClicks, 1);
}

TEST_F(LayoutStream, UnknownOrUnsuitableHandlerIsRejected)
{
    for (const char* handler : {"NoSuchHandler", "WrongHandler"}) {
        TTestForm form;
        form.SetOnClick(TNotifyEvent{QString::fromLatin1(handler), {}});
        const QByteArray stream = WriteLayout(&form);
        const qsizetype at = ValueOffset(stream, "OnClick");
        try {
            ReadForm(stream);
            ADD_FAILURE() << handler << " was accepted";
        } catch (const ELayoutError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("offset " + std::to_string(at)), std::string::npos) << message;
            EXPECT_NE(message.find(handler), std::string::npos) << message;
        }
    }
}

TEST_F(LayoutStream, LoadingStateSeenBySettersAndLoadedCalledAfterEverythingInReadingOrder)
{
    const auto original = MakeFullForm();
    const QByteArray stream = WriteLayout(original.get());
    LoadLog().clear();
    const auto read = ReadForm(stream);
    EXPECT_EQ(LoadLog(), QStringList({
                             QStringLiteral("Panel1 caption loading=1"),
                             QStringLiteral("Panel3 caption loading=1"),
                             QStringLiteral("Panel2 caption loading=1"),
                             QStringLiteral("Form2 loaded children Panel1=top,Panel3=inner,Panel2=bottom"),
                             QStringLiteral("item Logo loaded"),
                             QStringLiteral("item Empty loaded"),
                             QStringLiteral("Panel1 loaded caption=top left=4"),
                             QStringLiteral("Panel3 loaded caption=inner left=0"),
                             QStringLiteral("Container1 loaded tag=42"),
                             QStringLiteral("Panel2 loaded caption=bottom left=0"),
                         }));
    EXPECT_FALSE(read->IsLoading());
}

TEST_F(LayoutStream, ExistingRootReadsItsOwnLayout)
{
    const auto original = MakeFullForm();
    const QByteArray stream = WriteLayout(original.get());
    TTestForm form;
    ReadLayoutInto(&form, stream);
    EXPECT_EQ(form.objectName(), QStringLiteral("Form2"));
    EXPECT_EQ(form.Number(), -5000000000LL);
    EXPECT_EQ(form.findChildren<TTestPanel*>().size(), 3);
}

TEST_F(LayoutStream, PropertyWithoutStoredFormIsAnErrorNotSilentlyDropped)
{
    TTestOddComponent odd;
    try {
        WriteLayout(&odd);
        FAIL() << "a QPoint property was written";
    } catch (const ELayoutError& error) {
        EXPECT_NE(std::string(error.what()).find("Origin"), std::string::npos) << error.what();
    }
}

TEST_F(LayoutStream, ExistingRootOfAnotherClassIsRejected)
{
    TTestForm form;
    const QByteArray stream = WriteLayout(&form);
    TTestPanel panel;
    EXPECT_THROW(ReadLayoutInto(&panel, stream), ELayoutError);
}

} // namespace
