#pragma once

#include "toolkit/graphics/color.h"
#include "toolkit/persistent.h"

#include <functional>

// The fill of a canvas. A clear brush fills nothing; setting the colour to
// clNone makes the brush clear and setting any other colour on a clear brush
// makes it solid again, so that callers can switch text backgrounds on and
// off through the colour alone.
class TBrush : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TBrushStyle Style READ Style WRITE SetStyle)
  public:
    enum TBrushStyle { bsSolid, bsClear };
    Q_ENUM(TBrushStyle)

    using TNotify = std::function<void(TBrush* Sender)>;

    explicit TBrush(QObject* parent = nullptr) : TPersistent(parent) {}

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

    void CopyFrom(const TPersistent* Source) override;

    bool IsSolid() const { return FStyle == bsSolid && FColor != clNone; }

    TNotify OnChange;

  private:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};
