// lumivex-cli text with markup from strangers: pictures only from allowed
// folders, each refusal told once, the output and pictures bounded by
// --max-pixels; image mode refusing a picture from its declared size.
#include "cli_run.h"
#include "tests/support/gp_test_images.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace
{

// allowed/green.png (a 20 x 20 green square), private/red.png beside it.
class MarkupFolders
{
  public:
    MarkupFolders()
    {
        QDir(Root.path()).mkpath(QStringLiteral("allowed"));
        QDir(Root.path()).mkpath(QStringLiteral("private"));
        QImage green(20, 20, QImage::Format_RGB32);
        green.fill(Qt::green);
        green.save(Path(QStringLiteral("allowed/green.png")));
        QImage red(20, 20, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(Path(QStringLiteral("private/red.png")));
    }
    QString Path(const QString& Name) const { return Root.filePath(Name); }
    QTemporaryDir Root;
};

bool Shows(const QImage& Image, QRgb Colour)
{
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if ((Image.pixel(x, y) & 0xFFFFFFu) == (Colour & 0xFFFFFFu))
                return true;
    return false;
}

struct TPictureCase {
    const char* Name;
    const char* Markup; // %1 is the temporary root
    bool AllowFolder;
    bool ShowsGreen;
    bool ShowsRed;
    const char* Stderr; // what the one line on standard error says; empty: nothing said
};

class CliUntrustedPictures : public ::testing::TestWithParam<TPictureCase>
{
};

TEST_P(CliUntrustedPictures, PicturesAreReadOnlyFromAllowedFoldersAndEachRefusalIsSaidOnce)
{
    const TPictureCase& c = GetParam();
    MarkupFolders folders;
    const QString markup = QString::fromUtf8(c.Markup).replace(QStringLiteral("%1"), folders.Root.path());
    QStringList arguments{QStringLiteral("text"), QStringLiteral("-o"),
                          folders.Path(QStringLiteral("out.png"))};
    if (c.AllowFolder)
        arguments << QStringLiteral("--allow-files") << folders.Path(QStringLiteral("allowed"));
    const TCliRun run = RunCli(arguments << markup);
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    const QImage out(folders.Path(QStringLiteral("out.png")));
    EXPECT_EQ(Shows(out, qRgb(0, 255, 0)), c.ShowsGreen);
    EXPECT_EQ(Shows(out, qRgb(255, 0, 0)), c.ShowsRed);
    const QStringList lines = run.Stderr.split(u'\n', Qt::SkipEmptyParts);
    const QString expected = QString::fromUtf8(c.Stderr).replace(QStringLiteral("%1"), folders.Root.path());
    EXPECT_EQ(lines, expected.isEmpty() ? QStringList() : QStringList{expected});
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliUntrustedPictures,
    ::testing::Values(
        TPictureCase{"allowed_picture_drawn", "x<img src=\"file://%1/allowed/green.png\">", true, true, false,
                     ""},
        TPictureCase{"body_background_keeps_the_path_case",
                     "x<body background=\"file://%1/allowed/green.png\">", true, true, false, ""},
        TPictureCase{
            "nothing_allowed_nothing_read", "x<img src=\"file://%1/allowed/green.png\">", false, false, false,
            "lumivex-cli: text: picture \"file://%1/allowed/green.png\" not drawn: local files are not "
            "read (allow its folder with --allow-files DIR)"},
        TPictureCase{
            "dot_dot_escape_said_once_for_three_spellings",
            "x<img src=\"file://%1/allowed/../private/red.png\"><img "
            "src=\"file:////%1/private/red.png\"><img src=\"FILE://%1/allowed/../private/red.png\">",
            true, false, false,
            "lumivex-cli: text: picture \"file://%1/allowed/../private/red.png\" not drawn: outside the "
            "allowed folders (allow its folder with --allow-files DIR)"},
        TPictureCase{
            "program_resource_without_a_folder", "x<img src=\"res://LOGO\">", false, false, false,
            "lumivex-cli: text: picture \"res://LOGO\" not drawn: program resources are not read (allow "
            "its folder with --allow-files DIR)"}),
    [](const ::testing::TestParamInfo<TPictureCase>& Info) { return std::string(Info.param.Name); });

TEST(CliUntrustedMarkup, LimitsAreRefusedWithTheOptionThatRaisesThem)
{
    MarkupFolders folders;
    QFile huge(folders.Path(QStringLiteral("allowed/huge.png")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(gp_test::PngDeclaring(15000, 15000));
    huge.close();
    // A JPEG whose frame header follows 70 KB of comments, past the first
    // 64 KiB that the format is told from.
    {
        QImage photo(200, 150, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(photo.save(&buffer, "JPEG"));
        const int app0End = 4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
        QByteArray comments;
        for (int i = 0; i < 2; ++i)
            comments += QByteArray("\xFF\xFE\x88\xB8", 4) + QByteArray(35000 - 2, 'c');
        jpeg.insert(app0End, comments);
        QFile late(folders.Path(QStringLiteral("allowed/late.jpg")));
        ASSERT_TRUE(late.open(QIODevice::WriteOnly));
        late.write(jpeg);
    }
    const QString out = folders.Path(QStringLiteral("out.png"));
    const struct {
        const char* Name;
        QStringList Arguments;
        int ExitCode;
        const char* Mentions;
    } cases[] = {
        {"image whose frame follows 70 KB of comments, over a lowered limit",
         {"image", "--max-pixels", "1000", "-o", out, folders.Path("allowed/late.jpg")},
         1,
         "declares 200 × 150 pixels, over the limit of 1000"},
        {"output over the limit",
         {"text", "-o", out, "--max-pixels", "1000", "a line of text"},
         1,
         "over the limit of 1000 (give --width and --height, or raise it with --max-pixels N)"},
        {"picture declaring over the limit",
         {"text", "-o", out, "--allow-files", folders.Path("allowed"),
          "x<img src=\"file://" + folders.Path("allowed/huge.png") + "\" width=\"10\" height=\"10\">"},
         0,
         "15000 × 15000 is over the limit of 16000000 pixels (raise the limit with --max-pixels N)"},
        {"WebP over its side limit, refused before drawing",
         {"text", "-o", folders.Path("out.webp"), "--max-pixels", "250000000", "--width", "32767", "--height",
          "7629", "a line of text"},
         1,
         "the text would be 32767 × 7629 pixels; WEBP holds at most 16383 a side"},
        // Lossless WebP's and AVIF's encoders need several times the memory
        // of the others: their default output is smaller, unless typed.
        {"lossless WebP over its own default",
         {"text", "-o", folders.Path("out.webp"), "--width", "3000", "--height", "3000", "a line of text"},
         1,
         " for lossless WEBP (give --width and --height, or raise it with --max-pixels N)"},
        {"lossy AVIF over its own default",
         {"text", "-o", folders.Path("out.avif"), "--quality", "80", "--width", "3000", "--height", "3000",
          "a line of text"},
         1,
         " for AVIF (give --width and --height, or raise it with --max-pixels N)"},
        {"lossless WebP with the limit typed",
         {"text", "-o", folders.Path("out.webp"), "--max-pixels", "9000000", "--width", "3000", "--height",
          "3000", "a line of text"},
         0,
         ""},
        {"PNG of the same size",
         {"text", "-o", out, "--width", "3000", "--height", "3000", "a line of text"},
         0,
         ""},
        {"argument over 64 KB in UTF-8 bytes",
         {"text", "-o", out, QString(30000, QChar(0x20AC))},
         1,
         "more than 65536 bytes"},
        {"image declaring over the limit",
         {"image", "-o", out, folders.Path("allowed/huge.png")},
         1,
         "declares 15000 × 15000 pixels, over the limit of 128000000 (raise it with --max-pixels N)"},
        {"image over a lowered limit",
         {"image", "--max-pixels", "100", "-o", out, folders.Path("allowed/green.png")},
         1,
         "declares 20 × 20 pixels, over the limit of 100"},
    };
    for (const auto& c : cases) {
        const TCliRun run = RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Name << ": " << run.Stderr.toStdString();
        EXPECT_TRUE(run.Stderr.contains(QString::fromUtf8(c.Mentions)))
            << c.Name << ": " << run.Stderr.toStdString();
    }
}

} // namespace

namespace
{

TEST(CliUntrustedMarkup, ShellIconNamesTellNothingOfFilesOutsideTheAllowedFolders)
{
    MarkupFolders folders;
    QFile::copy(folders.Path(QStringLiteral("private/red.png")), folders.Path(QStringLiteral("private/red")));
    // Each existing thing beside a missing name of the same kind by name: the
    // drawings must not differ.
    const struct {
        const char* Name;
        const char* Existing;
        const char* Missing;
    } pairs[] = {
        {"a picture without an extension", "SSYS:%1/private/red", "SSYS:%1/private/gone"},
        {"a folder", "LSYS:%1/private", "LSYS:%1/nothing"},
    };
    const QString out = folders.Path(QStringLiteral("out.png"));
    for (const auto& pair : pairs) {
        for (const bool allow : {false, true}) {
            QByteArray drawn[2];
            for (int i = 0; i < 2; ++i) {
                const QString name =
                    QString::fromUtf8(i == 0 ? pair.Existing : pair.Missing).arg(folders.Root.path());
                QStringList arguments{QStringLiteral("text"), QStringLiteral("-o"), out};
                if (allow)
                    arguments << QStringLiteral("--allow-files") << folders.Path(QStringLiteral("allowed"));
                const TCliRun run = RunCli(arguments << QStringLiteral("A<img src=\"%1\">").arg(name));
                EXPECT_EQ(run.ExitCode, 0) << pair.Name << ": " << run.Stderr.toStdString();
                drawn[i] = ReadAll(out);
            }
            EXPECT_FALSE(drawn[0].isEmpty()) << pair.Name;
            EXPECT_EQ(drawn[0], drawn[1]) << pair.Name << (allow ? " with another folder allowed" : "");
        }
    }
}

} // namespace
