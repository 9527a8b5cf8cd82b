#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/reflection/reflection_ranges.h"

#include <optional>

// The reflection values of one control, taken by the rows of
// reflection_ranges.h: what a setter accepts, what an accepted change asks
// of the control (rebuild, move, resize) and whether a layout stores the
// value. Both reflection controls hold one, so a new value is a row in that
// table and nothing here.
class TReflectionValues
{
  public:
    using TValue = int TReflectionParameters::*;

    // Defaults are the control's own; SizesBelowRange is how it takes a size
    // below the table's lowest (the one rule the two controls do not share).
    TReflectionValues(const TReflectionParameters& Defaults, TOutsideRange SizesBelowRange);

    const TReflectionParameters& Parameters() const { return FParameters; }
    int Get(TValue Which) const { return FParameters.*Which; }
    // A layout stores only the values that differ from the control's defaults.
    bool IsStored(TValue Which) const { return FParameters.*Which != FDefaults.*Which; }

    // The side (ReflectionDirectionValue's row): stored when not the
    // default; a value that names no side is refused.
    TReflectionDirection Direction() const { return FParameters.Direction; }
    bool IsDirectionStored() const { return FParameters.Direction != FDefaults.Direction; }
    TReflectionChange SetDirection(TReflectionDirection Value);

    // What Value becomes under the control's rules; none when it is refused.
    std::optional<int> Accepted(TValue Which, int Value) const;
    // Takes Value and says what the control has to do about it: nothing when
    // it is refused or the value is unchanged.
    TReflectionChange Set(TValue Which, int Value);

  private:
    TReflectionParameters FDefaults;
    TReflectionParameters FParameters;
    TOutsideRange FSizesBelowRange;
};
