#include "toolkit/widgets/font_dialog.h"

#include "toolkit/graphics/font.h"
#include "toolkit/widgets/font_from_qfont.h"
#include "toolkit/widgets/user_interaction.h"

TFontDialog::TFontDialog(QObject* Parent) : QObject(Parent), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(TFont* Value)
{
    if (Value)
        FFont->CopyFrom(Value);
}

bool TFontDialog::Execute()
{
    const std::optional<QFont> chosen = UserInteraction().ChooseFont(FFont->ToQFont());
    if (!chosen)
        return false;
    AssignQFont(*FFont, *chosen);
    return true;
}
