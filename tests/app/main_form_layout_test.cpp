// The window as read from the layout compiled into the program.

#include "tests/app/main_form_fixture.h"

#include "controls/orb_reflection_image.h"
#include "imaging/gdip_picture.h"
#include "imaging/saving/save_formats.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/font.h"
#include "toolkit/layout/layout_text_parser.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/panel.h"
#include "toolkit/widgets/save_dialog.h"
#include "toolkit/widgets/tab_sheet.h"
#include "toolkit/widgets/track_bar.h"

#include <QBuffer>
#include <QFile>
#include <QSlider>
#include <QTabBar>

namespace
{

QString SourcePath(const QString& Name)
{
    return QStringLiteral(LUMIVEX_TEST_DATA "/../../") + Name;
}

struct TPlacement {
    const char* Name;
    int Left, Top, Width, Height; // -1: sized by the control itself
};

struct TCaption {
    const char* Name;
    const char* Caption;
};

struct TSliderSettings {
    const char* Name;
    int Min, Max, Frequency, TabOrder;
};

} // namespace

using MainFormLayout = MainFormTest;

TEST_F(MainFormLayout, ClientAreaColourAndFontAreTheDesignedOnes)
{
    EXPECT_EQ(Form->objectName(), QStringLiteral("Form2"));
    EXPECT_EQ(Form->ClientWidth(), 980);
    EXPECT_EQ(Form->ClientHeight(), 692);
    EXPECT_EQ(Form->Color(), clWhite);
    EXPECT_EQ(Form->Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Form->Font()->Height(), -11);
    EXPECT_EQ(Form->Font()->Color(), clWindowText);
    EXPECT_EQ(Form->Position(), poScreenCenter);
    const QString title = Form->windowTitle();
    EXPECT_TRUE(title.contains(QStringLiteral("Lumivex")) && title.contains(QStringLiteral("2009")) &&
                title.contains(QStringLiteral("Labs")))
        << title.toStdString();
}

TEST_F(MainFormLayout, ComponentsSitWhereTheLayoutPutsThem)
{
    const TPlacement placements[] = {
        {"Panel1", 0, 0, 980, 65},         {"Button1", 4, 21, 149, 25},
        {"TrackBar1", 160, 27, 150, 32},   {"TrackBar2", 316, 27, 150, 32},
        {"TrackBar3", 472, 27, 150, 32},   {"TrackBar4", 628, 27, 150, 32},
        {"Label1", 169, 8, -1, -1},        {"Label2", 246, 8, -1, -1},
        {"Label3", 323, 8, -1, -1},        {"Label5", 396, 8, -1, -1},
        {"Label4", 480, 8, -1, -1},        {"Label6", 548, 8, -1, -1},
        {"Label8", 636, 10, -1, -1},       {"Label9", 714, 10, -1, -1},
        {"PageControl1", 0, 65, 980, 609}, {"OrbReflectionImage1", 0, 40, 171, 270},
        {"Button2", 0, 9, 75, 25},         {"Panel2", 0, 674, 980, 18},
        {"Label10", 4, 2, -1, -1},         {"Label11", 73, 2, -1, -1},
    };
    for (const TPlacement& expected : placements) {
        SCOPED_TRACE(expected.Name);
        const QWidget* widget = Form->findChild<QWidget*>(QString::fromLatin1(expected.Name));
        ASSERT_NE(widget, nullptr);
        // Relative to the control the layout puts it on, whatever view the
        // window wraps it in (the image sits in a scrolling view).
        const QWidget* parent = widget->parentWidget();
        while (parent && !qobject_cast<const TControl*>(parent))
            parent = parent->parentWidget();
        ASSERT_NE(parent, nullptr);
        EXPECT_EQ(widget->mapTo(parent, QPoint(0, 0)), QPoint(expected.Left, expected.Top));
        if (expected.Width >= 0) {
            EXPECT_EQ(widget->size(), QSize(expected.Width, expected.Height));
        }
    }
}

