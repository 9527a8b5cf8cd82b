#include "controls/register_controls.h"

#include "controls/orb_reflection_image.h"
#include "toolkit/class_registry.h"

void RegisterControls()
{
    RegisterLayoutClass<TOrbReflectionImage>();
}
