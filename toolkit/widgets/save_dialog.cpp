#include "toolkit/widgets/save_dialog.h"

#include "toolkit/widgets/user_interaction.h"

TSaveDialog::TSaveDialog(QObject* Parent) : TOpenDialog(Parent) {}

bool TSaveDialog::Execute()
{
    int filterIndex = FilterIndex();
    const std::optional<QString> chosen = UserInteraction().SaveFileNameAndFilter(
        Title(), Filter(), FileName(), DefaultExt(), Options().testFlag(ofOverwritePrompt), filterIndex);
    SetFilterIndex(filterIndex);
    if (!chosen)
        return false;
    SetFileName(*chosen);
    return true;
}
