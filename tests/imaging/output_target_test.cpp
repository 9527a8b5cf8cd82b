// Saving never replaces what is not a regular file: devices and FIFOs are
// written in place, links keep pointing where they did, write errors carry the
// system's reason.
#include "imaging/saving/output_target.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
const QByteArray Payload("encoded picture bytes");

mode_t KindOf(const QString& Path)
{
    struct stat status {
    };
    return ::lstat(QFile::encodeName(Path).constData(), &status) == 0 ? (status.st_mode & S_IFMT) : 0;
}

struct TTargetCase {
    const char* Name;
    // Makes the target in Dir; returns the name to write to.
    std::function<QString(const QDir& Dir)> Prepare;
    const char* ReasonMentions; // empty: the write succeeds
    mode_t KindAfter;           // of the name written to, checked with lstat
    const char* ContentAt;      // a file in Dir that must then hold the payload, or empty
};
} // namespace

TEST(OutputTarget, WritesEachKindOfTargetWithoutReplacingIt)
{
    const TTargetCase cases[] = {
        {"new file", [](const QDir& Dir) { return Dir.filePath("new.png"); }, "", S_IFREG, "new.png"},
        {"existing file",
         [](const QDir& Dir) {
             QFile old(Dir.filePath("old.png"));
             EXPECT_TRUE(old.open(QIODevice::WriteOnly));
             old.write("previous content that is longer than the payload");
             return old.fileName();
         },
         "", S_IFREG, "old.png"},
        {"link to a file",
         [](const QDir& Dir) {
             QFile(Dir.filePath("target.png")).open(QIODevice::WriteOnly);
             QFile::link(Dir.filePath("target.png"), Dir.filePath("link.png"));
             return Dir.filePath("link.png");
         },
         "", S_IFLNK, "target.png"},
        {"dangling link",
         [](const QDir& Dir) {
             QFile::link(Dir.filePath("later.png"), Dir.filePath("dangling.png"));
             return Dir.filePath("dangling.png");
         },
         "", S_IFLNK, "later.png"},
        {"link to the null device",
         [](const QDir& Dir) {
             QFile::link(QStringLiteral("/dev/null"), Dir.filePath("null.png"));
             return Dir.filePath("null.png");
         },
         "", S_IFLNK, ""},
        {"null device", [](const QDir&) { return QStringLiteral("/dev/null"); }, "", S_IFCHR, ""},
        {"full device", [](const QDir&) { return QStringLiteral("/dev/full"); }, "No space left on device",
         S_IFCHR, ""},
        {"folder", [](const QDir& Dir) { return Dir.path(); }, "is a folder", S_IFDIR, ""},
    };
    for (const TTargetCase& c : cases) {
        QTemporaryDir temporary;
        ASSERT_TRUE(temporary.isValid());
        const QDir dir(temporary.path());
        const QString name = c.Prepare(dir);
        QString reason;
        const bool written = WriteOutputFile(name, Payload, &reason);
        const bool shouldWrite = QByteArray(c.ReasonMentions).isEmpty();
        EXPECT_EQ(written, shouldWrite) << c.Name << ": " << reason.toStdString();
        if (!shouldWrite) {
            EXPECT_TRUE(reason.contains(QLatin1String(c.ReasonMentions)))
                << c.Name << ": " << reason.toStdString();
        }
        EXPECT_EQ(KindOf(name), c.KindAfter) << c.Name;
        if (*c.ContentAt) {
            EXPECT_EQ(ReadFileBytes(dir.filePath(c.ContentAt)), Payload) << c.Name;
        }
        EXPECT_EQ(
            dir.entryList(QDir::Files | QDir::Hidden | QDir::System).filter(QStringLiteral(".tmp")).size(), 0)
            << c.Name << ": no temporary file is left behind";
    }
}

TEST(OutputTarget, FifoIsWrittenInPlaceForItsReader)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const QString fifo = QDir(temporary.path()).filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] { return ReadFileBytes(fifo); });
    QString reason;
    EXPECT_TRUE(WriteOutputFile(fifo, Payload, &reason)) << reason.toStdString();
    EXPECT_EQ(reader.get(), Payload);
    EXPECT_EQ(KindOf(fifo), mode_t(S_IFIFO));
}

namespace
{
struct TStreamedCase {
    const char* Name;
    bool Existing; // a file of that name is there before
    bool Commit;   // the writer finishes, or gives up half-way
};

class OutputFileAsWritten : public ::testing::TestWithParam<TStreamedCase>
{
};
} // namespace

// A file written while it is produced shows at its name only once complete;
// one given up half-way leaves the old file, and no temporary, behind.
TEST_P(OutputFileAsWritten, ShowsOnlyWhenComplete)
{
    const TStreamedCase& c = GetParam();
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QString name = dir.filePath(QStringLiteral("out.png"));
    if (c.Existing) {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    {
        TOutputFile file;
        ASSERT_TRUE(file.Open(name));
        ASSERT_TRUE(file.Write(Payload.constData(), 8));
        ASSERT_TRUE(file.Write(Payload.constData() + 8, Payload.size() - 8));
        // Half-way, the name still holds what it held.
        EXPECT_EQ(ReadFileBytes(name), c.Existing ? QByteArray("old") : QByteArray());
        if (c.Commit) {
            ASSERT_TRUE(file.Commit());
        }
    }
    const QByteArray expected = c.Commit ? Payload : c.Existing ? QByteArray("old") : QByteArray();
    EXPECT_EQ(ReadFileBytes(name), expected);
    const QStringList left = dir.entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (c.Commit || c.Existing) ? QStringList{QStringLiteral("out.png")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Cases, OutputFileAsWritten,
                         ::testing::Values(TStreamedCase{"new and finished", false, true},
                                           TStreamedCase{"replacing and finished", true, true},
                                           TStreamedCase{"new and given up", false, false},
                                           TStreamedCase{"replacing and given up", true, false}),
                         CaseName<TStreamedCase>);

// A FIFO's reader sees nothing of a file given up half-way and everything of
// a finished one, in one piece.
TEST(OutputFileAsWritten, FifoGetsTheBytesOnlyAtCommit)
{
    QTemporaryDir folder;
    const QString fifo = QDir(folder.path()).filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        TOutputFile abandoned;
        ASSERT_TRUE(abandoned.Open(fifo)); // opening a FIFO for writing would wait; it is held instead
        ASSERT_TRUE(abandoned.Write(Payload.constData(), Payload.size()));
    }
    auto reader = std::async(std::launch::async, [&] { return ReadFileBytes(fifo); });
    TOutputFile file;
    ASSERT_TRUE(file.Open(fifo));
    ASSERT_TRUE(file.Write(Payload.constData(), Payload.size()));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(reader.get(), Payload);
    EXPECT_EQ(KindOf(fifo), mode_t(S_IFIFO));
}
