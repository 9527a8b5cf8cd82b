#include "toolkit/widgets/font_dialog.h"

#include "toolkit/widgets/user_interaction.h"
#include "toolkit/widgets/widget_font.h"

TFontDialog::TFontDialog(QObject* Parent) : QObject(Parent), FFont(std::make_unique<TWidgetFont>()) {}

TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(TWidgetFont* Value)
{
    if (Value)
        FFont->CopyFrom(Value);
}

bool TFontDialog::Execute()
{
    const std::optional<QFont> chosen = UserInteraction().ChooseFont(WidgetFontToQFont(*FFont));
    if (!chosen)
        return false;
    AssignQFontToWidgetFont(*FFont, *chosen);
    return true;
}
