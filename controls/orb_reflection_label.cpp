#include "controls/orb_reflection_label.h"

#include "toolkit/product_version.h"

#include "imaging/saving/reflection_output.h"
#include "markup/label/label_rendering.h"
#include "pictures/html_picture_cache.h"
#include "pictures/picture_container.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/image_list.h"
#include "toolkit/strings.h"
#include "toolkit/widgets/user_interaction.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <exception>

namespace
{
constexpr int InitialWidth = 185, InitialHeight = 40;
constexpr int InitialFontSize = 12;

QString WithoutLineBreaks(QString Text)
{
    Text.remove(QLatin1Char('\r'));
    Text.remove(QLatin1Char('\n'));
    return Text;
}
} // namespace

TOrbReflectionLabel::TOrbReflectionLabel(QWidget* Parent)
    : TControl(Parent), FHTMLText(std::make_unique<TStrings>()),
      FRendering(std::make_unique<TLabelRendering>())
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setMouseTracking(true);
    FHTMLText->OnChange = [this](TStrings*) { MarkupTextChanged(); };
    // Painting and hit testing go through the overridable RenderMarkup.
    FRendering->RenderHook = [this](TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request) {
        return RenderMarkup(Canvas, Markup, Request);
    };
    Font()->SetSize(InitialFontSize);
    Font()->SetStyle(TFont::fsBold);
    resize(InitialWidth, InitialHeight);
}

TOrbReflectionLabel::~TOrbReflectionLabel()
{
    FHTMLText->OnChange = nullptr;
    FRendering->RenderHook = nullptr;
    if (FImages)
        FImages->OnChange = nullptr;
    FRendering->PictureCache()->ClearPictures();
}

void TOrbReflectionLabel::MarkupTextChanged()
{
    // Pictures loaded for the old text may not be wanted by the new one.
    FRendering->PictureCache()->ClearPictures();
    InvalidateReflection();
}

void TOrbReflectionLabel::SetHTMLText(TStrings* Value)
{
    if (Value) {
        const QString text = WithoutLineBreaks(Value->Text());
        // Setting the text notifies, which empties the picture cache.
        FHTMLText->SetText(text);
    }
    InvalidateReflection();
}

void TOrbReflectionLabel::SetMarkup(const QString& Value)
{
    const QString text = WithoutLineBreaks(Value);
    if (text == MarkupText())
        return;
    FHTMLText->SetText(text);
}

void TOrbReflectionLabel::SetHint(const QString& Value)
{
    FHint = Value;
    setToolTip(FShowHint ? FHint : QString());
}

void TOrbReflectionLabel::SetShowHint(bool Value)
{
    FShowHint = Value;
    FParentShowHint = false;
    setToolTip(FShowHint ? FHint : QString());
}

bool TOrbReflectionLabel::IsHTMLTextStored() const
{
    return FHTMLText->Count() > 0;
}

void TOrbReflectionLabel::SetImages(TImageList* Value)
{
    if (FImages && FImages != Value)
        FImages->OnChange = nullptr;
    FImages = Value;
    if (FImages) {
        QPointer<TOrbReflectionLabel> self(this);
        FImages->OnChange = [self](TImageList*) {
            if (self)
                self->InvalidateReflection();
        };
    }
    RequestRepaint();
}

void TOrbReflectionLabel::SetReflectionValue(TReflectionValues::TValue Which, int Value)
{
    ReflectionValueChanged(FValues.Set(Which, Value));
}

void TOrbReflectionLabel::SetReflectionDirection(TReflectionSide Value)
{
    ReflectionValueChanged(FValues.SetDirection(TReflectionDirection(Value)));
}

void TOrbReflectionLabel::ReflectionValueChanged(const TReflectionChange& Change)
{
    if (!Change.Any())
        return;
    FRendering->Parameters = FValues.Parameters();
    // A new height of the reflection waits for the next paint, which draws
    // the text again and captures it.
    if (Change.Resize) {
        InvalidateReflection();
        return;
    }
    if (Change.Rebuild)
        BuildReflection();
    RequestRepaint();
}

