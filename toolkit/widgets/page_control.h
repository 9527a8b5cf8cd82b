#pragma once

#include "toolkit/widgets/control.h"

#include <QPointer>
#include <vector>

Q_MOC_INCLUDE("toolkit/graphics/font.h")
Q_MOC_INCLUDE("toolkit/widgets/tab_sheet.h")

class QTabBar;
class TTabSheet;

// Pages with a row of tabs. The pages stay the page control's own children,
// in page order, and only the active one is shown. OnChange runs when the user
// switches pages, not when code sets the active page.
class TPageControl : public TControl
{
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(TTabSheet* ActivePage READ ActivePage WRITE SetActivePage)
    Q_PROPERTY(int ActivePageIndex READ ActivePageIndex WRITE SetActivePageIndex STORED false)
    Q_PROPERTY(TControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TControlTypes::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
  public:
    explicit TPageControl(QWidget* Parent = nullptr);
    ~TPageControl() override;

    TTabSheet* ActivePage() const;
    // A page of another page control is ignored; nullptr shows no page.
    void SetActivePage(TTabSheet* Value);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const;

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent& Value) { FOnChange = Value; }

    QTabBar* TabBar() const { return FTabs; }
    QRect ClientRect() const override;

  protected:
    void resizeEvent(QResizeEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

  private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int Index);
    void PageCaptionChanged(TTabSheet* Page);
    void ShowActive();
    void PlacePages();
    void TabSwitched(int Index);

    QTabBar* FTabs;
    std::vector<TTabSheet*> FPages;
    QPointer<TTabSheet> FActive;
    bool FSwitching = false;
    TNotifyEvent FOnChange;
};
