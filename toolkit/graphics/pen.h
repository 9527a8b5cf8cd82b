#pragma once

#include "toolkit/graphics/color.h"
#include "toolkit/persistent.h"

#include <functional>

// The line style of a canvas: colour, width in pixels and dash style.
class TPen : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TPenStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
  public:
    enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
    Q_ENUM(TPenStyle)

    using TNotify = std::function<void(TPen* Sender)>;

    explicit TPen(QObject* parent = nullptr) : TPersistent(parent) {}

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int Width() const { return FWidth; }
    // Widths below 1 are drawn 1 pixel wide, as the window system does.
    void SetWidth(int Value);

    void CopyFrom(const TPersistent* Source) override;

    // Whether the pen draws anything at all (not clear, colour not none).
    bool IsVisible() const { return FStyle != psClear && FColor != clNone; }

    TNotify OnChange;

  private:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }

    TColor FColor = clBlack;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
};
