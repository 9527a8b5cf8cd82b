// The small persistent classes: lines, collections and the picture holder.

#include "tests/toolkit/layout_test_classes.h"

#include "toolkit/collection.h"
#include "toolkit/graphics/picture.h"
#include "toolkit/strings.h"

#include <QBuffer>
#include <QPointer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace
{

TEST(Strings, ChangesAreNotifiedAfterEachChange)
{
    TStrings lines;
    QStringList seen;
    lines.OnChange = [&seen](TStrings* Sender) { seen.append(Sender->Text()); };
    lines.Add(QStringLiteral("a"));
    lines.Add(QStringLiteral("b"));
    lines.Clear();
    lines.SetText(QStringLiteral("x"));
    EXPECT_EQ(seen, QStringList(
                        {QStringLiteral("a\n"), QStringLiteral("a\nb\n"), QString(), QStringLiteral("x\n")}));
    EXPECT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines.Strings(0), QStringLiteral("x"));
    EXPECT_THROW(lines.Strings(1), std::out_of_range);
    EXPECT_THROW(lines.Strings(-1), std::out_of_range);
}

struct TSplitCase {
    const char* Label;
    QString Text;
    QStringList Lines;
};

class StringsSetText : public ::testing::TestWithParam<TSplitCase>
{
};

TEST_P(StringsSetText, SplitsAtEveryKindOfLineBreak)
{
    TStrings lines;
    lines.SetText(GetParam().Text);
    EXPECT_EQ(lines.Lines(), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringsSetText,
    ::testing::Values(
        TSplitCase{"empty", QString(), {}},
        TSplitCase{"one_line", QStringLiteral("abc"), {QStringLiteral("abc")}},
        TSplitCase{"final_break_starts_no_line", QStringLiteral("a\n"), {QStringLiteral("a")}},
        TSplitCase{"lone_break", QStringLiteral("\n"), {QString()}},
        TSplitCase{"crlf", QStringLiteral("a\r\nb\r\n"), {QStringLiteral("a"), QStringLiteral("b")}},
        TSplitCase{"cr", QStringLiteral("a\rb"), {QStringLiteral("a"), QStringLiteral("b")}},
        TSplitCase{
            "empty_middle", QStringLiteral("a\n\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}}),
    [](const ::testing::TestParamInfo<TSplitCase>& Info) { return std::string(Info.param.Label); });

TEST(Strings, CopyFromSharesNothing)
{
    TStrings source;
    source.SetText(QStringLiteral("one\ntwo"));
    TStrings copy;
    int changes = 0;
    copy.OnChange = [&changes](TStrings*) { ++changes; };
    copy.CopyFrom(&source);
    EXPECT_EQ(changes, 1);
    source.Add(QStringLiteral("three"));
    source.SetText(QStringLiteral("changed"));
    EXPECT_EQ(copy.Lines(), QStringList({QStringLiteral("one"), QStringLiteral("two")}));

    TPersistent other;
    copy.CopyFrom(&other);
    copy.CopyFrom(nullptr);
    EXPECT_EQ(copy.Count(), 2) << "other sources leave the lines unchanged";
    EXPECT_EQ(changes, 1);
}

TEST(Picture, HoldsAndOwnsOneGraphic)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&changes](TPicture*) { ++changes; };
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);

    auto graphic = std::make_unique<TTestGraphic>();
    QPointer<TTestGraphic> first = graphic.get();
    picture.SetGraphic(std::move(graphic));
    EXPECT_EQ(picture.Graphic(), first.data());
    EXPECT_EQ(changes, 1);

    QByteArray bytes("abcd");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    first->LoadStream(&buffer);
    EXPECT_EQ(changes, 2) << "a change of the held graphic is the picture's change";
    EXPECT_EQ(picture.Width(), 4);

    picture.SetGraphic(std::make_unique<TTestGraphic>());
    EXPECT_TRUE(first.isNull()) << "the replaced graphic is destroyed";
    EXPECT_EQ(changes, 3);
    picture.SetGraphic(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(changes, 4);
}

TEST(Collection, ItemsKnowTheirCollectionAndIndex)
{
    TCollection collection(TCollection::ItemClass<TTestItem>());
    int changes = 0;
    collection.OnChange = [&changes](TCollection*) { ++changes; };
    auto* first = collection.Add();
    auto* second = collection.Add();
    auto* third = collection.Add();
    EXPECT_NE(qobject_cast<TTestItem*>(first), nullptr);
    EXPECT_EQ(collection.Count(), 3);
    EXPECT_EQ(second->Collection(), &collection);
    EXPECT_EQ(third->Index(), 2);
    QPointer<TCollectionItem> deleted = second;
    collection.Delete(1);
    EXPECT_TRUE(deleted.isNull());
    EXPECT_EQ(third->Index(), 1);
    EXPECT_EQ(collection.Items(1), third);
    EXPECT_THROW(collection.Items(2), std::out_of_range);
    EXPECT_THROW(collection.Delete(5), std::out_of_range);
    collection.Clear();
    EXPECT_EQ(collection.Count(), 0);
    EXPECT_EQ(changes, 5);
}

TEST(Collection, CopyFromMakesOwnItems)
{
    TCollection source(TCollection::ItemClass<TTestItem>());
    auto* item = static_cast<TTestItem*>(source.Add());
    item->SetName(QStringLiteral("Logo"));
    item->SetTag(3);
    item->Picture()->Bytes = QByteArray("png");
    TCollection copy(TCollection::ItemClass<TTestItem>());
    copy.Add();
    copy.Add();
    copy.CopyFrom(&source);
    ASSERT_EQ(copy.Count(), 1);
    auto* copied = static_cast<TTestItem*>(copy.Items(0));
    EXPECT_NE(copied, item);
    EXPECT_EQ(copied->Collection(), &copy);
    EXPECT_EQ(copied->Name(), QStringLiteral("Logo"));
    EXPECT_EQ(copied->Tag(), 3);
    EXPECT_EQ(copied->Picture()->Bytes, QByteArray("png"));
    item->SetName(QStringLiteral("Changed"));
    EXPECT_EQ(copied->Name(), QStringLiteral("Logo"));
}

} // namespace
