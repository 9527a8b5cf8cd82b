#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class TFont;

// What undo and redo bring back: both pages' reflection and style values,
// the text page's markup and its font.
struct TWindowValues {
    TReflectionParameters Image;
    TReflectionParameters Label;
    QString Text;
    std::shared_ptr<const TFont> Font; // a copy of its own, never changed

    bool operator==(const TWindowValues& Other) const;
};

// The window's values before each change, and after each undone one. A new
// change after an undo drops what could have been redone.
class TValueHistory
{
  public:
    // Starts over at Values, with nothing to undo or redo.
    void Reset(const TWindowValues& Values);
    // Takes Now as the current values, the previous ones becoming one step
    // back; false (nothing recorded) when nothing changed.
    bool Record(const TWindowValues& Now);
    // The values to go back or forward to, which become the current ones;
    // none at either end.
    std::optional<TWindowValues> Undo();
    std::optional<TWindowValues> Redo();
    bool CanUndo() const { return !FUndo.empty(); }
    bool CanRedo() const { return !FRedo.empty(); }
    const TWindowValues& Current() const { return FCurrent; }

  private:
    TWindowValues FCurrent;
    std::vector<TWindowValues> FUndo;
    std::vector<TWindowValues> FRedo;
};
