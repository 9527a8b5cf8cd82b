#include "controls/register_controls.h"

#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "toolkit/widgets/widget_class_registry.h"

void RegisterControls()
{
    RegisterWidgetClass<TOrbReflectionImage>();
    RegisterWidgetClass<TOrbReflectionLabel>();
}
