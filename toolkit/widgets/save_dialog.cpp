#include "toolkit/widgets/save_dialog.h"

#include "toolkit/widgets/user_interaction.h"

TSaveDialog::TSaveDialog(QObject* Parent) : TOpenDialog(Parent) {}

bool TSaveDialog::Execute()
{
    const std::optional<QString> chosen = UserInteraction().SaveFileName(
        Title(), Filter(), FileName(), DefaultExt(), Options().testFlag(ofOverwritePrompt));
    if (!chosen)
        return false;
    SetFileName(*chosen);
    return true;
}
