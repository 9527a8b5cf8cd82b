#include "toolkit/widgets/open_dialog.h"

#include "toolkit/widgets/user_interaction.h"

TOpenDialog::TOpenDialog(QObject* Parent) : QObject(Parent) {}

bool TOpenDialog::Execute()
{
    int filterIndex = FFilterIndex;
    const std::optional<QString> chosen =
        UserInteraction().OpenFileNameAndFilter(FTitle, FFilter, FFileName, filterIndex);
    FFilterIndex = filterIndex;
    if (!chosen)
        return false;
    FFileName = *chosen;
    return true;
}
