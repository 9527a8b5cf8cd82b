// Shell icon names in a stranger's markup: under a policy that reads no file,
// or only an allowed folder, the icon drawn tells nothing of what lies
// elsewhere, no path outside the folder is looked at, and nothing that could
// block (a FIFO, a kernel file) is opened.
#include "markup/draw_markup.h"
#include "pictures/html_picture_cache.h"

#include "tests/markup/markup_run.h"
#include "tests/support/test_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{

// allowed/photo and private/photo (PNG bytes under a name without a kind),
// allowed/sub/ and private/sub/, allowed/pipe.txt (a FIFO nobody writes),
// allowed/out -> ../private.
class IconFolders
{
  public:
    IconFolders()
    {
        const QByteArray png = ReadFileBytes(TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png")));
        QDir root(Root.path());
        root.mkpath(QStringLiteral("allowed/sub"));
        root.mkpath(QStringLiteral("private/sub"));
        for (const char* name : {"allowed/photo", "private/photo"}) {
            QFile file(Path(QLatin1String(name)));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(png);
        }
        EXPECT_EQ(::mkfifo(QFile::encodeName(Path(QStringLiteral("allowed/pipe.txt"))).constData(), 0600), 0);
        QFile::link(QStringLiteral("../private"), Path(QStringLiteral("allowed/out")));
    }
    QString Path(const QString& Name) const { return Real + u'/' + Name; }

    QTemporaryDir Root;
    const QString Real = QFileInfo(Root.path()).canonicalFilePath();
};

// The markup drawn under Policy, with every path the lookup looked at.
QImage Draw(const QString& Markup, TPicturePolicy Policy, QStringList* Looked = nullptr)
{
    if (Looked)
        Policy.OnLocalPath = [Looked](const QString& Path) { *Looked << Path; };
    THTMLPictureCache cache;
    cache.SetPolicy(Policy);
    TMarkupSurface surface(60, 40);
    TMarkupRequest request = TestRequest();
    request.PictureCache = &cache;
    DrawMarkup(*surface.Canvas, Markup, request);
    return surface.Image;
}

struct TIconCase {
    const char* Name;
    const char* Path;  // %1 is the resolved temporary root
    const char* Allow; // folder allowed, %1 as above; empty: none
    int Index;         // the icon drawn: 3 folder, 6 image, 10 text, 0 plain file
    bool LooksInside;  // whether any path is looked at (all inside the folder)
};

class ShellIconPolicy : public ::testing::TestWithParam<TIconCase>
{
};

TEST_P(ShellIconPolicy, OnlyAllowedFilesAreLookedAtAndTheIconTellsNothingElse)
{
    const TIconCase& c = GetParam();
    IconFolders folders;
    TPicturePolicy policy;
    policy.ReadAnyLocalFile = false;
    const QString allow = QString::fromUtf8(c.Allow).replace(QStringLiteral("%1"), folders.Real);
    if (!allow.isEmpty())
        policy.AllowFolder(allow);
    const QString path = QString::fromUtf8(c.Path).replace(QStringLiteral("%1"), folders.Real);
    for (const char* scheme : {"SSYS:", "LSYS:"}) {
        QStringList looked;
        const QImage drawn =
            Draw(QStringLiteral("<IMG SRC=\"%1%2\">").arg(QLatin1String(scheme), path), policy, &looked);
        const QImage expected =
            Draw(QStringLiteral("<IMG SRC=\"%1%2\">").arg(QLatin1String(scheme)).arg(c.Index), policy);
        EXPECT_EQ(drawn, expected) << c.Name << " " << scheme;
        EXPECT_EQ(!looked.isEmpty(), c.LooksInside) << c.Name << " " << looked.join(u' ').toStdString();
        const QString inside = policy.AllowedFolders.value(0, QStringLiteral("//")) + u'/';
        for (const QString& seen : looked)
            EXPECT_TRUE(seen.startsWith(inside)) << c.Name << ": looked at " << seen.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShellIconPolicy,
    ::testing::Values(
        TIconCase{"nothing_allowed_a_picture_is_its_name", "%1/allowed/photo", "", 0, false},
        TIconCase{"nothing_allowed_a_folder_is_its_name", "%1/allowed/sub", "", 0, false},
        TIconCase{"nothing_allowed_a_fifo_is_its_name", "%1/allowed/pipe.txt", "", 10, false},
        TIconCase{"nothing_allowed_a_missing_file_is_its_name", "%1/allowed/gone.txt", "", 10, false},
        TIconCase{"allowed_picture_by_its_content", "%1/allowed/photo", "%1/allowed", 6, true},
        TIconCase{"allowed_folder", "%1/allowed/sub", "%1/allowed", 3, true},
        TIconCase{"allowed_fifo_is_not_opened", "%1/allowed/pipe.txt", "%1/allowed", 10, true},
        TIconCase{"outside_the_folder_is_its_name", "%1/private/photo", "%1/allowed", 0, false},
        TIconCase{"outside_folder_is_its_name", "%1/private/sub", "%1/allowed", 0, false},
        TIconCase{"dot_dot_is_not_followed", "%1/allowed/../private/photo", "%1/allowed", 0, false},
        TIconCase{"a_link_out_is_its_name", "%1/allowed/out/photo", "%1/allowed", 0, true},
        TIconCase{"a_kernel_file_is_not_read", "/proc/self/status", "/proc", 0, true}),
    [](const ::testing::TestParamInfo<TIconCase>& Info) { return std::string(Info.param.Name); });

TEST(ShellIconPolicy, TheWindowStillLooksAtAnyFileButNeverOpensAFifo)
{
    IconFolders folders;
    const struct {
        const char* Name;
        QString Path;
        int Index;
    } cases[] = {
        {"a picture by its content", folders.Path(QStringLiteral("private/photo")), 6},
        {"a folder", folders.Path(QStringLiteral("private/sub")), 3},
        {"a FIFO by its name", folders.Path(QStringLiteral("allowed/pipe.txt")), 10},
    };
    for (const auto& c : cases) {
        const QImage drawn = Draw(QStringLiteral("<IMG SRC=\"SSYS:%1\">").arg(c.Path), TPicturePolicy{});
        const QImage expected = Draw(QStringLiteral("<IMG SRC=\"SSYS:%1\">").arg(c.Index), TPicturePolicy{});
        EXPECT_EQ(drawn, expected) << c.Name;
    }
}

} // namespace
