// Program entry: the imaging layer is started before any window exists and
// stopped only after the main window and everything it owns are gone.

#include "app/first_paint_report.h"
#include "app/lumivex_application.h"
#include "app/main_form.h"
#include "app/preview_prefetch.h"
#include "controls/register_controls.h"
#include "imaging/imaging_library.h"
#include "toolkit/graphics/font.h"
#include "toolkit/product_version.h"
#include "toolkit/widgets/register_widgets.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

namespace
{
const char* const Usage = "Usage: lumivex [QT-OPTION ...] [FILE]\n"
                          "Makes reflection images: a picture or a line of formatted text standing on a\n"
                          "mirrored, fading copy of itself. Opens FILE at start when it is given.\n"
                          "\n"
                          "  -h, --help     show this help and exit\n"
                          "      --version  show the version and exit\n"
                          "Qt's own options are taken as in every Qt program: -style NAME,\n"
                          "-platform NAME, -reverse, -stylesheet FILE, -qwindowgeometry GEOMETRY, ...\n"
                          "\n"
                          "For batches without a window, see lumivex-cli --help.\n";

// The options every Qt program takes (QGuiApplication's, QApplication's and
// the X11 platform's), which the application object removes from the
// arguments; those listed first take a value ("-style fusion"; the style
// and style sheet also as "-style=fusion").
const char* const QtOptionsWithValue[] = {"platform",
                                          "platformpluginpath",
                                          "platformtheme",
                                          "plugin",
                                          "qwindowgeometry",
                                          "qwindowicon",
                                          "qwindowtitle",
                                          "style",
                                          "stylesheet",
                                          "session",
                                          "display",
                                          "geometry",
                                          "title",
                                          "name",
                                          "visual",
                                          "ncols",
                                          "cmap",
                                          "qmljsdebugger",
                                          "qwindowsscreen",
                                          "fontengine"};
const char* const QtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

// How many arguments from Index on are one of Qt's options: 0 for none.
int QtOptionLength(int argc, char** argv, int Index)
{
    QByteArray name(argv[Index]);
    if (!name.startsWith('-') || name == "-" || name == "--")
        return 0;
    name = name.mid(name.startsWith("--") ? 2 : 1);
    const qsizetype equals = name.indexOf('=');
    for (const char* option : QtOptionsWithValue) {
        if (equals >= 0 && name.left(equals) == option && name.startsWith("style"))
            return 1;
        if (name == option)
            return Index + 1 < argc ? 2 : 1;
    }
    for (const char* flag : QtFlags)
        if (name == flag)
            return 1;
    return 0;
}

// What the command line asks before any window exists: the help and the
// version are printed and the program ends, as every program does; anything
// else that looks like an option, and is not one of Qt's, is refused rather
// than opened as a file. -1 lets the window start.
// The index of the first argument that is not one of Qt's options; argc when
// there is none.
int FirstOwnArgument(int argc, char** argv)
{
    int index = 1;
    while (index < argc) {
        const int length = QtOptionLength(argc, argv, index);
        if (length == 0)
            break;
        index += length;
    }
    return std::min(index, argc);
}

// The file "lumivex FILE" or "lumivex -- FILE" opens at start; empty for none.
QString FileToOpen(int argc, char** argv)
{
    int index = FirstOwnArgument(argc, argv);
    if (index < argc && QByteArray(argv[index]) == "--")
        ++index;
    return index < argc ? QString::fromLocal8Bit(argv[index]) : QString();
}

int AnswerCommandLine(int argc, char** argv)
{
    const int index = FirstOwnArgument(argc, argv);
    if (index >= argc)
        return -1;
    const QByteArray first(argv[index]);
    if (first == "--help" || first == "-h") {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("lumivex %s\n", qPrintable(PackedVersionText(ProductVersionNumber())));
        return 0;
    }
    if (first.startsWith('-') && first != "-" && first != "--") {
        std::fprintf(stderr, "lumivex: unknown option %s\n%s", first.constData(), Usage);
        return 2;
    }
    return -1;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addFile(QStringLiteral(":/icons/lumivex-%1.png").arg(size), QSize(size, size));
    return icon;
}
} // namespace

int main(int argc, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
    if (const int answered = AnswerCommandLine(argc, argv); answered >= 0)
        return answered;
    const TImagingStartup imaging = TImagingLibrary::Start();
    // The window takes it only for the page it really opens with.
    if (const QString file = FileToOpen(argc, argv); !file.isEmpty())
        PreviewPrefetch::Start(file, PreviewPrefetch::OpeningPage);
    int exitCode = 0;
    {
        TLumivexApplication application(argc, argv);
        application.setApplicationName(QStringLiteral("lumivex"));
        // No display name: the window system would append it to the title,
        // which already reads as the layout says.
        application.setDesktopFileName(QStringLiteral("lumivex"));
        application.setWindowIcon(ProgramIcon());
        if (!imaging.MissingReaders.isEmpty())
            std::fprintf(stderr, "lumivex: image formats that cannot be read: %s\n",
                         qPrintable(imaging.MissingReaders.join(QLatin1Char(' '))));
        RegisterTahomaFont();
        RegisterToolkitWidgets();
        RegisterControls();

        std::unique_ptr<TForm2> form;
        try {
            form = std::make_unique<TForm2>();
        } catch (const std::exception& error) {
            TLumivexApplication::ShowError(QString::fromLocal8Bit(error.what()));
            exitCode = 1;
        }
        if (form) {
            form->show();
            // "lumivex FILE" (and the desktop entry's %f) opens FILE at start.
            // "lumivex -- -name.png" opens a file whose name starts with a dash.
            QStringList arguments = QCoreApplication::arguments();
            if (arguments.size() > 2 && arguments.at(1) == QLatin1String("--"))
                arguments.removeAt(1);
            // A large photo shows at once from a reduced decoding; the whole
            // picture follows from a thread of its own.
            if (arguments.size() > 1 && arguments.at(1) != QLatin1String("--")) {
                if (TFirstPaintReport::Wanted())
                    new TFirstPaintReport(form.get(), start);
                form->OpenFileInBackground(arguments.at(1));
            }
            exitCode = application.exec();
        }
        // The window and its components go first, then the application.
        form.reset();
        PreviewPrefetch::Drop();
    }
    TImagingLibrary::Stop(imaging.Token);
    return exitCode;
}
