#include "controls/reflection_values.h"

TReflectionValues::TReflectionValues(const TReflectionParameters& Defaults, TOutsideRange SizesBelowRange)
    : FDefaults(Defaults), FParameters(Defaults), FSizesBelowRange(SizesBelowRange)
{
}

std::optional<int> TReflectionValues::Accepted(TValue Which, int Value) const
{
    const TReflectionValueInfo& info = ReflectionValueInfo(Which);
    if (IsInRange(info, Value))
        return Value;
    TOutsideRange rule = Value < info.Low ? info.BelowRange : info.AboveRange;
    if (Which == &TReflectionParameters::Size && Value < info.Low)
        rule = FSizesBelowRange;
    switch (rule) {
    case TOutsideRange::Refused:
        return std::nullopt;
    case TOutsideRange::Clamped:
        return ClampedToRange(info, Value);
    case TOutsideRange::Stored:
        break;
    }
    return Value;
}

TReflectionChange TReflectionValues::Set(TValue Which, int Value)
{
    const std::optional<int> accepted = Accepted(Which, Value);
    if (!accepted || *accepted == FParameters.*Which)
        return {};
    FParameters.*Which = *accepted;
    return ReflectionValueInfo(Which).Needs;
}

TReflectionChange TReflectionValues::SetDirection(TReflectionDirection Value)
{
    if (int(Value) < int(TReflectionDirection::Below) || int(Value) > int(TReflectionDirection::Right) ||
        Value == FParameters.Direction)
        return {};
    FParameters.Direction = Value;
    return ReflectionDirectionValue.Needs;
}
