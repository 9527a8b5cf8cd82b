#include "app/value_history.h"

#include "toolkit/graphics/font.h"

namespace
{
// Enough for an evening of trying; each step is a few hundred bytes.
constexpr std::size_t MaxSteps = 500;

bool SameFont(const std::shared_ptr<const TFont>& A, const std::shared_ptr<const TFont>& B)
{
    if (!A || !B)
        return A == B;
    return *A == *B;
}
} // namespace

bool TWindowValues::operator==(const TWindowValues& Other) const
{
    return Image == Other.Image && Label == Other.Label && Text == Other.Text && SameFont(Font, Other.Font);
}

void TValueHistory::Reset(const TWindowValues& Values)
{
    FCurrent = Values;
    FUndo.clear();
    FRedo.clear();
}

bool TValueHistory::Record(const TWindowValues& Now)
{
    if (Now == FCurrent)
        return false;
    FUndo.push_back(std::move(FCurrent));
    if (FUndo.size() > MaxSteps)
        FUndo.erase(FUndo.begin());
    FRedo.clear();
    FCurrent = Now;
    return true;
}

std::optional<TWindowValues> TValueHistory::Undo()
{
    if (FUndo.empty())
        return std::nullopt;
    FRedo.push_back(std::move(FCurrent));
    FCurrent = std::move(FUndo.back());
    FUndo.pop_back();
    return FCurrent;
}

std::optional<TWindowValues> TValueHistory::Redo()
{
    if (FRedo.empty())
        return std::nullopt;
    FUndo.push_back(std::move(FCurrent));
    FCurrent = std::move(FRedo.back());
    FRedo.pop_back();
    return FCurrent;
}
