#pragma once

#include "toolkit/layout/layout_component.h"

#include <QObject>
#include <memory>

Q_MOC_INCLUDE("toolkit/graphics/font.h")

class TFont;

// The non-visual font dialog component. Execute offers Font and, when the
// user confirms, takes over every attribute the dialog offers (name, size,
// styles); colour and character set stay.
class TFontDialog : public QObject, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  public:
    explicit TFontDialog(QObject* Parent = nullptr);
    ~TFontDialog() override;

    TFont* Font() const { return FFont.get(); }
    // Copies Value's content into the dialog's own font.
    void SetFont(TFont* Value);

    bool Execute();

  private:
    std::unique_ptr<TFont> FFont;
};
