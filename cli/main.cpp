#include "cli/image_command.h"
#include "cli/image_options.h"
#include "cli/message_routing.h"
#include "cli/text_command.h"
#include "cli/text_options.h"
#include "imaging/imaging_library.h"
#include "imaging/saving/temporary_files.h"
#include "toolkit/file_names.h"

#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

namespace
{
int RunTextMode(const QStringList& Arguments)
{
    const TTextParseResult parsed = ParseTextArguments(Arguments);
    if (!parsed.Error.isEmpty()) {
        std::fprintf(stderr, "lumivex-cli: %s\nTry \"lumivex-cli text --help\".\n", qPrintable(parsed.Error));
        return 2;
    }
    if (parsed.Help) {
        std::fputs(qPrintable(TextUsageText()), stdout);
        return 0;
    }
    WatchTerminationSignals();
    const TImagingStartup imaging = TImagingLibrary::Start();
    const int status = RunTextCommand(parsed.Options);
    TImagingLibrary::Stop(imaging.Token);
    return status;
}
} // namespace

int main(int argc, char** argv)
{
    // The command line never opens a window, so it must not need a display.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    // Qt's diagnostics go through the command's reporter (see
    // message_routing.h), never as bare lines between the workers' lines.
    qInstallMessageHandler(CliMessageHandler);
    QGuiApplication application(argc, argv);

    // File names are taken as the bytes given, whatever their encoding.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << FileNameFromBytes(QByteArray(argv[i]));
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("text"))
        return RunTextMode(arguments.mid(1));
    const TCliParseResult parsed = ParseCliArguments(arguments);
    if (!parsed.Error.isEmpty()) {
        std::fprintf(stderr, "lumivex-cli: %s\nTry \"lumivex-cli --help\".\n", qPrintable(parsed.Error));
        return 2;
    }
    if (parsed.Action == TCliAction::Help) {
        std::fputs(qPrintable(CliUsageText()), stdout);
        return 0;
    }
    if (parsed.Action == TCliAction::Version) {
        std::fprintf(stdout, "lumivex-cli %s\n", qPrintable(CliVersionText()));
        return 0;
    }

    WatchTerminationSignals();
    const TImagingStartup imaging = TImagingLibrary::Start();
    int status = 2;
    if (parsed.Command == QLatin1String("image"))
        status = RunImageCommand(parsed.Image);
    TImagingLibrary::Stop(imaging.Token);
    return status;
}