void TOrbReflectionLabel::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    InvalidateReflection();
}

TColor TOrbReflectionLabel::URLColor() const
{
    return FRendering->URLColor;
}

void TOrbReflectionLabel::SetURLColor(TColor Value)
{
    if (Value == FRendering->URLColor)
        return;
    FRendering->URLColor = Value;
    // Anchors are part of the reflected text.
    InvalidateReflection();
}

int TOrbReflectionLabel::VersionNumber() const
{
    return static_cast<int>(ProductVersionNumber());
}

QString TOrbReflectionLabel::Version() const
{
    return PackedVersionText(static_cast<std::uint32_t>(VersionNumber()));
}

QString TOrbReflectionLabel::MarkupText() const
{
    return FHTMLText->Lines().join(QString());
}

TMarkupResult TOrbReflectionLabel::RenderMarkup(TCanvas& Canvas, const QString& Markup,
                                                const TMarkupRequest& Request)
{
    SyncRendering();
    return FRendering->RenderMarkup(Canvas, Markup, Request);
}

void TOrbReflectionLabel::RequestRepaint()
{
    update();
}

void TOrbReflectionLabel::InvalidateReflection()
{
    FRendering->InvalidateReflection();
    RequestRepaint();
}

void TOrbReflectionLabel::BuildReflection()
{
    if (IsLoading())
        return;
    // The text area as last captured, without any reflection drawn into it:
    // rebuilding from the screen would mirror the old reflection as well.
    if (FRendering->RebuildPending() || !FRendering->HasReflection())
        return;
    FRendering->RebuildFromLastCapture();
}

int TOrbReflectionLabel::MarkupWidth() const
{
    return FRendering->MarkupWidth();
}

int TOrbReflectionLabel::MarkupHeight() const
{
    return FRendering->MarkupHeight();
}

int TOrbReflectionLabel::MarkupLeft() const
{
    return FRendering->MarkupLeft();
}

const QImage& TOrbReflectionLabel::ReflectionBitmap() const
{
    return FRendering->ReflectionBitmap();
}

bool TOrbReflectionLabel::HasReflection() const
{
    return FRendering->HasReflection();
}

THTMLPictureCache* TOrbReflectionLabel::PictureCache() const
{
    return FRendering->PictureCache();
}

TColor TOrbReflectionLabel::AncestorColor() const
{
    for (const QWidget* widget = parentWidget(); widget; widget = widget->parentWidget()) {
        const auto* control = qobject_cast<const TControl*>(widget);
        if (!control) {
            const QColor window = widget->palette().window().color();
            return RGBToColor(window.red(), window.green(), window.blue());
        }
        if (!control->ParentColor())
            return control->Color();
    }
    return clWhite;
}

TColor TOrbReflectionLabel::ShownColor() const
{
    return ParentColor() ? AncestorColor() : Color();
}

TColor TOrbReflectionLabel::BackgroundColor() const
{
    // A transparent label shows what lies behind it.
    return FTransparent ? AncestorColor() : ShownColor();
}

void TOrbReflectionLabel::SyncRendering()
{
    FRendering->Images = FImages;
    FRendering->PictureContainer = FPictureContainer;
    if (!(*FRendering->Font() == *Font()))
        FRendering->Font()->CopyFrom(Font());
    const TColor background = ColorToRGB(BackgroundColor());
    if (background != FRendering->Background) {
        FRendering->Background = background;
        FRendering->InvalidateReflection();
    }
}

const QImage& TOrbReflectionLabel::Surface()
{
    if (FSurface.size() != size())
        PaintSurface();
    return FSurface;
}

