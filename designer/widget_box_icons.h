#pragma once

#include <QIcon>

// The widget box icons, drawn rather than shipped: a small framed picture and
// a letter, each over its fading mirror image, at Designer's icon sizes.
QIcon ReflectionImageIcon();
QIcon ReflectionLabelIcon();
