#pragma once

#include "toolkit/graphics/graphic.h"
#include "toolkit/persistent.h"

#include <functional>
#include <memory>

// Holds one graphic of any kind. Other pictures copy from it through its
// graphic (for example by letting the graphic save itself in its own format).
class TPicture : public TPersistent
{
    Q_OBJECT
  public:
    using TNotify = std::function<void(TPicture* Sender)>;

    explicit TPicture(QObject* parent = nullptr);
    ~TPicture() override;

    // Fired after the graphic is replaced and whenever the held graphic changes.
    TNotify OnChange;

    // The held graphic, or nullptr when the picture holds none.
    TGraphic* Graphic() const { return HeldGraphic.get(); }
    // Takes ownership of Graphic (nullptr empties the picture).
    void SetGraphic(std::unique_ptr<TGraphic> Graphic);

    int Width() const { return HeldGraphic ? HeldGraphic->Width() : 0; }
    int Height() const { return HeldGraphic ? HeldGraphic->Height() : 0; }

  private:
    void Changed();

    std::unique_ptr<TGraphic> HeldGraphic;
};
