#include "pictures/register_pictures.h"

#include "pictures/picture_container.h"
#include "toolkit/layout/class_registry.h"

void RegisterPictureClasses()
{
    RegisterLayoutClass<TPictureContainer>();
}
