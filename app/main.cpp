// Program entry: the imaging layer is started before any window exists and
// stopped only after the main window and everything it owns are gone.

#include "app/lumivex_application.h"
#include "app/main_form.h"
#include "controls/register_controls.h"
#include "imaging/imaging_library.h"
#include "toolkit/graphics/font.h"
#include "toolkit/widgets/register_widgets.h"

#include <QCoreApplication>
#include <QIcon>
#include <QStringList>
#include <cstdio>
#include <exception>
#include <memory>

namespace
{
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
    const TImagingStartup imaging = TImagingLibrary::Start();
    int exitCode = 0;
    {
        TLumivexApplication application(argc, argv);
        application.setApplicationName(QStringLiteral("lumivex"));
        // No display name: the window system would append it to the title,
        // which already reads as the layout says.
        application.setDesktopFileName(QStringLiteral("lumivex"));
        application.setWindowIcon(ProgramIcon());
        if (!imaging.MissingReaders.isEmpty() || !imaging.MissingWriters.isEmpty())
            std::fprintf(stderr, "lumivex: image formats not available: read %s, write %s\n",
                         qPrintable(imaging.MissingReaders.join(QLatin1Char(' '))),
                         qPrintable(imaging.MissingWriters.join(QLatin1Char(' '))));
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
            const QStringList arguments = QCoreApplication::arguments();
            if (arguments.size() > 1)
                form->OpenFile(arguments.at(1));
            exitCode = application.exec();
        }
        // The window and its components go first, then the application.
        form.reset();
    }
    TImagingLibrary::Stop(imaging.Token);
    return exitCode;
}
