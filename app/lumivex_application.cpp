#include "app/lumivex_application.h"

#include "toolkit/widgets/user_interaction.h"

TLumivexApplication::TLumivexApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

bool TLumivexApplication::notify(QObject* Receiver, QEvent* Event)
{
    return DeliverShowingErrors([&] { return QApplication::notify(Receiver, Event); });
}

void TLumivexApplication::ShowError(const QString& Message)
{
    // A failure while the message itself is shown must not end the program.
    try {
        UserInteraction().ShowMessage(QStringLiteral("Lumivex"), Message);
    } catch (...) {
    }
}
