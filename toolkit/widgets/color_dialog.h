#pragma once

#include "toolkit/graphics/color.h"
#include "toolkit/layout/layout_component.h"

#include <QObject>

// The non-visual colour dialog component. Execute offers Color and, when the
// user confirms, keeps the chosen colour as an explicit TColor.
class TColorDialog : public QObject, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
  public:
    explicit TColorDialog(QObject* Parent = nullptr);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }

    bool Execute();

  private:
    TColor FColor = clBlack;
};
