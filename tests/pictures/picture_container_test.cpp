#include "pictures/html_picture.h"
#include "pictures/picture_collection.h"
#include "pictures/picture_container.h"
#include "pictures/picture_item.h"
#include "pictures/register_pictures.h"

#include "tests/support/test_data.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_writer.h"
#include "toolkit/strings.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <memory>
#include <typeinfo>

namespace
{
TPictureItem* AddItem(TPictureContainer& Container, const QString& Name, int Tag = 0)
{
    TPictureItem* item = Container.Items()->Add();
    item->SetName(Name);
    item->SetTag(Tag);
    return item;
}
} // namespace

TEST(PictureContainer, PictureByNameFoldsAsciiLettersOnlyAndTheFirstWins)
{
    TPictureContainer container;
    THTMLPicture* logo = AddItem(container, QStringLiteral("Logo"))->Picture();
    AddItem(container, QStringLiteral("LOGO"));
    THTMLPicture* accented = AddItem(container, QStringLiteral("café"))->Picture();
    THTMLPicture* unnamed = AddItem(container, QString())->Picture();
    const struct {
        QString Name;
        THTMLPicture* Expected;
    } cases[] = {
        {"logo", logo},       {"LOGO", logo},   {"CAFé", accented}, {"CAFÉ", nullptr},
        {QString(), unnamed}, {"log", nullptr}, {"logo ", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(container.PictureByName(c.Name), c.Expected) << c.Name.toStdString();
    EXPECT_TRUE(logo->IsEmpty()); // returned whether or not it holds an image
}

TEST(PictureContainer, VersionIgnoresWhatIsWritten)
{
    TPictureContainer container;
    for (const QString& written : {QStringLiteral("2.0.0.0"), QString(), QStringLiteral("junk")}) {
        container.SetVersion(written);
        EXPECT_EQ(container.Version(), QStringLiteral("1.0.0.0"));
    }
}

TEST(PictureContainer, ItemCopiesKeepSeparatePictures)
{
    TPictureContainer container;
    TPictureItem* source = AddItem(container, QStringLiteral("one"), 42);
    source->Picture()->LoadFile(TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png")));
    TPictureItem* copy = AddItem(container, QStringLiteral("two"));
    copy->CopyFrom(source);
    EXPECT_EQ(copy->Name(), QStringLiteral("one"));
    EXPECT_EQ(copy->Tag(), 42);
    EXPECT_NE(copy->Picture(), source->Picture());
    EXPECT_EQ(copy->Picture()->EncodedData(), source->Picture()->EncodedData());
    EXPECT_EQ(copy->Picture()->Width(), 8);
    source->Picture()->CopyFrom(nullptr);
    EXPECT_FALSE(copy->Picture()->IsEmpty());

    // Refused before anything changes.
    TStrings notAnItem;
    EXPECT_THROW(copy->CopyFrom(nullptr), std::invalid_argument);
    EXPECT_THROW(copy->CopyFrom(&notAnItem), std::bad_cast);
    EXPECT_EQ(copy->Name(), QStringLiteral("one"));
    EXPECT_FALSE(copy->Picture()->IsEmpty());

    // Writing Items copies the given items; the container keeps its own.
    TPictureContainer other;
    TPictureCollection* owned = other.Items();
    other.SetItems(container.Items());
    EXPECT_EQ(other.Items(), owned);
    ASSERT_EQ(other.Items()->Count(), 2);
    EXPECT_EQ(other.Items()->Items(1)->Picture()->EncodedData(), copy->Picture()->EncodedData());
    EXPECT_EQ(other.Items()->Owner(), &other);
}

TEST(PictureContainer, LayoutStoresItemsWithPictureNameAndTag)
{
    RegisterPictureClasses();
    TPictureContainer container;
    container.setObjectName(QStringLiteral("PictureContainer1"));
    container.SetTag(7);
    TPictureItem* gif = AddItem(container, QStringLiteral("anim"), -3);
    gif->Picture()->SetFrame(3);
    gif->Picture()->SetStretch(true);
    gif->Picture()->LoadFile(TestDataPath(QStringLiteral("pictures/five-frames-20x10.gif")));
    AddItem(container, QStringLiteral("empty"));

    std::unique_ptr<QObject> read(ReadLayout(WriteLayout(&container), nullptr));
    auto* loaded = qobject_cast<TPictureContainer*>(read.get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->objectName(), QStringLiteral("PictureContainer1"));
    EXPECT_EQ(loaded->Tag(), 7);
    ASSERT_EQ(loaded->Items()->Count(), 2);
    const TPictureItem* first = loaded->Items()->Items(0);
    EXPECT_EQ(first->Name(), QStringLiteral("anim"));
    EXPECT_EQ(first->Tag(), -3);
    EXPECT_EQ(first->Picture()->EncodedData(), gif->Picture()->EncodedData());
    EXPECT_EQ(first->Picture()->Frame(), 3);
    EXPECT_TRUE(first->Picture()->Stretch());
    EXPECT_EQ(QPoint(first->Picture()->FrameLeft(), first->Picture()->FrameTop()), QPoint(5, 3));
    EXPECT_TRUE(loaded->Items()->Items(1)->Picture()->IsEmpty());

    QPointer<THTMLPicture> picture(first->Picture());
    read.reset();
    EXPECT_TRUE(picture.isNull());
}
