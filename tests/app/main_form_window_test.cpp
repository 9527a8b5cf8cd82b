// The window as a desktop image tool: keys, clipboard, drops, the fit view
// and clicks on the footer, through the real window on the offscreen platform.

#include "tests/app/main_form_fixture.h"

#include "app/image_view.h"
#include "app/preview_prefetch.h"
#include "app/quick_open.h"
#include "app/status_row.h"
#include "app/style_panel.h"
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "imaging/gdip_picture.h"
#include "tests/support/test_data.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/panel.h"
#include "toolkit/widgets/tab_sheet.h"
#include "toolkit/widgets/track_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <functional>
#include <sys/stat.h>

namespace
{
// A picture larger than the page, one colour per quarter, so what a view
// shows of it can be told apart.
QImage QuarteredPicture(int Width, int Height)
{
    QImage picture(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            picture.setPixel(x, y,
                             x < Width / 2 ? (y < Height / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                           : (y < Height / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
    return picture;
}

// Six-by-six patches of one colour, as a checkerboard's squares have and
// smoothed text never does.
int UniformPatches(const QImage& Image, QRgb Colour)
{
    const QImage rgb = Image.convertToFormat(QImage::Format_RGB32);
    int patches = 0;
    for (int y = 0; y + 6 <= rgb.height(); y += 3)
        for (int x = 0; x + 6 <= rgb.width(); x += 3) {
            bool uniform = true;
            for (int dy = 0; dy < 6 && uniform; ++dy)
                for (int dx = 0; dx < 6 && uniform; ++dx)
                    uniform = (rgb.pixel(x + dx, y + dy) & 0xFFFFFF) == (Colour & 0xFFFFFF);
            patches += uniform;
        }
    return patches;
}

int CountColour(const QImage& Image, QRgb Colour)
{
    int count = 0;
    const QImage rgb = Image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            count += (rgb.pixel(x, y) & 0xFFFFFF) == (Colour & 0xFFFFFF);
    return count;
}
} // namespace

using MainFormWindow = MainFormTest;

TEST_F(MainFormWindow, DropsAndPastesOpenAPicture)
{
    const QString file = TestDataPath(QStringLiteral("soft-edges-rgba-200x150.png"));
    const QImage data = LoadTestImage(QStringLiteral("rounded-rgba-130x110.png"));
    struct TCase {
        const char* Name;
        bool Paste;   // through the clipboard and Ctrl+V, else dropped
        bool AsFile;  // a file's address, else image data
        QSize Opened; // the picture afterwards
    } cases[] = {
        {"dropped file", false, true, QSize(200, 150)},
        {"dropped image data", false, false, QSize(130, 110)},
        {"pasted file", true, true, QSize(200, 150)},
        {"pasted image data", true, false, QSize(130, 110)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")));
        ASSERT_EQ(Form->OrbReflectionImage1->Picture()->Width(), 320);
        auto* mime = new QMimeData;
        if (c.AsFile)
            mime->setUrls({QUrl::fromLocalFile(file)});
        else
            mime->setImageData(data);
        if (c.Paste) {
            QApplication::clipboard()->setMimeData(mime);
            PressKey(Form.get(), Qt::Key_V, Qt::ControlModifier);
        } else {
            const QPoint at = Form->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(Form.get(), &enter);
            EXPECT_TRUE(enter.isAccepted());
            QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(Form.get(), &drop);
            delete mime;
        }
        TGDIPPicture* picture = Form->OrbReflectionImage1->Picture();
        EXPECT_EQ(QSize(picture->Width(), picture->Height()), c.Opened);
        EXPECT_TRUE(Script->Messages.isEmpty()) << Script->Messages.join(QLatin1Char('\n')).toStdString();
    }
    // A drag of plain text is refused.
    QMimeData text;
    text.setText(QStringLiteral("not a picture"));
    QDragEnterEvent enter(Form->rect().center(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(MainFormWindow, CtrlCCopiesTheComposedPictureWithItsTransparency)
{
    Open(TestDataPath(QStringLiteral("soft-edges-rgba-200x150.png")));
    Form->TrackBar1->Slider()->setValue(40);
    Form->TrackBar4->Slider()->setValue(3);
    QApplication::clipboard()->clear();
    PressKey(Form.get(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Form->CopyPending(); }, 60000));
    const QImage copied =
        QImage::fromData(QApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")), "PNG")
            .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(copied.size(), QSize(200, 150 + 3 + 40));
    EXPECT_TRUE(copied.hasAlphaChannel());
    // The gap under the picture is transparent, and the reflection's first
    // row is the picture's last one at the fade's start opacity.
    EXPECT_EQ(qAlpha(copied.pixel(100, 151)), 0);
    const QImage picture = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    const int start = Form->OrbReflectionImage1->ReflectionOpacityStart();
    EXPECT_EQ(qAlpha(copied.pixel(100, 153)), qRound(start / 255.0 * qAlpha(picture.pixel(100, 149))));
}

TEST_F(MainFormWindow, FitViewShowsTheWholePictureAndItsReflection)
{
    const QString big = Folder.filePath(QStringLiteral("quartered.png"));
    ASSERT_TRUE(QuarteredPicture(2400, 1600).save(big));
    Open(big);
    Form->TrackBar1->Slider()->setValue(200);
    Form->TrackBar2->Slider()->setValue(255);
    TImageView* view = Form->ImageView();
    const QRgb bottomRight = qRgb(255, 255, 0);

    // Opened fitted, as it is larger than the page; F switches to 100 %,
    // where the page shows the top-left part only, and back.
    ASSERT_TRUE(view->Fitted());
    PressKey(Form.get(), Qt::Key_F, Qt::NoModifier);
    ASSERT_FALSE(view->Fitted());
    const QImage actual = view->grab().toImage();
    EXPECT_GT(CountColour(actual, qRgb(255, 0, 0)), 1000);
    EXPECT_EQ(CountColour(actual, bottomRight), 0);
    PressKey(Form.get(), Qt::Key_F, Qt::NoModifier);
    ASSERT_TRUE(view->Fitted());
    const double scale = view->Scale();
    EXPECT_LT(scale, 0.5);
    const QImage fitted = view->grab().toImage();
    // Each quarter is there at its scaled size (edges blend smoothly).
    const double quarter = 1200 * 800 * scale * scale;
    for (QRgb colour : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), bottomRight})
        EXPECT_NEAR(CountColour(fitted, colour), quarter, quarter * 0.1) << std::hex << colour;
    // The reflection's first row, the bottom row mirrored at full opacity,
    // lies just below the picture, which starts at the view's top.
    const int below = qRound(1600 * scale) + qRound(1 * scale);
    EXPECT_EQ(fitted.pixel(qRound(2000 * scale), below) & 0xFFFFFF, bottomRight & 0xFFFFFF);
    EXPECT_TRUE(Form->ViewInfo().contains(QStringLiteral("2400 × 1600"))) << Form->ViewInfo().toStdString();

    // A picture that fits the page opens at 100 %.
    Open(TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")));
    EXPECT_FALSE(view->Fitted());
}

TEST_F(MainFormWindow, DoubleClickCountsAsOneClickOnTheLinkAndTheImage)
{
    int imageClicks = 0;
    Form->OrbReflectionImage1->SetOnClick(
        TNotifyEvent{QString(), [&imageClicks](QObject*) { ++imageClicks; }});
    struct TCase {
        QWidget* Target;
        std::function<int()> Clicks;
    } cases[] = {
        {Form->Label11, [this] { return int(Script->OpenedUrls.size()); }},
        {Form->OrbReflectionImage1, [&imageClicks] { return imageClicks; }},
    };
    const QEvent::Type sequence[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                     QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Target->objectName().toStdString());
        const QPointF local(c.Target->rect().center());
        const QPointF global(c.Target->mapToGlobal(local.toPoint()));
        for (QEvent::Type type : sequence) {
            QMouseEvent event(type, local, global, Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(c.Target, &event);
        }
        EXPECT_EQ(c.Clicks(), 1);
        // The next single click counts again.
        ClickAt(c.Target, local.toPoint());
        EXPECT_EQ(c.Clicks(), 2);
    }
}

TEST_F(MainFormWindow, CaptionNamesTheViewAndOffersOnlyWhatChangesIt)
{
    const QString big = Folder.filePath(QStringLiteral("quartered.png"));
    ASSERT_TRUE(QuarteredPicture(2400, 1600).save(big));
    const struct {
        const char* Name;
        QString File;
        bool PressF;
        const char* Caption;
    } cases[] = {
        {"larger than the page, fitted", big, false,
         "2400 × 1600 pixels, fitted to the page at %1 % (F for 100 %)"},
        {"larger than the page, 100 %", big, true, "2400 × 1600 pixels, 100 % (F to fit)"},
        {"small, 100 %", TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")), false,
         "320 × 240 pixels, 100 % (F to fit)"},
        {"small, fitted: it fits as it is", TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")), true,
         "320 × 240 pixels, 100 %, fits the page"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(c.File);
        if (c.PressF)
            PressKey(Form.get(), Qt::Key_F, Qt::NoModifier);
        QString expected = QString::fromUtf8(c.Caption);
        expected.replace(QStringLiteral("%1"), QString::number(qRound(Form->ImageView()->Scale() * 100)));
        EXPECT_EQ(Form->ViewInfo(), expected);
    }
}

TEST_F(MainFormWindow, StatusRowShowsTheSizeThePictureWillHaveWhenSaved)
{
    Open(TestDataPath(QStringLiteral("photo-opaque-320x240.jpg")));
    TStatusRow* status = Form->StatusRow();
    // 240 rows, the offset's one and the reflection's 50.
    EXPECT_EQ(status->OutputSize(), QStringLiteral("320 × 291 pixels when saved"));
    Form->TrackBar1->Slider()->setValue(100);
    EXPECT_EQ(status->OutputSize(), QStringLiteral("320 × 341 pixels when saved"));
    SwitchToPage(1);
    EXPECT_EQ(status->OutputSize(), QStringLiteral("972 × 540 pixels when saved"));
    Form->CheckBox1->click(); // trimmed to the text
    const QSize trimmed = Form->OutputSize();
    EXPECT_LT(trimmed.width(), 972);
    EXPECT_EQ(status->OutputSize(),
              QStringLiteral("%1 × %2 pixels when saved").arg(trimmed.width()).arg(trimmed.height()));
    // The save writes that size.
    const QString saved = Folder.filePath(QStringLiteral("trimmed.png"));
    SaveAs(saved);
    EXPECT_EQ(QImage(saved).size(), trimmed);
}

TEST_F(MainFormWindow, StyleWindowOpensBelowTheSlidersAndFollowsTheWindow)
{
    TStylePanel* panel = Form->StylePanel();
    ClickAt(Form->findChild<QWidget*>(QStringLiteral("StyleButton")), QPoint(5, 5));
    ASSERT_TRUE(panel->isVisible());
    const QRect topBar(Form->Panel1->mapToGlobal(QPoint(0, 0)), Form->Panel1->size());
    EXPECT_FALSE(panel->frameGeometry().intersects(topBar));
    const QPoint start = panel->pos();
    const QPoint formStart = Form->pos();
    Form->move(Form->pos() + QPoint(40, 30));
    QApplication::processEvents();
    // As far as the window moved (the platform may place it a pixel or two off).
    const QPoint moved = Form->pos() - formStart;
    EXPECT_GT(moved.manhattanLength(), 50);
    EXPECT_EQ(panel->pos(), start + moved);
    // A wider window takes the window along its right edge.
    const int width = Form->width();
    Form->resize(Form->width() + 100, Form->height());
    QApplication::processEvents();
    EXPECT_EQ(panel->pos(), start + (Form->pos() - formStart) + QPoint(Form->width() - width, 0));
    EXPECT_GT(Form->width() - width, 50);
    EXPECT_FALSE(panel->frameGeometry().intersects(
        QRect(Form->Panel1->mapToGlobal(QPoint(0, 0)), Form->Panel1->size())));
}

TEST_F(MainFormWindow, TopBarAndFooterTakeThePalettesColour)
{
    const QPalette previous = QApplication::palette();
    QPalette dark = previous;
    dark.setColor(QPalette::Window, QColor(40, 44, 52));
    dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
    QApplication::setPalette(dark);
    auto form = std::make_unique<TForm2>();
    form->show();
    QApplication::processEvents();
    QApplication::setPalette(previous);
    for (QWidget* panel : {static_cast<QWidget*>(form->Panel1), static_cast<QWidget*>(form->Panel2)}) {
        SCOPED_TRACE(panel->objectName().toStdString());
        const QImage shown = panel->grab().toImage();
        // A corner no control covers.
        EXPECT_EQ(shown.pixel(panel->width() - 3, panel->height() / 2) & 0xFFFFFF,
                  qRgb(40, 44, 52) & 0xFFFFFF);
    }
}

TEST_F(MainFormWindow, TextPageHasAButtonThatCopiesThePicture)
{
    SwitchToPage(1);
    auto* copy = Form->findChild<QPushButton*>(QStringLiteral("CopyPictureButton"));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->isVisible());
    EXPECT_TRUE(Form->TabSheet2->rect().contains(copy->geometry()));
    QApplication::clipboard()->clear();
    copy->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Form->CopyPending(); }, 60000));
    const QImage pasted =
        QImage::fromData(QApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")));
    EXPECT_EQ(pasted.size(), Form->OrbReflectionLabel1->size());
    EXPECT_EQ(Form->StatusRow()->Message(),
              QStringLiteral("Copied %1 × %2").arg(pasted.width()).arg(pasted.height()));
}

TEST_F(MainFormWindow, ShowTransparencyLaysACheckerboardWhereASaveIsTransparent)
{
    QImage half(300, 200, QImage::Format_ARGB32);
    half.fill(Qt::transparent);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 150; ++x)
            half.setPixel(x, y, qRgb(200, 30, 30));
    const QString file = Folder.filePath(QStringLiteral("half.png"));
    ASSERT_TRUE(half.save(file));
    Open(file);
    QCheckBox* toggle = Form->StatusRow()->TransparencyToggle();
    ASSERT_FALSE(toggle->isChecked());
    // The squares' grey: only a checkerboard has it in these pictures.
    const QRgb square = qRgb(204, 204, 204);
    const struct {
        const char* Name;
        bool Fitted, Toggle, TextPage, Transparent;
        bool Checkerboard;
    } cases[] = {
        {"100 %, off: the stored look", false, false, false, false, false},
        {"100 %, on", false, true, false, false, true},
        {"fitted, on", true, true, false, false, true},
        {"text page, on, with a background", false, true, true, false, false},
        {"text page, on, without background", false, true, true, true, true},
        {"text page, off, without background", false, false, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Form->ImageView()->SetFitted(c.Fitted);
        if (toggle->isChecked() != c.Toggle)
            toggle->click();
        if (Form->CheckBox2->isChecked() != c.Transparent)
            Form->CheckBox2->click();
        SwitchToPage(c.TextPage ? 1 : 0);
        QWidget* shown = c.TextPage ? static_cast<QWidget*>(Form->OrbReflectionLabel1)
                                    : static_cast<QWidget*>(Form->ImageView());
        EXPECT_EQ(UniformPatches(shown->grab().toImage(), square) > 10, c.Checkerboard);
    }
}

// "lumivex FILE" decodes the reduced picture while the window is made. The
// window takes it only when its page asks for the same reduction (the
// window opens with the page the prefetch guesses), and a pipe named at
// start is neither waited on by the prefetch nor by the window.
TEST_F(MainFormWindow, PictureNamedAtStartIsPrefetchedForTheOpeningPage)
{
    EXPECT_EQ(Form->ImageView()->viewport()->size() * Form->ImageView()->devicePixelRatio(),
              PreviewPrefetch::OpeningPage);
    const QString file = Folder.filePath(QStringLiteral("large.jpg"));
    ASSERT_TRUE(QuarteredPicture(4000, 3000).save(file, "jpeg", 90));
    const QSize page = PreviewPrefetch::OpeningPage;
    const struct {
        const char* Name;
        QString Started;
        QSize Asked;
        QSize Expected; // empty: nothing handed over
    } cases[] = {
        {"the page guessed", file, page, TQuickOpen::ReducedSize({4000, 3000}, page)},
        {"a page twice as large", file, page * 2, {}},
        {"another file", Folder.filePath(QStringLiteral("other.jpg")), page, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        PreviewPrefetch::Start(c.Started, page);
        QSize fullSize;
        const QImage taken = PreviewPrefetch::Take(file, c.Asked, &fullSize, nullptr);
        EXPECT_EQ(taken.isNull() ? QSize() : taken.size(), c.Expected);
        if (!c.Expected.isEmpty()) {
            EXPECT_EQ(fullSize, QSize(4000, 3000));
        }
        // Gone once asked for.
        EXPECT_TRUE(PreviewPrefetch::Take(file, c.Asked, nullptr, nullptr).isNull());
    }
    const QString pipe = Folder.filePath(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    PreviewPrefetch::Start(pipe, page);
    EXPECT_TRUE(PreviewPrefetch::Take(pipe, page, nullptr, nullptr).isNull());
    Form->OpenFileInBackground(pipe);
    ASSERT_EQ(Script->Messages.size(), 1);
    EXPECT_TRUE(Script->Messages[0].contains(QStringLiteral("not a regular file")))
        << Script->Messages[0].toStdString();
}

// "lumivex FILE" shows a large JPEG at once from a reduced decoding; the
// whole picture replaces it when decoded, and a save waits for it.
TEST_F(MainFormWindow, LargeJpegShowsAtOnceAndIsSavedWhole)
{
    const QString file = Folder.filePath(QStringLiteral("large.jpg"));
    ASSERT_TRUE(QuarteredPicture(4000, 3000).save(file, "jpeg", 90));
    const int storedWidth = Form->OrbReflectionImage1->Picture()->Width();
    Form->OpenFileInBackground(file);
    TImageView* view = Form->ImageView();
    // No event has been handled yet: the whole picture cannot have arrived.
    ASSERT_TRUE(Form->OpenPending());
    EXPECT_TRUE(view->ShowsPreview());
    EXPECT_TRUE(view->Fitted());
    EXPECT_EQ(Form->OrbReflectionImage1->Picture()->Width(), storedWidth);
    EXPECT_TRUE(Form->ViewInfo().startsWith(QStringLiteral("4000 × 3000 pixels, fitted")))
        << Form->ViewInfo().toStdString();
    // All four quarters are on the page already (JPEG moves colours a little).
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (QRgb colour : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)}) {
        int near = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb p = shown.pixel(x, y);
                near += std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                            std::abs(qBlue(p) - qBlue(colour)) <
                        30;
            }
        EXPECT_GT(near, 1000) << std::hex << colour;
    }
    // Saved straight away, the whole picture is written.
    const QString saved = Folder.filePath(QStringLiteral("saved.png"));
    SaveAs(saved);
    EXPECT_FALSE(Form->OpenPending());
    EXPECT_FALSE(view->ShowsPreview());
    EXPECT_EQ(Form->OrbReflectionImage1->Picture()->Width(), 4000);
    EXPECT_EQ(QImage(saved).size(), QSize(4000, 3051));
    EXPECT_EQ(Form->TrackBar1->Max(), 3000);
}