void TOrbReflectionLabel::PaintSurface()
{
    if (FPainting)
        return;
    FPainting = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FPainting};
    SetCaption(QString());
    SyncRendering();
    const QSize area(std::max(1, width()), std::max(1, height()));
    if (FSurface.size() != area) {
        FSurface = QImage(area, QImage::Format_RGB32);
        if (FSurface.isNull())
            return;
    }
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    FRendering->Paint(FSurface, MarkupText(), cursor, FAnchorIndex, IsLoading());
}

QString TOrbReflectionLabel::AnchorAt(int X, int Y, QRect* AnchorRect)
{
    SyncRendering();
    if (FSurface.size() != size())
        PaintSurface();
    QString anchor;
    QRect rect;
    int index = -1;
    if (FSurface.isNull() || !FRendering->AnchorAt(FSurface, MarkupText(), X, Y, anchor, rect, index)) {
        FAnchorIndex = -1;
        if (AnchorRect)
            *AnchorRect = QRect(QPoint(-1, -1), QPoint(-2, -2));
        return QString();
    }
    FAnchorIndex = index;
    if (AnchorRect)
        *AnchorRect = rect;
    return anchor;
}

void TOrbReflectionLabel::MouseMoved(Qt::KeyboardModifiers Shift, int X, int Y)
{
    Q_UNUSED(Shift);
    FOnMouseMove(this);
    QRect rect;
    const QString anchor = AnchorAt(X, Y, &rect);
    if (!anchor.isEmpty()) {
        if (Cursor() == crDefault || anchor != FLastAnchor || FLastAnchorIndex != FAnchorIndex)
            SetCursor(crHandPoint);
        FLastAnchor = anchor;
        FLastAnchorIndex = FAnchorIndex;
        FLastAnchorRect = rect;
    } else if (Cursor() == crHandPoint) {
        SetCursor(crDefault);
        FLastAnchorRect = rect;
    }
}

void TOrbReflectionLabel::MousePressed(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    Q_UNUSED(Shift);
    FLastMouseButton = Button;
    FOnMouseDown(this);
    const QString anchor = AnchorAt(X, Y);
    // A markup text is data: only web and mail addresses leave the program.
    if (!anchor.isEmpty() && IsOpenableAnchor(anchor))
        UserInteraction().OpenUrl(anchor);
}

void TOrbReflectionLabel::Rename(const QString& NewName)
{
    const bool follows = !IsLoading() && FHTMLText->Text() == objectName();
    setObjectName(NewName);
    if (follows)
        FHTMLText->SetText(NewName);
}

bool TOrbReflectionLabel::SaveReflection(const QString& FileName, ImageSaveFormat Format, QString* Reason)
{
    // What the current settings show, even when the last repaint has not
    // happened yet.
    PaintSurface();
    if (!FRendering->HasReflection()) {
        if (Reason)
            *Reason = QStringLiteral("there is no text to save");
        return false;
    }
    return SaveReflectionFile(FSurface, Format, FileName, Reason) == TGpStatus::Ok;
}

QImage TOrbReflectionLabel::Picture(const TLabelPictureOptions& Options, QString* Reason)
{
    SyncRendering();
    return FRendering->Picture(MarkupText(), QSize(std::max(1, width()), std::max(1, height())), Options,
                               Reason);
}

QImage TOrbReflectionLabel::ScreenPicture(double Ratio, bool Transparent)
{
    SyncRendering();
    return FRendering->ScreenPicture(MarkupText(), QSize(std::max(1, width()), std::max(1, height())), Ratio,
                                     QPoint(-1, -1), -1, Transparent);
}

bool TOrbReflectionLabel::SaveReflection(const QString& FileName, ImageSaveFormat Format,
                                         const TLabelPictureOptions& Options, QString* Reason)
{
    if (!Options.Trim && !Options.Transparent)
        return SaveReflection(FileName, Format, Reason);
    const QImage picture = SavedPicture(Format, Options, Reason);
    if (picture.isNull())
        return false;
    return SaveReflectionFile(picture, Format, FileName, Reason) == TGpStatus::Ok;
}

