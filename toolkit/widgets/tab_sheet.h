#pragma once

#include "toolkit/widgets/control.h"

Q_MOC_INCLUDE("toolkit/graphics/font.h")

class TPageControl;

// One page of a page control. Created with a page control as its parent, it
// adds itself as the last page.
class TTabSheet : public TControl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TControlTypes::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(int PageIndex READ PageIndex WRITE SetPageIndex)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  public:
    explicit TTabSheet(QWidget* Parent = nullptr);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    // Moves the page to another page control (or none); it becomes its child.
    void SetPageControl(TPageControl* Value);

    // -1 when the sheet belongs to no page control.
    int PageIndex() const;
    void SetPageIndex(int Value);

  protected:
    void CaptionChanged() override;

  private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
};
