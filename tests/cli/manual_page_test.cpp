// The manual page and the bash completion keep up with the program: every
// option and format that "--help" lists must appear in them.
#include "cli_run.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace
{
const QString SourceRoot = QStringLiteral(LUMIVEX_TEST_DATA "/../..");

struct THelpCase {
    const char* Name;
    QStringList HelpArguments;
    const char* Document;          // relative to the project
    const char* Program = nullptr; // relative to the build; lumivex-cli when none
};

// The help text the program prints, or empty (with a failure) when it could
// not be had.
QString HelpOf(const THelpCase& Case)
{
    if (!Case.Program) {
        const TCliRun run = RunCli(Case.HelpArguments);
        EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
        return QString::fromUtf8(run.Stdout);
    }
    QProcess program;
    program.start(QStringLiteral(LUMIVEX_BINARY_DIR "/") + QLatin1String(Case.Program), Case.HelpArguments);
    EXPECT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    return QString::fromUtf8(program.readAllStandardOutput());
}

std::ostream& operator<<(std::ostream& Stream, const THelpCase& Case)
{
    return Stream << Case.Name;
}

// The document as a reader sees its words: the manual's escaped dashes
// ("\-\-output") read as plain ones.
QString DocumentText(const QString& RelativePath)
{
    QFile file(SourceRoot + QLatin1Char('/') + RelativePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

// The options of a help text, sorted: the dashed words of the lines that
// describe an option (a dash within the first columns; a wrapped description
// is indented further).
QStringList OptionsOf(const QString& Help)
{
    QSet<QString> options;
    static const QRegularExpression line(QStringLiteral("^ {1,6}-.*$"), QRegularExpression::MultilineOption);
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-zA-Z][a-zA-Z-]*"));
    for (const QRegularExpressionMatch& l : line.globalMatch(Help)) {
        // Only the option column: the description may quote other text.
        const QString column = l.captured().trimmed().section(QStringLiteral("  "), 0, 0);
        for (const QRegularExpressionMatch& o : option.globalMatch(column))
            options.insert(o.captured());
    }
    QStringList sorted(options.begin(), options.end());
    sorted.sort();
    return sorted;
}

// The format names listed after "--format FORMAT" in the help, up to the
// semicolon, wrapped or not: "png, jpg, gif or tiff".
QStringList FormatsOf(const QString& Help)
{
    static const QRegularExpression list(QStringLiteral("--format FORMAT\\s+([^;]+);"));
    static const QRegularExpression separator(QStringLiteral(",\\s*|\\s+or\\s+"));
    return list.match(Help).captured(1).simplified().split(separator, Qt::SkipEmptyParts);
}

bool Mentions(const QString& Text, const QString& Word)
{
    return Text.contains(
        QRegularExpression(QStringLiteral("(?<![\\w-])%1(?![\\w-])").arg(QRegularExpression::escape(Word))));
}

class ManualPage : public testing::TestWithParam<THelpCase>
{
};
} // namespace

TEST_P(ManualPage, NamesEveryOptionAndFormatOfTheHelp)
{
    const THelpCase& c = GetParam();
    const QString help = HelpOf(c);
    const QStringList options = OptionsOf(help);
    ASSERT_GE(options.size(), 3) << "help text not understood:\n" << help.toStdString();
    const QStringList formats = FormatsOf(help);
    if (help.contains(QStringLiteral("--format"))) {
        ASSERT_GE(formats.size(), 4) << "no format list in the help";
    }

    const QString document = DocumentText(QString::fromLatin1(c.Document));
    ASSERT_FALSE(document.isEmpty()) << c.Document;
    for (const QString& option : options)
        EXPECT_TRUE(Mentions(document, option)) << c.Document << " lacks " << option.toStdString();
    for (const QString& format : formats)
        EXPECT_TRUE(Mentions(document, format)) << c.Document << " lacks the format " << format.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Help, ManualPage,
    testing::Values(THelpCase{"ImageManual", {"--help"}, "docs/man/lumivex-cli.1.in"},
                    THelpCase{"TextManual", {"text", "--help"}, "docs/man/lumivex-cli.1.in"},
                    THelpCase{"ImageCompletion", {"--help"}, "packaging/bash-completion/lumivex-cli"},
                    THelpCase{"TextCompletion", {"text", "--help"}, "packaging/bash-completion/lumivex-cli"},
                    THelpCase{"WindowManual", {"--help"}, "docs/man/lumivex.1.in", "app/lumivex"}),
    [](const testing::TestParamInfo<THelpCase>& Info) { return std::string(Info.param.Name); });

// The test above would pass on a help text it cannot read; these pin what it
// reads from one.
TEST(ManualPageHelpReading, FindsTheOptionsAndFormatsOfAHelpText)
{
    const QString help = QStringLiteral("Usage: x [options]\n"
                                        "  -o, --output FILE      output; see -q in the text\n"
                                        "                         --not-an-option here\n"
                                        "      --size N           size\n"
                                        "  -f, --format FORMAT    png, jpg or webp; otherwise\n"
                                        "                         - means standard output\n");
    EXPECT_EQ(OptionsOf(help).join(' '), QStringLiteral("--format --output --size -f -o"));
    EXPECT_EQ(FormatsOf(help), (QStringList{"png", "jpg", "webp"}));
    EXPECT_TRUE(Mentions(QStringLiteral("use --output-dir or -o"), QStringLiteral("-o")));
    EXPECT_FALSE(Mentions(QStringLiteral("use --output-dir"), QStringLiteral("--output")));
}