QImage TOrbReflectionLabel::SavedPicture(ImageSaveFormat Format, const TLabelPictureOptions& Options,
                                         QString* Reason)
{
    QImage picture;
    try {
        if (!Options.Trim && !Options.Transparent) {
            PaintSurface();
            if (!FRendering->HasReflection()) {
                if (Reason)
                    *Reason = QStringLiteral("there is no text to save");
                return {};
            }
            return FSurface;
        }
        picture = Picture(Options, Reason);
    } catch (const std::exception& error) {
        if (Reason)
            *Reason = QString::fromUtf8(error.what());
        return {};
    }
    if (picture.isNull())
        return {};
    return PictureForFormat(picture, Format, FRendering->Background);
}

void TOrbReflectionLabel::LayoutLoaded()
{
    TControl::LayoutLoaded();
    SetCaption(QString());
    InvalidateReflection();
}

void TOrbReflectionLabel::FontChanged()
{
    TControl::FontChanged();
    InvalidateReflection();
}

void TOrbReflectionLabel::paintEvent(QPaintEvent* Event)
{
    Q_UNUSED(Event);
    PaintSurface();
    QPainter painter(this);
    // A high-density screen gets the text and its reflection drawn at its own
    // density, not the one-to-one surface enlarged; that surface stays what
    // saves and hit tests use.
    const QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    const qreal ratio = device ? device->devicePixelRatio() : devicePixelRatio();
    if (ratio > 1.0 && !FSurface.isNull()) {
        try {
            const QImage screen = FRendering->ScreenPicture(MarkupText(), FSurface.size(), ratio,
                                                            mapFromGlobal(QCursor::pos()), FAnchorIndex);
            if (!screen.isNull()) {
                painter.drawImage(QPoint(0, 0), screen);
                return;
            }
        } catch (const std::exception&) {
            // Not enough memory for the dense picture: the plain one will do.
        }
    }
    painter.drawImage(QPoint(0, 0), FSurface);
}

void TOrbReflectionLabel::resizeEvent(QResizeEvent* Event)
{
    TControl::resizeEvent(Event);
    if (!IsLoading())
        InvalidateReflection();
}

void TOrbReflectionLabel::changeEvent(QEvent* Event)
{
    TControl::changeEvent(Event);
    // A new colour of the label or of what shows behind it is part of the
    // reflected area.
    if (Event->type() == QEvent::PaletteChange)
        RequestRepaint();
}

void TOrbReflectionLabel::enterEvent(QEnterEvent* Event)
{
    TControl::enterEvent(Event);
    FOnMouseEnter(this);
}

void TOrbReflectionLabel::leaveEvent(QEvent* Event)
{
    // The cursor stays as it is; only the hot anchor is forgotten.
    FAnchorIndex = -1;
    TControl::leaveEvent(Event);
    FOnMouseLeave(this);
}

void TOrbReflectionLabel::mousePressEvent(QMouseEvent* Event)
{
    TControl::mousePressEvent(Event);
    const QPoint point = Event->position().toPoint();
    MousePressed(Event->button(), Event->modifiers(), point.x(), point.y());
}

void TOrbReflectionLabel::mouseMoveEvent(QMouseEvent* Event)
{
    TControl::mouseMoveEvent(Event);
    const QPoint point = Event->position().toPoint();
    MouseMoved(Event->modifiers(), point.x(), point.y());
}

void TOrbReflectionLabel::mouseReleaseEvent(QMouseEvent* Event)
{
    TControl::mouseReleaseEvent(Event);
    FLastMouseButton = Event->button();
    FOnMouseUp(this);
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        Click();
}

void TOrbReflectionLabel::mouseDoubleClickEvent(QMouseEvent* Event)
{
    TControl::mouseDoubleClickEvent(Event);
    if (Event->button() == Qt::LeftButton)
        FOnDblClick(this);
}