TEST_F(MainFormLayout, CaptionsAreExactTrailingBlanksIncluded)
{
    const TCaption captions[] = {
        {"Button1", "Save reflection as ..."},
        {"Label1", "Reflection size:"},
        {"Label3", "Opacity start:"},
        {"Label4", "Opacity end:"},
        {"Label8", "Reflection axis:"},
        {"Button2", "Open image"},
        {"TabSheet1", "Image"},
        {"TabSheet2", "Text"},
        {"Label10", "Free utility by "},
        {"Panel1", ""},
        {"Panel2", ""},
    };
    for (const TCaption& expected : captions) {
        SCOPED_TRACE(expected.Name);
        const auto* control = Form->findChild<TControl*>(QString::fromLatin1(expected.Name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Caption(), QString::fromLatin1(expected.Caption));
    }
    EXPECT_EQ(Form->PageControl1->TabBar()->tabText(0), QStringLiteral("Image"));
    EXPECT_EQ(Form->PageControl1->TabBar()->tabText(1), QStringLiteral("Text"));
    // The trailing blank takes room, so the label reaches further than its words.
    EXPECT_GT(Form->Label10->width(),
              QFontMetrics(Form->Label10->font()).horizontalAdvance(QStringLiteral("Free utility by")));
}

TEST_F(MainFormLayout, SlidersHaveTheirRangesTicksAndTabOrder)
{
    const TSliderSettings sliders[] = {
        {"TrackBar1", 0, 255, 10, 1},
        {"TrackBar2", 0, 255, 10, 2},
        {"TrackBar3", 0, 255, 10, 3},
        {"TrackBar4", -30, 30, 2, 4},
    };
    for (const TSliderSettings& expected : sliders) {
        SCOPED_TRACE(expected.Name);
        const auto* slider = Form->findChild<TTrackBar*>(QString::fromLatin1(expected.Name));
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(slider->Min(), expected.Min);
        EXPECT_EQ(slider->Max(), expected.Max);
        EXPECT_EQ(slider->Frequency(), expected.Frequency);
        EXPECT_EQ(slider->TabOrder(), expected.TabOrder);
        EXPECT_EQ(slider->Orientation(), trHorizontal);
        EXPECT_FALSE(slider->ShowSelRange());
        EXPECT_EQ(slider->Slider()->tickInterval(), expected.Frequency);
        EXPECT_NE(slider->Slider()->tickPosition(), QSlider::NoTicks);
    }
    EXPECT_EQ(Form->Button1->TabOrder(), 0);
    EXPECT_EQ(Form->Panel1->TabOrder(), 0);
    EXPECT_EQ(Form->PageControl1->TabOrder(), 1);
    EXPECT_EQ(Form->Panel2->TabOrder(), 2);
}

TEST_F(MainFormLayout, PanelsAndPagesDockAndFollowTheWindowSize)
{
    EXPECT_EQ(Form->Panel1->Align(), alTop);
    EXPECT_EQ(Form->PageControl1->Align(), alClient);
    EXPECT_EQ(Form->Panel2->Align(), alBottom);
    Form->resize(1200, 800);
    EXPECT_EQ(Form->Panel1->geometry(), QRect(0, 0, 1200, 65));
    EXPECT_EQ(Form->Panel2->geometry(), QRect(0, 800 - 18, 1200, 18));
    EXPECT_EQ(Form->PageControl1->geometry(), QRect(0, 65, 1200, 800 - 65 - 18));
}

TEST_F(MainFormLayout, ActivePageIsTheImagePage)
{
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->TabSheet1);
    EXPECT_EQ(Form->PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(Form->TabSheet2->PageIndex(), 1);
    EXPECT_TRUE(Form->OrbReflectionImage1->isVisibleTo(Form.get()));
}

TEST_F(MainFormLayout, FooterLinkIsBlueWithAHandCursor)
{
    EXPECT_EQ(Form->Label11->Cursor(), crHandPoint);
    EXPECT_EQ(Form->Label11->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(Form->Label11->ParentFont());
    EXPECT_EQ(Form->Label11->Font()->Color(), clBlue);
    EXPECT_EQ(Form->Label11->Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Form->Label11->Font()->Height(), -11);
    EXPECT_TRUE(Form->Label11->Caption().startsWith(QStringLiteral("http")));
}

TEST_F(MainFormLayout, SaveDialogListsEveryFormatWithItsExtensionsAndAsksBeforeReplacing)
{
    // One entry per format of the format table, PNG first, each showing
    // every extension that names it.
    const QStringList parts = Form->SaveDialog1->Filter().split(QLatin1Char('|'));
    ASSERT_EQ(parts.size(), 2 * qsizetype(SaveFormats().size()));
    EXPECT_EQ(parts[0], QStringLiteral("PNG files (*.png)"));
    EXPECT_TRUE(parts.contains(QStringLiteral("JPEG files (*.jpg *.jpeg *.jpe)")));
    EXPECT_TRUE(parts.contains(QStringLiteral("*.jpg;*.jpeg;*.jpe")));
    EXPECT_TRUE(parts.contains(QStringLiteral("TIFF files (*.tif *.tiff)")));
    EXPECT_TRUE(Form->SaveDialog1->Options().testFlag(ofOverwritePrompt));
    // The open dialog offers what the readers decode, then everything.
    const QString open = Form->OpenDialog1->Filter();
    EXPECT_TRUE(open.startsWith(QStringLiteral("Images|"))) << open.toStdString();
    for (const char* pattern : {"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp"})
        EXPECT_TRUE(
            open.section(QLatin1Char('|'), 1, 1).split(QLatin1Char(';')).contains(QLatin1String(pattern)))
            << pattern;
    EXPECT_TRUE(open.endsWith(QStringLiteral("|All files|*"))) << open.toStdString();
}

TEST_F(MainFormLayout, ImageControlStartsWithTheStoredArtworkAndSettings)
{
    TOrbReflectionImage* image = Form->OrbReflectionImage1;
    EXPECT_TRUE(image->AutoSize());
    EXPECT_EQ(image->ReflectionAxis(), 1);
    EXPECT_EQ(image->Picture()->Width(), 171);
    EXPECT_EQ(image->Picture()->Height(), 220);
    // The stored picture is our artwork file, byte for byte.
    QByteArray stored;
    QBuffer buffer(&stored);
    buffer.open(QIODevice::WriteOnly);
    image->Picture()->SaveStream(&buffer);
    const QByteArray artwork = ReadFileBytes(SourcePath(QStringLiteral("app/resources/box.png")));
    ASSERT_FALSE(artwork.isEmpty());
    EXPECT_TRUE(stored == artwork) << "stored " << stored.size() << " bytes, artwork " << artwork.size();
    EXPECT_FALSE(image->ReflectionBitmap().isNull());
}

TEST(MainFormLayoutText, CompiledLayoutIsTheTextInTheRepository)
{
    const QByteArray text = ReadFileBytes(SourcePath(QStringLiteral("app/main_form.txt")));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(LayoutTextToBinary(QString::fromUtf8(text)) ==
                ReadFileBytes(QStringLiteral(":/rcdata/TFORM2")));
}
