#include "controls/orb_reflection_label.h"

#include "controls/register_controls.h"
#include "pictures/html_picture_cache.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/font.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_text_parser.h"
#include "toolkit/layout/layout_text_writer.h"
#include "toolkit/layout/layout_writer.h"
#include "toolkit/strings.h"
#include "toolkit/widgets/user_interaction.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <memory>

namespace
{
// Records the addresses handed to the desktop.
class TRecordingInteraction : public TUserInteraction
{
  public:
    QStringList Opened;
    std::optional<QString> OpenFileName(const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<QString> SaveFileName(const QString&, const QString&, const QString&, const QString&,
                                        bool) override
    {
        return {};
    }
    std::optional<QFont> ChooseFont(const QFont&) override { return {}; }
    std::optional<QColor> ChooseColor(const QColor&) override { return {}; }
    bool OpenUrl(const QString& Address) override
    {
        Opened << Address;
        return true;
    }
    void ShowMessage(const QString&, const QString&) override {}
};

class OrbReflectionLabelTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        RegisterTahomaFont();
        RegisterControls();
    }
    void SetUp() override
    {
        auto recording = std::make_unique<TRecordingInteraction>();
        Desktop = recording.get();
        Previous = SetUserInteraction(std::move(recording));
        Label.resize(300, 80);
        Label.SetColor(clWhite);
    }
    void TearDown() override { SetUserInteraction(std::move(Previous)); }

    void SetMarkup(const QString& Markup)
    {
        Label.HTMLText()->SetText(Markup);
        Label.PaintSurface();
    }
    void Mouse(QEvent::Type Type, Qt::MouseButton Button, QPoint Point)
    {
        QMouseEvent event(Type, QPointF(Point), QPointF(Label.mapToGlobal(Point)), Button,
                          Type == QEvent::MouseButtonRelease ? Qt::NoButton : Button, Qt::NoModifier);
        QApplication::sendEvent(&Label, &event);
    }
    // A point on the first line's text, a few pixels in.
    QPoint OnText() const { return QPoint(4, Label.MarkupHeight() / 2); }

    TOrbReflectionLabel Label;
    TRecordingInteraction* Desktop = nullptr;
    std::unique_ptr<TUserInteraction> Previous;
};
} // namespace

TEST_F(OrbReflectionLabelTest, OpacitiesOutsideAByteAreIgnored)
{
    SetMarkup(QStringLiteral("Reflection"));
    const QImage before = Label.ReflectionBitmap();
    const std::pair<int, int> cases[] = {{300, 128}, {-1, 128}, {256, 128}, {255, 255}, {0, 0}};
    for (const auto& [value, expected] : cases) {
        Label.SetReflectionOpacityStart(value);
        EXPECT_EQ(Label.ReflectionOpacityStart(), expected) << value;
    }
    Label.SetReflectionOpacityStart(128);
    Label.SetReflectionOpacityEnd(300);
    Label.SetReflectionOpacityEnd(-1);
    EXPECT_EQ(Label.ReflectionOpacityEnd(), 0);
    EXPECT_TRUE(Label.ReflectionBitmap() == before) << "back at 128 the reflection is the first one again";
}

TEST_F(OrbReflectionLabelTest, OnlyWebAndMailAnchorsAreOpenedOnAnyButton)
{
    struct Case {
        const char* markup;
        Qt::MouseButton button;
        const char* opened; // nullptr: nothing
    };
    const Case cases[] = {
        {"<a href=\"http://lumivex.example/\">website</a>", Qt::LeftButton, "http://lumivex.example/"},
        {"<a href=\"http://lumivex.example/\">website</a>", Qt::RightButton, "http://lumivex.example/"},
        {"<a href=\"mailto:me@lumivex.example\">write</a>", Qt::MiddleButton, "mailto:me@lumivex.example"},
        {"<a href=\"word\">website</a>", Qt::LeftButton, nullptr},
        {"<a href=\"MAILTO:me@lumivex.example\">write</a>", Qt::LeftButton, nullptr},
        {"<a href=\"file:///usr/bin/xterm\">program</a>", Qt::LeftButton, nullptr},
        {"plain words", Qt::LeftButton, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        Desktop->Opened.clear();
        SetMarkup(QString::fromLatin1(c.markup));
        Mouse(QEvent::MouseButtonPress, c.button, OnText());
        EXPECT_EQ(Desktop->Opened, c.opened ? QStringList{QString::fromLatin1(c.opened)} : QStringList{});
    }
}

TEST_F(OrbReflectionLabelTest, HandCursorOverAnchorsAndLeavingKeepsIt)
{
    SetMarkup(QStringLiteral("<a href=\"http://lumivex.example/\">website</a>"));
    Mouse(QEvent::MouseMove, Qt::NoButton, OnText());
    EXPECT_EQ(Label.Cursor(), crHandPoint);
    EXPECT_EQ(Label.CurrentAnchorIndex(), 1);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&Label, &leave);
    EXPECT_EQ(Label.CurrentAnchorIndex(), -1);
    EXPECT_EQ(Label.Cursor(), crHandPoint);

    Mouse(QEvent::MouseMove, Qt::NoButton, QPoint(290, 70));
    EXPECT_EQ(Label.Cursor(), crDefault);
}

