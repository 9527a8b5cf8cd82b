// The window as a desktop image tool: keys, clipboard, drops, the fit view
// and clicks on the footer, through the real window on the offscreen platform.

#include "tests/app/main_form_fixture.h"

#include "app/image_view.h"
#include "controls/orb_reflection_image.h"
#include "imaging/gdip_picture.h"
#include "tests/support/test_data.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/track_bar.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <functional>

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

int CountColour(const QImage& Image, QRgb Colour)
{
    int count = 0;
    const QImage rgb = Image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            count += (rgb.pixel(x, y) & 0xFFFFFF) == (Colour & 0xFFFFFF);
    return count;
}

// Presses a key as the user would: through the window's shortcuts, which
// only an active window receives.
void PressKey(QWidget* Window, int Key, Qt::KeyboardModifiers Modifiers)
{
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window));
    QTest::keyClick(Window, Qt::Key(Key), Modifiers);
    QApplication::processEvents();
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
