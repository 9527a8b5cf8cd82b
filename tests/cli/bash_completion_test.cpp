// The bash completion of lumivex-cli, run by bash itself on a typed command
// line in a folder with a picture and a sub-folder.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
struct TCompletionCase {
    const char* Name;
    QStringList Words; // the command line, the last word being completed
    QStringList Expected;
};

std::ostream& operator<<(std::ostream& Stream, const TCompletionCase& Case)
{
    return Stream << Case.Name;
}

// What the completion offers for Words, sorted, one per line.
QStringList Completions(const QStringList& Words, const QString& Folder)
{
    QStringList quoted;
    for (const QString& word : Words)
        quoted << QLatin1Char('\'') + word + QLatin1Char('\'');
    const QString script =
        QStringLiteral("source '%1'\n"
                       "COMP_WORDS=(%2)\n"
                       "COMP_CWORD=%3\n"
                       "_lumivex_cli\n"
                       "printf '%s\\n' \"${COMPREPLY[@]}\" | sort\n")
            .arg(QStringLiteral(LUMIVEX_TEST_DATA "/../../packaging/bash-completion/lumivex-cli"),
                 quoted.join(QLatin1Char(' ')))
            .arg(Words.size() - 1);
    QProcess bash;
    bash.setWorkingDirectory(Folder);
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
    if (!bash.waitForFinished(10000) || bash.exitCode() != 0)
        ADD_FAILURE() << bash.readAllStandardError().toStdString();
    return QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class BashCompletion : public testing::TestWithParam<TCompletionCase>
{
};
} // namespace

TEST_P(BashCompletion, OffersWhatFitsTheTypedWord)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("shots")));
    QFile picture(folder.filePath(QStringLiteral("sunset.png")));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();

    EXPECT_EQ(Completions(GetParam().Words, folder.path()), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Words, BashCompletion,
    testing::Values(
        TCompletionCase{"SubCommand", {"lumivex-cli", "te"}, {"text"}},
        TCompletionCase{"ProgramOptions", {"lumivex-cli", "--"}, {"--help", "--version"}},
        TCompletionCase{"ImageOption", {"lumivex-cli", "image", "--out"}, {"--output", "--output-dir"}},
        TCompletionCase{"TextOnlyOption", {"lumivex-cli", "text", "--fo"}, {"--font", "--format"}},
        TCompletionCase{"ImageHasNoTextOptions", {"lumivex-cli", "image", "--fo"}, {"--format"}},
        TCompletionCase{"Formats",
                        {"lumivex-cli", "image", "-f", ""},
                        {"avif", "bmp", "gif", "jpg", "png", "tiff", "webp"}},
        TCompletionCase{"FormatByPrefix", {"lumivex-cli", "text", "--format", "t"}, {"tiff"}},
        TCompletionCase{"InputFiles", {"lumivex-cli", "image", "-j", "2", "s"}, {"shots", "sunset.png"}},
        TCompletionCase{"OutputFolderOnlyFolders", {"lumivex-cli", "image", "-d", "s"}, {"shots"}},
        TCompletionCase{"AllowedFolderOnlyFolders", {"lumivex-cli", "text", "--allow-files", "s"}, {"shots"}},
        TCompletionCase{
            "Sides", {"lumivex-cli", "text", "--direction", ""}, {"above", "below", "left", "right"}},
        TCompletionCase{"NumberGetsNothing", {"lumivex-cli", "image", "--size", ""}, {}},
        TCompletionCase{"MarkupIsNotAFile", {"lumivex-cli", "text", "s"}, {}}),
    [](const testing::TestParamInfo<TCompletionCase>& Info) { return std::string(Info.param.Name); });