TEST_F(OrbReflectionLabelTest, MarkupChangesReachTheTextAndEmptyThePictureCache)
{
    TStrings lines;
    lines.SetLines({QStringLiteral("Hello"), QStringLiteral("World")});
    Label.SetHTMLText(&lines);
    EXPECT_EQ(Label.HTMLText()->Lines(), QStringList{QStringLiteral("HelloWorld")});
    Label.PaintSurface();
    const int plainWidth = Label.MarkupWidth();

    SetMarkup(QStringLiteral("<b>HelloWorld</b><img src=\"FILE://%1\">")
                  .arg(TestDataPath(QStringLiteral("rounded-rgba-130x110.png"))));
    EXPECT_EQ(Label.MarkupWidth(), plainWidth + 130) << "the label's bold text, then the picture";
    EXPECT_EQ(Label.PictureCache()->Count(), 1);
    EXPECT_EQ(Label.ReflectionBitmap().size(), QSize(Label.MarkupWidth(), Label.MarkupHeight()));

    Label.HTMLText()->SetText(QStringLiteral("HelloWorld"));
    EXPECT_EQ(Label.PictureCache()->Count(), 0);
}

TEST_F(OrbReflectionLabelTest, NegativeAxisStartsTheReflectionBehindTheText)
{
    SetMarkup(QStringLiteral("Reflection"));
    ASSERT_EQ(Label.ReflectionAxis(), -7);
    const QImage& shown = Label.Surface();
    const int h = Label.MarkupHeight();
    // Reflection row 7 (the mirror of text row h - 8) is the first one below
    // the text; its glyph pixels are tinted, not background.
    bool tinted = false;
    for (int x = 0; x < Label.MarkupWidth(); ++x)
        tinted = tinted || (shown.pixel(x, h) != 0xFFFFFFFFu);
    EXPECT_TRUE(tinted);
    EXPECT_EQ(Label.ReflectionBitmap().height(), h);
}

TEST_F(OrbReflectionLabelTest, ReadFromALayoutWithOnlyItsSizeItKeepsTheLabelDefaults)
{
    const QByteArray layout =
        LayoutTextToBinary(QStringLiteral("object OrbReflectionLabel1: TOrbReflectionLabel\n"
                                          "  Width = 200\n"
                                          "  Height = 60\n"
                                          "  ReflectionSize = 20\n"
                                          "  Version = '9.9.9.9'\n"
                                          "end\n"));
    std::unique_ptr<QObject> read(ReadLayout(layout, nullptr));
    auto* label = qobject_cast<TOrbReflectionLabel*>(read.get());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->ReflectionOpacityStart(), 128);
    EXPECT_EQ(label->ReflectionOpacityEnd(), 0);
    EXPECT_EQ(label->ReflectionSize(), 20);
    EXPECT_EQ(label->ReflectionAxis(), -7);
    EXPECT_EQ(label->Version(), QStringLiteral("1.5.0.0"));

    // Written back, only what differs from the label's defaults is stored.
    label->HTMLText()->SetText(QStringLiteral("Caption"));
    label->SetReflectionAxis(-3);
    const QString written = LayoutBinaryToText(WriteLayout(label));
    EXPECT_TRUE(written.contains(QStringLiteral("'Caption'")));
    EXPECT_TRUE(written.contains(QStringLiteral("ReflectionAxis = -3")));
    for (const char* unstored :
         {"ReflectionSize", "ReflectionOpacityStart", "ReflectionOpacityEnd", "URLColor"})
        EXPECT_FALSE(written.contains(QString::fromLatin1(unstored))) << unstored;
}

TEST_F(OrbReflectionLabelTest, ANewControlTakesItsFirstNameAsItsText)
{
    TOrbReflectionLabel fresh;
    fresh.Rename(QStringLiteral("OrbReflectionLabel2"));
    EXPECT_EQ(fresh.MarkupText(), QStringLiteral("OrbReflectionLabel2"));
    fresh.Rename(QStringLiteral("Title"));
    EXPECT_EQ(fresh.MarkupText(), QStringLiteral("OrbReflectionLabel2"));
}

TEST_F(OrbReflectionLabelTest, ReferencedImageListAndContainerAreForgottenWhenDestroyed)
{
    auto images = std::make_unique<TImageList>();
    auto container = std::make_unique<TPictureContainer>();
    Label.SetImages(images.get());
    Label.SetPictureContainer(container.get());
    SetMarkup(QStringLiteral("x<img src=\"IDX:0\">"));
    const int withoutPicture = Label.MarkupWidth();

    // The image list's change reaches the label: the next paint lays out the picture.
    QImage square(16, 16, QImage::Format_ARGB32);
    square.fill(Qt::green);
    images->Add(square);
    Label.PaintSurface();
    EXPECT_EQ(Label.MarkupWidth(), withoutPicture + 16);
    EXPECT_EQ(Label.ReflectionBitmap().width(), withoutPicture + 16) << "rebuilt, not the old reflection";

    images.reset();
    container.reset();
    EXPECT_EQ(Label.Images(), nullptr);
    EXPECT_EQ(Label.PictureContainer(), nullptr);
    Label.PaintSurface(); // draws without them
    EXPECT_EQ(Label.MarkupWidth(), withoutPicture);
}

TEST_F(OrbReflectionLabelTest, PaintingAndHitTestingGoThroughTheOverridableRenderMarkup)
{
    struct TCountingLabel : TOrbReflectionLabel {
        int Calls = 0;
        TMarkupResult RenderMarkup(TCanvas& Canvas, const QString& Markup,
                                   const TMarkupRequest& Request) override
        {
            ++Calls;
            return TOrbReflectionLabel::RenderMarkup(Canvas, Markup, Request);
        }
    } counting;
    counting.resize(200, 60);
    counting.HTMLText()->SetText(QStringLiteral("<a href=\"http://lumivex.example/\">site</a>"));
    counting.PaintSurface(); // draws, rebuilds, draws again
    EXPECT_EQ(counting.Calls, 2);
    EXPECT_FALSE(counting.AnchorAt(4, counting.MarkupHeight() / 2).isEmpty());
    EXPECT_EQ(counting.Calls, 3);
}
