#include "pictures/html_picture.h"
#include "pictures/html_picture_cache.h"

#include "tests/support/test_data.h"

#include <QPointer>
#include <gtest/gtest.h>

// The test program carries the resource LOGO (tests/data/pictures/logo-blue-8x8.png).
TEST(PictureLocation, SchemesLoadWhatTheyNameAndRecordTheRest)
{
    const QString logoFile = TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png"));
    const struct {
        const char* Name;
        QString Text;
        bool Asynchronous;
        QString Identifier;
        QString Location;
        bool Loaded;
    } cases[] = {
        {"resource, scheme case ignored, name case kept", "res://LOGO", false, "res://LOGO", "", true},
        {"resource name in another case is another name", "RES://logo", false, "RES://logo", "", false},
        {"resource scheme alone", "RES://", false, "RES://", "", false},
        {"file", "File://" + logoFile, false, "File://" + logoFile, "", true},
        {"missing file", "FILE:///nonexistent/a.gif", false, "FILE:///nonexistent/a.gif", "", false},
        {"remote, synchronous", "http://example.com/a.png", false, "http://example.com/a.png",
         "http://example.com/a.png", false},
        {"remote, asynchronous", "http://example.com/a.png", true, "", "http://example.com/a.png", false},
    };
    for (const auto& c : cases) {
        THTMLPicture picture;
        picture.SetAsynchronous(c.Asynchronous);
        EXPECT_NO_THROW(picture.LoadFromLocation(c.Text)) << c.Name;
        EXPECT_EQ(picture.Identifier(), c.Identifier) << c.Name;
        EXPECT_EQ(picture.Location(), c.Location) << c.Name;
        EXPECT_EQ(picture.IsEmpty(), !c.Loaded) << c.Name;
        EXPECT_EQ(picture.Width(), c.Loaded ? 8 : 0) << c.Name;
        EXPECT_EQ(picture.Busy(), c.Asynchronous) << c.Name;
    }
}

TEST(PictureLocation, AnAsynchronousPictureStartsOneWorkerInItsLife)
{
    THTMLPicture picture;
    picture.LoadFromLocation(QStringLiteral("http://example.com/first.png"));
    picture.LoadFromLocation(QStringLiteral("http://example.com/second.png"));
    EXPECT_EQ(picture.Location(), QStringLiteral("http://example.com/first.png"));
    EXPECT_TRUE(picture.Identifier().isEmpty());
    EXPECT_TRUE(picture.IsEmpty());
}

TEST(PictureCache, FindsByExactIdentifierAndOwnsItsPictures)
{
    THTMLPictureCache cache;
    EXPECT_EQ(cache.FindByIdentifier(QString()), nullptr);

    THTMLPicture* missing = cache.CreatePicture();
    missing->SetAsynchronous(false);
    missing->LoadFromLocation(QStringLiteral("FILE://a.gif"));
    THTMLPicture* lower = cache.CreatePicture();
    lower->LoadFromLocation(QStringLiteral("file://a.gif"));
    THTMLPicture* again = cache.CreatePicture();
    again->LoadFromLocation(QStringLiteral("FILE://a.gif"));

    EXPECT_TRUE(missing->IsEmpty());
    EXPECT_EQ(cache.FindByIdentifier(QStringLiteral("FILE://a.gif")), missing);
    EXPECT_EQ(cache.FindByIdentifier(QStringLiteral("file://a.gif")), lower);
    EXPECT_EQ(cache.FindByIdentifier(QStringLiteral("File://a.gif")), nullptr);
    EXPECT_EQ(cache.PictureAt(2), again);
    EXPECT_THROW(cache.PictureAt(3), std::out_of_range);

    QPointer<THTMLPicture> watched(lower);
    cache.ClearPictures();
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.FindByIdentifier(QStringLiteral("FILE://a.gif")), nullptr);
}
