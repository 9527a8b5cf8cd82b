#include "toolkit/widgets/page_control.h"

#include "toolkit/widgets/tab_sheet.h"

#include <QPainter>
#include <QTabBar>
#include <algorithm>

namespace
{
// The classic page control's geometry: a tab row of 24 pixels at least and a
// 4-pixel frame round the pages on the other three sides.
constexpr int MinimumTabAreaHeight = 24;
constexpr int FrameWidth = 4;
} // namespace

TPageControl::TPageControl(QWidget* Parent) : TControl(Parent), FTabs(new QTabBar(this))
{
    FTabs->setDrawBase(false);
    FTabs->setExpanding(false);
    FTabs->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(FTabs);
    setFocusPolicy(Qt::StrongFocus);
    resize(289, 193);
    TakeNextTabOrder();
    connect(FTabs, &QTabBar::currentChanged, this, &TPageControl::TabSwitched);
}

TPageControl::~TPageControl()
{
    // The pages are destroyed after this object by QWidget; they must not
    // report back to it then.
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
}

TTabSheet* TPageControl::ActivePage() const
{
    return FActive;
}

void TPageControl::SetActivePage(TTabSheet* Value)
{
    if (Value && Value->FPageControl != this)
        return;
    FActive = Value;
    ShowActive();
}

int TPageControl::ActivePageIndex() const
{
    const auto found = std::find(FPages.begin(), FPages.end(), FActive.data());
    return FActive && found != FPages.end() ? static_cast<int>(found - FPages.begin()) : -1;
}

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[std::size_t(Value)] : nullptr);
}

TTabSheet* TPageControl::Pages(int Index) const
{
    return Index >= 0 && Index < PageCount() ? FPages[std::size_t(Index)] : nullptr;
}

QRect TPageControl::ClientRect() const
{
    // The tabs' own bottom row is where the frame's top line runs, so a page
    // starts one row below them: 24 pixels with the window's font, as the
    // stored layout's pages were designed.
    const int top = std::max(MinimumTabAreaHeight, FTabs->sizeHint().height() + 1);
    return QRect(FrameWidth, top, std::max(0, width() - 2 * FrameWidth),
                 std::max(0, height() - top - FrameWidth));
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    FSwitching = true;
    FTabs->addTab(Page->Caption());
    FSwitching = false;
    if (!FActive)
        FActive = Page;
    PlacePages();
    ShowActive();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    const auto found = std::find(FPages.begin(), FPages.end(), Page);
    if (found == FPages.end())
        return;
    const int index = static_cast<int>(found - FPages.begin());
    FPages.erase(found);
    FSwitching = true;
    FTabs->removeTab(index);
    FSwitching = false;
    if (FActive == Page || !FActive)
        FActive = FPages.empty() ? nullptr : FPages[std::size_t(std::min(index, PageCount() - 1))];
    ShowActive();
}

void TPageControl::MovePage(TTabSheet* Page, int Index)
{
    const auto found = std::find(FPages.begin(), FPages.end(), Page);
    if (found == FPages.end())
        return;
    const int from = static_cast<int>(found - FPages.begin());
    const int to = std::clamp(Index, 0, PageCount() - 1);
    if (from == to)
        return;
    FPages.erase(found);
    FPages.insert(FPages.begin() + to, Page);
    FSwitching = true;
    FTabs->moveTab(from, to);
    FSwitching = false;
    ShowActive();
}

void TPageControl::PageCaptionChanged(TTabSheet* Page)
{
    const auto found = std::find(FPages.begin(), FPages.end(), Page);
    if (found != FPages.end())
        FTabs->setTabText(static_cast<int>(found - FPages.begin()), Page->Caption());
}

void TPageControl::ShowActive()
{
    for (TTabSheet* page : FPages)
        page->setVisible(page == FActive);
    FSwitching = true;
    FTabs->setCurrentIndex(ActivePageIndex());
    FSwitching = false;
}

void TPageControl::TabSwitched(int Index)
{
    if (FSwitching || Index < 0 || Index >= PageCount() || FPages[std::size_t(Index)] == FActive)
        return;
    FActive = FPages[std::size_t(Index)];
    ShowActive();
    FOnChange(this);
}

void TPageControl::PlacePages()
{
    FTabs->setGeometry(2, 0, std::max(0, width() - 4), FTabs->sizeHint().height());
    const QRect client = ClientRect();
    for (TTabSheet* page : FPages)
        page->setGeometry(client);
}

void TPageControl::resizeEvent(QResizeEvent* Event)
{
    PlacePages();
    TControl::resizeEvent(Event);
}

void TPageControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(ClientRect().adjusted(-2, -2, 1, 1));
}
