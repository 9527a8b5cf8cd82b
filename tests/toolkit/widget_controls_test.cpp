#include "toolkit/graphics/font.h"
#include "toolkit/layout/class_registry.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/panel.h"
#include "toolkit/widgets/register_widgets.h"
#include "toolkit/widgets/tab_sheet.h"
#include "toolkit/widgets/track_bar.h"

#include <QFontMetrics>
#include <QMetaProperty>
#include <QSlider>
#include <QTabBar>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace
{

TNotifyEvent Counting(std::vector<int>& Seen, const TTrackBar& Bar)
{
    return TNotifyEvent{QString(), [&Seen, &Bar](QObject*) { Seen.push_back(Bar.Position()); }};
}

struct PositionCase {
    const char* Name;
    int Min, Max, Start, Set;
    int Expected;
    bool Fires;
};

class TrackBarPosition : public ::testing::TestWithParam<PositionCase>
{
};

TEST_P(TrackBarPosition, ClampsAndFiresOnlyOnRealChange)
{
    const PositionCase& c = GetParam();
    TTrackBar bar;
    bar.SetMax(c.Max);
    bar.SetMin(c.Min);
    bar.SetPosition(c.Start);
    std::vector<int> seen;
    bar.SetOnChange(Counting(seen, bar));

    bar.SetPosition(c.Set);

    EXPECT_EQ(bar.Position(), c.Expected);
    EXPECT_EQ(bar.Slider()->value(), c.Expected);
    EXPECT_EQ(seen, c.Fires ? std::vector<int>{c.Expected} : std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(Table, TrackBarPosition,
                         ::testing::Values(PositionCase{"inside_range", 0, 255, 100, 50, 50, true},
                                           PositionCase{"same_position", 0, 255, 100, 100, 100, false},
                                           PositionCase{"above_max_clamped", 0, 255, 100, 300, 255, true},
                                           PositionCase{"below_min_clamped", -30, 30, 20, -100, -30, true},
                                           PositionCase{"clamped_to_current", 0, 255, 255, 1000, 255, false},
                                           PositionCase{"negative_inside", -30, 30, 20, -7, -7, true}),
                         [](const ::testing::TestParamInfo<PositionCase>& Info) {
                             return std::string(Info.param.Name);
                         });

TEST(TrackBar, UserMoveFiresOnceAndNarrowingTheRangeDragsThePosition)
{
    TTrackBar bar;
    bar.SetMax(255);
    std::vector<int> seen;
    bar.SetOnChange(Counting(seen, bar));

    bar.Slider()->setValue(120); // as the user dragging the thumb
    bar.Slider()->setValue(120);
    EXPECT_EQ(bar.Position(), 120);

    bar.SetMax(100); // the position follows the shrinking range
    EXPECT_EQ(bar.Position(), 100);
    bar.SetMin(200); // would cross Max: ignored
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(seen, (std::vector<int>{120, 100}));
}

TEST(TrackBar, NoChangeEventsWhileLoading)
{
    TTrackBar bar;
    std::vector<int> seen;
    bar.SetOnChange(Counting(seen, bar));
    bar.BeginLoading();
    bar.SetMax(255);
    bar.SetPosition(100);
    bar.LayoutLoaded();
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_TRUE(seen.empty());
}

// Docking inside a plain window and inside a panel, with the window resized
// after the controls were created. Qt delivers the resize of a hidden widget
// only when it is shown, so the parents are shown first.
TEST(Align, TopBottomAndClientDockInCreationOrderAfterResize)
{
    QWidget window;
    window.resize(400, 300);
    TPanel top(&window), client(&window), bottom(&window), second(&window);
    top.SetHeight(65);
    bottom.SetHeight(18);
    second.SetHeight(10);
    top.SetAlign(alTop);
    client.SetAlign(alClient);
    bottom.SetAlign(alBottom);
    second.SetAlign(alTop);
    window.show();

    window.resize(980, 692);

    EXPECT_EQ(top.geometry(), QRect(0, 0, 980, 65));
    EXPECT_EQ(second.geometry(), QRect(0, 65, 980, 10));
    EXPECT_EQ(bottom.geometry(), QRect(0, 674, 980, 18));
    EXPECT_EQ(client.geometry(), QRect(0, 75, 980, 599));

    // A hidden control gives its room to the client control.
    second.SetVisible(false);
    EXPECT_EQ(client.geometry(), QRect(0, 65, 980, 609));
}

TEST(Align, ChildrenOfABevelledPanelStayInsideTheBevel)
{
    TPanel panel;
    panel.resize(100, 50);
    TPanel inner(&panel);
    inner.SetAlign(alClient);
    panel.show();
    panel.resize(200, 80);
    EXPECT_EQ(inner.geometry(), QRect(1, 1, 198, 78));
    panel.SetBevelOuter(bvNone);
    EXPECT_EQ(inner.geometry(), QRect(0, 0, 200, 80));
}

TEST(Align, ParentSmallerThanItsDockedChildrenGivesNoNegativeSizes)
{
    QWidget window;
    TPanel top(&window), client(&window);
    top.SetHeight(65);
    top.SetAlign(alTop);
    client.SetAlign(alClient);
    window.show();
    window.resize(50, 20);
    EXPECT_EQ(client.height(), 0);
    EXPECT_EQ(client.width(), 50);
}

TEST(Label, AutoSizeMeasuresTheCaptionWithTrailingBlanks)
{
    TLabel label;
    const QFontMetrics metrics(label.font());
    label.SetCaption(QStringLiteral("Free utility by "));
    EXPECT_EQ(label.Caption(), QStringLiteral("Free utility by "));
    EXPECT_EQ(label.width(), metrics.horizontalAdvance(QStringLiteral("Free utility by ")));
    EXPECT_GT(label.width(), metrics.horizontalAdvance(QStringLiteral("Free utility by")));
    EXPECT_EQ(label.height(), metrics.height());

    label.SetCaption(QString()); // an empty value label still measures one blank
    EXPECT_EQ(label.width(), metrics.horizontalAdvance(QStringLiteral(" ")));

    label.SetAutoSize(false);
    label.SetWidth(147);
    label.SetCaption(QStringLiteral("a much longer caption than before"));
    EXPECT_EQ(label.width(), 147);
}

TEST(Label, AutoSizeFollowsAnOwnFont)
{
    TLabel label;
    label.SetCaption(QStringLiteral("Reflection size:"));
    const int before = label.width();
    TFont big;
    big.SetName(QStringLiteral("DejaVu Sans"));
    big.SetHeight(-27);
    label.SetFont(&big);
    EXPECT_FALSE(label.ParentFont());
    EXPECT_GT(label.width(), before);
    EXPECT_EQ(label.Font()->Height(), -27);
}

TEST(Label, AmpersandMarksAMnemonicUnlessTurnedOff)
{
    TLabel label;
    label.SetCaption(QStringLiteral("&Save && go"));
    EXPECT_EQ(label.DisplayText(), QStringLiteral("Save & go"));
    label.SetShowAccelChar(false);
    EXPECT_EQ(label.DisplayText(), QStringLiteral("&Save && go"));
}

TEST(PageControl, OnChangeRunsWhenTheUserSwitchesPagesOnly)
{
    TPageControl pages;
    pages.resize(980, 609);
    TTabSheet* image = new TTabSheet(&pages);
    TTabSheet* text = new TTabSheet(&pages);
    image->SetCaption(QStringLiteral("Image"));
    text->SetCaption(QStringLiteral("Text"));
    int changes = 0;
    pages.SetOnChange(TNotifyEvent{QString(), [&changes](QObject*) { ++changes; }});

    EXPECT_EQ(pages.PageCount(), 2);
    EXPECT_EQ(text->PageIndex(), 1);
    EXPECT_EQ(pages.TabBar()->tabText(1), QStringLiteral("Text"));
    EXPECT_EQ(pages.ActivePage(), image);

    pages.TabBar()->setCurrentIndex(1); // the user clicks the "Text" tab
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_TRUE(image->isHidden());
    EXPECT_FALSE(text->isHidden());
    EXPECT_EQ(changes, 1);

    pages.SetActivePage(image); // code switching back: no event
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(pages.TabBar()->currentIndex(), 0);
    EXPECT_EQ(changes, 1);

    // Pages fill the area under the tabs inside a 4-pixel frame.
    EXPECT_EQ(text->width(), 972);
}

TEST(PageControl, PageIndexReordersAndDestroyedPagesLeave)
{
    TPageControl pages;
    auto* first = new TTabSheet(&pages);
    auto* second = new TTabSheet(&pages);
    second->SetPageIndex(0);
    EXPECT_EQ(pages.Pages(0), second);
    EXPECT_EQ(first->PageIndex(), 1);

    pages.SetActivePage(first);
    delete first;
    EXPECT_EQ(pages.PageCount(), 1);
    EXPECT_EQ(pages.ActivePage(), second);
}

TEST(Registry, EveryWidgetClassIsCreatedWithItsParent)
{
    RegisterToolkitWidgets();
    QWidget window;
    for (const char* name : {"TPanel", "TLabel", "TButton", "TTrackBar", "TPageControl", "TTabSheet", "TEdit",
                             "TOpenDialog", "TSaveDialog", "TFontDialog", "TColorDialog"}) {
        SCOPED_TRACE(name);
        QObject* made = CreateLayoutComponent(QString::fromLatin1(name), &window);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->parent(), &window);
        EXPECT_STREQ(made->metaObject()->className(), name);
    }
}

TEST(Registry, AlignAndCursorAreWrittenByTheirNames)
{
    RegisterToolkitWidgets();
    QWidget window;
    std::unique_ptr<QObject> panel(CreateLayoutComponent(QStringLiteral("TPanel"), &window));
    const QMetaObject* meta = panel->metaObject();
    const QMetaProperty align = meta->property(meta->indexOfProperty("Align"));
    ASSERT_TRUE(align.isEnumType());
    EXPECT_EQ(align.enumerator().keyToValue("alBottom"), int(alBottom));
    EXPECT_TRUE(panel->setProperty("Align", QVariant::fromValue(alBottom)));
    EXPECT_EQ(static_cast<TPanel*>(panel.get())->Align(), alBottom);
    const QMetaProperty cursor = meta->property(meta->indexOfProperty("Cursor"));
    ASSERT_TRUE(cursor.isEnumType());
    EXPECT_EQ(cursor.enumerator().keyToValue("crHandPoint"), -21);
}

} // namespace
