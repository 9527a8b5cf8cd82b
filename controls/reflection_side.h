#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QObject>

// The side a control's reflection lies on, published through the
// meta-object system so that a layout names it by the command line's word
// ("ReflectionDirection = above") and Qt Designer offers the four. The same
// values as TReflectionDirection, in the same order.
namespace TReflectionTypes
{
Q_NAMESPACE

enum class TReflectionSide { below, above, left, right };
Q_ENUM_NS(TReflectionSide)
} // namespace TReflectionTypes

using TReflectionTypes::TReflectionSide;

static_assert(int(TReflectionSide::below) == int(TReflectionDirection::Below) &&
              int(TReflectionSide::above) == int(TReflectionDirection::Above) &&
              int(TReflectionSide::left) == int(TReflectionDirection::Left) &&
              int(TReflectionSide::right) == int(TReflectionDirection::Right));
