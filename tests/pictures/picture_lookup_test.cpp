#include "pictures/html_picture.h"
#include "pictures/html_picture_cache.h"

#include "tests/support/gp_test_images.h"
#include "tests/support/test_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace
{

// A folder with an allowed part and a private part beside it:
//   allowed/logo.png, allowed/sub/, allowed/escape.png -> ../private/secret.png,
//   allowed/out -> ../private, private/secret.png.
class PictureFolders
{
  public:
    PictureFolders()
    {
        const QByteArray logo = ReadFileBytes(TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png")));
        QDir(Root.path()).mkpath(QStringLiteral("allowed/sub"));
        QDir(Root.path()).mkpath(QStringLiteral("private"));
        Write(QStringLiteral("allowed/logo.png"), logo);
        Write(QStringLiteral("private/secret.png"), logo);
        QFile::link(QStringLiteral("../private/secret.png"), Path(QStringLiteral("allowed/escape.png")));
        QFile::link(QStringLiteral("../private"), Path(QStringLiteral("allowed/out")));
    }
    QString Path(const QString& Name) const { return Root.filePath(Name); }
    void Write(const QString& Name, const QByteArray& Bytes) const
    {
        QFile file(Path(Name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Bytes);
    }

    QTemporaryDir Root;
};

struct TRefusalCase {
    const char* Name;
    const char* Reference; // %1 is the temporary root
    bool AllowFolder;
    const char* Refusal; // what the cache tells; empty when nothing is refused
    bool Drawn;
};

class PictureRefusal : public ::testing::TestWithParam<TRefusalCase>
{
};

TEST_P(PictureRefusal, OnlyAllowedFilesAreReadAndEachRefusalIsToldOnce)
{
    const TRefusalCase& c = GetParam();
    PictureFolders folders;
    THTMLPictureCache cache;
    TPicturePolicy policy;
    policy.ReadAnyLocalFile = false;
    if (c.AllowFolder)
        policy.AllowFolder(folders.Path(QStringLiteral("allowed")));
    cache.SetPolicy(policy);
    QStringList told;
    cache.OnPictureRefused = [&](const QString& Location, const TFailure& Reason) {
        told << Location + QStringLiteral(": ") + Reason.Text;
    };

    const QString reference =
        QString::fromUtf8(c.Reference).replace(QStringLiteral("%1"), folders.Root.path());
    const THTMLPicture* first = cache.PictureForLocation(reference);
    const THTMLPicture* again = cache.PictureForLocation(reference);
    EXPECT_EQ(first, again);
    const QString refusal = QString::fromUtf8(c.Refusal);
    EXPECT_EQ(first->IsEmpty(), !c.Drawn);
    EXPECT_EQ(told,
              refusal.isEmpty() ? QStringList() : QStringList{reference + QStringLiteral(": ") + refusal});
}

INSTANTIATE_TEST_SUITE_P(
    Table, PictureRefusal,
    ::testing::Values(
        TRefusalCase{"file_in_allowed_folder", "file://%1/allowed/logo.png", true, "", true},
        TRefusalCase{"scheme_in_capitals", "FILE://%1/allowed/logo.png", true, "", true},
        TRefusalCase{"no_folder_allowed", "file://%1/allowed/logo.png", false, "local files are not read",
                     false},
        TRefusalCase{"file_beside_the_folder", "file://%1/private/secret.png", true,
                     "outside the allowed folders", false},
        TRefusalCase{"dot_dot_out_of_the_folder", "file://%1/allowed/sub/../../private/secret.png", true,
                     "outside the allowed folders", false},
        TRefusalCase{"link_to_a_file_outside", "file://%1/allowed/escape.png", true,
                     "outside the allowed folders", false},
        TRefusalCase{"through_a_linked_folder", "file://%1/allowed/out/secret.png", true,
                     "outside the allowed folders", false},
        TRefusalCase{"missing_file_in_folder", "file://%1/allowed/none.png", true, "no such file", false},
        TRefusalCase{"resource_without_folder", "res://LOGO", false, "program resources are not read", false},
        TRefusalCase{"resource_with_a_folder", "res://LOGO", true, "", true},
        TRefusalCase{"remote_recorded_never_fetched_nor_told", "http://example.com/a.png", false, "", false}),
    [](const ::testing::TestParamInfo<TRefusalCase>& Info) { return std::string(Info.param.Name); });

TEST(PictureCacheByResolvedPath, EverySpellingOfOneFileIsOnePicture)
{
    PictureFolders folders;
    const QString file = folders.Path(QStringLiteral("allowed/logo.png"));
    QFile::link(file, folders.Path(QStringLiteral("link.png")));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folders.Path(QStringLiteral("allowed"))));
    THTMLPictureCache cache;
    const QStringList spellings = {
        QStringLiteral("file://") + file,
        QStringLiteral("file:///") + file,
        QStringLiteral("FILE://") + file,
        QStringLiteral("file://logo.png"),
        QStringLiteral("file://./sub/../logo.png"),
        QStringLiteral("file://") + folders.Path(QStringLiteral("link.png")),
    };
    const THTMLPicture* first = cache.PictureForLocation(spellings.front());
    for (const QString& spelling : spellings)
        EXPECT_EQ(cache.PictureForLocation(spelling), first) << spelling.toStdString();
    QDir::setCurrent(previous);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_FALSE(first->IsEmpty());
    EXPECT_EQ(first->Identifier(), spellings.front());
}

TEST(PictureLimits, ADeclaredSizeOverTheLimitIsRefusedFromTheHeader)
{
    PictureFolders folders;
    folders.Write(QStringLiteral("allowed/huge.png"), gp_test::PngDeclaring(15000, 15000));
    THTMLPictureCache cache;
    TPicturePolicy policy;
    policy.MaxPicturePixels = 32'000'000;
    cache.SetPolicy(policy);
    QString reason;
    TFailureKind kind = TFailureKind::None;
    cache.OnPictureRefused = [&](const QString&, const TFailure& Reason) {
        reason = Reason.Text;
        kind = Reason.Kind;
    };
    const THTMLPicture* picture = cache.PictureForLocation(
        QStringLiteral("file://") + folders.Path(QStringLiteral("allowed/huge.png")), QSize(10, 10));
    EXPECT_TRUE(picture->IsEmpty());
    EXPECT_EQ(reason, QStringLiteral("image too large: 15000 × 15000 is over the limit of 32000000 pixels"));
    EXPECT_EQ(kind, TFailureKind::OverLimit);
}

TEST(PictureLimits, APictureIsDecodedAtTheSizeItIsDrawnAndAgainWhenDrawnLarger)
{
    THTMLPictureCache cache;
    const QString photo =
        QStringLiteral("file://") + TestDataPath(QStringLiteral("photo-opaque-320x240.jpg"));
    const THTMLPicture* small = cache.PictureForLocation(photo, QSize(40, 40));
    EXPECT_EQ(small->Width(), 320);
    EXPECT_EQ(small->Height(), 240);
    EXPECT_EQ(small->DecodedSize(), QSize(40, 30));
    const THTMLPicture* whole = cache.PictureForLocation(photo);
    EXPECT_EQ(whole, small);
    EXPECT_EQ(whole->DecodedSize(), QSize(320, 240));
    EXPECT_EQ(cache.PictureForLocation(photo, QSize(40, 40))->DecodedSize(), QSize(320, 240));
}

TEST(PictureLimits, TheLeastRecentlyUsedPicturesGoFirstWhenTheCacheIsFull)
{
    PictureFolders folders;
    QImage tile(64, 64, QImage::Format_ARGB32); // 16 KiB decoded
    tile.fill(Qt::red);
    for (const char* name : {"a.png", "b.png", "c.png"})
        folders.Write(QStringLiteral("allowed/") + QLatin1String(name), EncodedBytes(tile));
    THTMLPictureCache cache;
    TPicturePolicy policy;
    policy.MaxCachedBytes = 40 * 1024; // two pictures
    cache.SetPolicy(policy);
    const auto location = [&](const char* Name) {
        return QStringLiteral("file://") + folders.Path(QStringLiteral("allowed/") + QLatin1String(Name));
    };
    cache.PictureForLocation(location("a.png"));
    cache.PictureForLocation(location("b.png"));
    cache.PictureForLocation(location("a.png"));
    cache.PictureForLocation(location("c.png"));
    EXPECT_NE(cache.FindByIdentifier(location("a.png")), nullptr);
    EXPECT_EQ(cache.FindByIdentifier(location("b.png")), nullptr);
    EXPECT_NE(cache.FindByIdentifier(location("c.png")), nullptr);
    EXPECT_LE(cache.DecodedBytes(), policy.MaxCachedBytes);
}

} // namespace
