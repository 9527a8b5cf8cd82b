// High-density screens: the "Text" page's label, its transparency preview
// and the fitted picture are drawn with the screen's pixels, not a
// one-to-one picture enlarged; saved files stay one to one.
#include "tests/app/main_form_fixture.h"

#include "app/image_view.h"
#include "app/status_row.h"
#include "controls/orb_reflection_label.h"
#include "tests/support/image_test_helpers.h"
#include "toolkit/widgets/edit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>

namespace
{
// What Widget draws into an image of Ratio device pixels per pixel, as a
// screen of that density receives it.
QImage Drawn(QWidget* Widget, qreal Ratio)
{
    QImage image((QSizeF(Widget->size()) * Ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(Ratio);
    image.fill(Qt::magenta);
    Widget->render(&image);
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_RGB32);
}

// Two-by-two blocks of Image inside Area whose pixels differ: none in a
// picture enlarged twice, many where edges were drawn at the full density.
int DetailedBlocks(const QImage& Image, const QRect& Area)
{
    int blocks = 0;
    for (int y = Area.top() & ~1; y + 1 <= Area.bottom(); y += 2)
        for (int x = Area.left() & ~1; x + 1 <= Area.right(); x += 2) {
            const QRgb p = Image.pixel(x, y);
            blocks +=
                Image.pixel(x + 1, y) != p || Image.pixel(x, y + 1) != p || Image.pixel(x + 1, y + 1) != p;
        }
    return blocks;
}

int DarkPixels(const QImage& Image)
{
    int dark = 0;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            dark += qGray(Image.pixel(x, y)) < 128;
    return dark;
}
} // namespace

using MainFormDensity = MainFormTest;

TEST_F(MainFormDensity, LabelIsDrawnWithTwiceThePixelsAtDensityTwo)
{
    SwitchToPage(1);
    Form->Edit1->LineEdit()->setText(QStringLiteral("Sharp <b>edges</b> at density two"));
    TOrbReflectionLabel* label = Form->OrbReflectionLabel1;
    const QImage one = Drawn(label, 1);
    const QImage two = Drawn(label, 2);
    ASSERT_EQ(two.size(), one.size() * 2);
    const QRect text(0, 0, label->MarkupWidth(), label->MarkupHeight());
    ASSERT_GT(text.width(), 50);
    EXPECT_EQ(DetailedBlocks(one.scaled(one.size() * 2), text.adjusted(0, 0, text.width(), text.height())),
              0);
    EXPECT_GT(DetailedBlocks(two, QRect(text.topLeft() * 2, text.size() * 2)), text.width());
    // The same text at the same place, reflection included: shrunk back to
    // one to one it darkens about as many pixels.
    const int darkOne = DarkPixels(one);
    const int darkTwo = DarkPixels(two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    EXPECT_NEAR(darkTwo, darkOne, darkOne / 4);

    // The saved picture is the one-to-one one.
    const QString saved = Folder.filePath(QStringLiteral("label.png"));
    SaveAs(saved);
    EXPECT_EQ(QImage(saved).size(), label->size());
}

TEST_F(MainFormDensity, FittedPictureUsesThePicturesOwnPixelsAtDensityTwo)
{
    // Fine stripes one pixel wide: a copy fitted at the page's points loses
    // them, the picture's own pixels keep them where the density allows.
    QImage stripes(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, (x / 2) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    const QString file = Folder.filePath(QStringLiteral("stripes.png"));
    ASSERT_TRUE(stripes.save(file));
    Open(file);
    TImageView* view = Form->ImageView();
    ASSERT_TRUE(view->Fitted());
    const double scale = view->Scale();
    ASSERT_LT(scale, 0.5);
    ASSERT_GT(scale, 0.25);
    // The whole window, as its screen receives it; the picture's place in it.
    const QRect picture(view->viewport()->mapTo(Form.get(), QPoint(0, 0)),
                        QSize(int(1600 * scale) - 2, int(1200 * scale) - 2));
    const QImage one = Drawn(Form.get(), 1);
    const QImage two = Drawn(Form.get(), 2);
    // Enlarged, the one-to-one view has no block with an edge inside; at
    // twice the pixels the stripes put one in most blocks.
    const QRect dense(picture.topLeft() * 2, picture.size() * 2);
    EXPECT_EQ(DetailedBlocks(one.scaled(one.size() * 2), dense), 0);
    EXPECT_GT(DetailedBlocks(two, dense), picture.width() * picture.height() / 2);
}

namespace
{
struct PreviewCase {
    const char* Name;
    qreal Ratio;
    int Square; // the checkerboard's squares, in device pixels
};

class MainFormDensityPreview : public MainFormTest, public ::testing::WithParamInterface<PreviewCase>
{
};
} // namespace

TEST_P(MainFormDensityPreview, TransparencyPreviewIsDrawnAtTheScreensDensity)
{
    const PreviewCase& c = GetParam();
    SwitchToPage(1);
    Form->Edit1->LineEdit()->setText(QStringLiteral("Sharp <b>edges</b> over the squares"));
    Form->CheckBox2->setChecked(true);
    Form->StatusRow()->TransparencyToggle()->setChecked(true);
    TOrbReflectionLabel* label = Form->OrbReflectionLabel1;
    const QImage drawn = Drawn(label, c.Ratio);
    ASSERT_EQ(drawn.size(), (QSizeF(label->size()) * c.Ratio).toSize());

    // The text has the screen's pixels, not a one-to-one picture enlarged.
    if (c.Ratio == 2) {
        const QRect text(0, 0, label->MarkupWidth(), label->MarkupHeight());
        ASSERT_GT(text.width(), 50);
        EXPECT_GT(DetailedBlocks(drawn, QRect(text.topLeft() * 2, text.size() * 2)), text.width());
    }
    // Far from the text only the squares show: two colours in runs of whole
    // squares of device pixels, never a blend of them.
    const QRect corner(drawn.width() - 6 * c.Square, drawn.height() - 6 * c.Square, 6 * c.Square,
                       6 * c.Square);
    for (int y = corner.top(); y <= corner.bottom(); ++y) {
        int run = 0;
        for (int x = corner.left(); x <= corner.right(); ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            ASSERT_TRUE(pixel == qRgb(255, 255, 255) || pixel == qRgb(204, 204, 204)) << x << ", " << y;
            ++run;
            if (x == corner.right() || drawn.pixel(x + 1, y) != pixel) {
                // Whole runs inside the corner; its edges cut them.
                if (x - run + 1 > corner.left() && x < corner.right()) {
                    ASSERT_EQ(run, c.Square) << x << ", " << y;
                }
                run = 0;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Densities, MainFormDensityPreview,
                         ::testing::Values(PreviewCase{"one", 1, 8}, PreviewCase{"one_and_a_half", 1.5, 12},
                                           PreviewCase{"two", 2, 16}),
                         CaseName<PreviewCase>);
