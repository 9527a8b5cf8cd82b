#include "toolkit/widgets/open_dialog.h"

#include "toolkit/widgets/user_interaction.h"

TOpenDialog::TOpenDialog(QObject* Parent) : QObject(Parent) {}

bool TOpenDialog::Execute()
{
    const std::optional<QString> chosen = UserInteraction().OpenFileName(FTitle, FFilter, FFileName);
    if (!chosen)
        return false;
    FFileName = *chosen;
    return true;
}
