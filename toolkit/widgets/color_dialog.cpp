#include "toolkit/widgets/color_dialog.h"

#include "toolkit/widgets/user_interaction.h"

TColorDialog::TColorDialog(QObject* Parent) : QObject(Parent) {}

bool TColorDialog::Execute()
{
    const std::optional<QColor> chosen = UserInteraction().ChooseColor(ColorToQColor(FColor));
    if (!chosen || !chosen->isValid())
        return false;
    FColor = RGBToColor(chosen->red(), chosen->green(), chosen->blue());
    return true;
}
