#include "controls/orb_reflection_image.h"

#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/reflection_output.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/pen.h"
#include "toolkit/product_version.h"

#include <QMouseEvent>
#include <QPainter>
#include <new>
#include <stdexcept>

namespace
{
bool IsOpacity(int Value)
{
    return Value >= 0 && Value <= 255;
}
} // namespace

TOrbReflectionImage::TOrbReflectionImage(QWidget* Parent)
    : TControl(Parent), FOfficeHint(std::make_unique<TOrbHintInfo>()),
      FPicture(std::make_unique<TGDIPPicture>())
{
    // Windowless in spirit: whatever the parent painted shows through.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    resize(32, 32);
    FPicture->OnChange = [this](TGraphic*) { PictureChanged(); };
}

TOrbReflectionImage::~TOrbReflectionImage()
{
    FPicture->OnChange = nullptr;
}

void TOrbReflectionImage::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    if (FAutoSize)
        FitToPicture();
}

void TOrbReflectionImage::SetPicture(TGDIPPicture* Value)
{
    FPicture->CopyFrom(Value);
    update();
}

void TOrbReflectionImage::SetOfficeHint(TOrbHintInfo* Value)
{
    FOfficeHint->CopyFrom(Value);
}

void TOrbReflectionImage::SetReflectionOpacityStart(int Value)
{
    if (!IsOpacity(Value) || Value == FParameters.OpacityStart)
        return;
    FParameters.OpacityStart = Value;
    BuildReflection();
    update();
}

void TOrbReflectionImage::SetReflectionOpacityEnd(int Value)
{
    if (!IsOpacity(Value) || Value == FParameters.OpacityEnd)
        return;
    FParameters.OpacityEnd = Value;
    BuildReflection();
    update();
}

void TOrbReflectionImage::SetReflectionSize(int Value)
{
    // A negative size would show no reflection and shrink the control below
    // its picture; it is refused like an out-of-range opacity.
    if (Value < 0 || Value == FParameters.Size)
        return;
    FParameters.Size = Value;
    BuildReflection();
    if (FAutoSize)
        FitToPicture();
    update();
}

void TOrbReflectionImage::SetReflectionAxis(int Value)
{
    if (Value == FParameters.Axis)
        return;
    FParameters.Axis = Value;
    update();
}

int TOrbReflectionImage::VersionNumber() const
{
    return static_cast<int>(ProductVersionNumber());
}

QString TOrbReflectionImage::Version() const
{
    return PackedVersionText(static_cast<std::uint32_t>(VersionNumber()));
}

void TOrbReflectionImage::PictureChanged()
{
    BuildReflection();
    if (FAutoSize)
        FitToPicture();
    update();
}

void TOrbReflectionImage::LayoutLoaded()
{
    TControl::LayoutLoaded();
    BuildReflection();
}

void TOrbReflectionImage::BuildReflection()
{
    if (FPicture->IsEmpty() || IsLoading())
        return;
    FPicture->MeasureImage();
    const QImage& picture = FPicture->DecodedImage();
    QImage reflection;
    try {
        if (!picture.isNull()) {
            reflection = BuildReflectionImage(picture, FParameters);
            if (reflection.isNull())
                throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        // The previous reflection stays in place.
        throw std::runtime_error("Could not allocate memory for reflection image");
    }
    FReflection = reflection;
    FReflectionForScreen = QImage();
    FHasReflection = true;
}

void TOrbReflectionImage::FitToPicture()
{
    if (FPicture->IsEmpty())
        return;
    FPicture->MeasureImage();
    SetWidth(FPicture->Width());
    SetHeight(FPicture->Height() + FParameters.Size);
}

void TOrbReflectionImage::DrawOnCanvas(TCanvas& Canvas)
{
    if (FPicture->IsEmpty()) {
        Canvas.Pen()->SetStyle(TPen::psDot);
        Canvas.Pen()->SetColor(clBlue);
        Canvas.Brush()->SetStyle(TBrush::bsClear);
        Canvas.Rectangle(0, 0, width(), height());
        return;
    }
    FPicture->MeasureImage();
    const int pictureWidth = FPicture->Width();
    const int pictureHeight = FPicture->Height();
    if (FHasReflection && !FReflection.isNull()) {
        if (FReflectionForScreen.isNull())
            FReflectionForScreen = FReflection.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        Canvas.DrawImage(QRect(0, pictureHeight + FParameters.Axis, pictureWidth, pictureHeight),
                         FReflectionForScreen, true);
    }
    Canvas.Draw(0, 0, FPicture.get());
}

bool TOrbReflectionImage::SaveReflection(const QString& FileName, ImageSaveFormat Format, QString* Reason)
{
    if (!FHasReflection) {
        if (Reason)
            *Reason = QStringLiteral("there is no picture to save");
        return false;
    }
    const QImage& picture = FPicture->DecodedImage();
    if (picture.isNull() || FReflection.isNull()) {
        if (Reason)
            *Reason = FPicture->LastError().isEmpty() ? QStringLiteral("the picture cannot be decoded")
                                                      : FPicture->LastError();
        return false;
    }
    const QImage composed = ComposeReflection(picture, FReflection, FParameters);
    if (composed.isNull()) {
        if (Reason)
            *Reason = QStringLiteral("not enough memory for a %1 × %2 image")
                          .arg(picture.width())
                          .arg(ComposedHeight(picture.height(), FParameters));
        return false;
    }
    return SaveReflectionFile(composed, Format, FileName, Reason) == TGpStatus::Ok;
}

void TOrbReflectionImage::paintEvent(QPaintEvent* Event)
{
    Q_UNUSED(Event);
    QPainter painter(this);
    TCanvas canvas(&painter);
    DrawOnCanvas(canvas);
}

void TOrbReflectionImage::enterEvent(QEnterEvent* Event)
{
    TControl::enterEvent(Event);
    FOnMouseEnter(this);
}

void TOrbReflectionImage::leaveEvent(QEvent* Event)
{
    TControl::leaveEvent(Event);
    FOnMouseLeave(this);
}

void TOrbReflectionImage::mouseReleaseEvent(QMouseEvent* Event)
{
    TControl::mouseReleaseEvent(Event);
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        Click();
}

void TOrbReflectionImage::mouseDoubleClickEvent(QMouseEvent* Event)
{
    TControl::mouseDoubleClickEvent(Event);
    if (Event->button() == Qt::LeftButton)
        FOnDblClick(this);
}
