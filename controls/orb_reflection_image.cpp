#include "controls/orb_reflection_image.h"

#include "imaging/reflection/reflection_block.h"
#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/reflection/reflection_style.h"
#include "imaging/saving/reflection_output.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/pen.h"
#include "toolkit/product_version.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

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

void TOrbReflectionImage::SetReflectionValue(TReflectionValues::TValue Which, int Value)
{
    ReflectionValueChanged(FValues.Set(Which, Value));
}

void TOrbReflectionImage::SetReflectionDirection(TReflectionSide Value)
{
    ReflectionValueChanged(FValues.SetDirection(TReflectionDirection(Value)));
}

void TOrbReflectionImage::ReflectionValueChanged(const TReflectionChange& Change)
{
    if (Change.Rebuild)
        BuildReflection();
    if (Change.Resize && FAutoSize)
        FitToPicture();
    if (Change.Any())
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
    // Decoding happens here, so an undecodable picture is known at once; the
    // pixels of the reflection wait until something reads or shows them.
    const QImage& picture = FPicture->DecodedImage();
    FReflection = QImage();
    FReflectionStale = !picture.isNull();
    ReflectionChanged();
    FHasReflection = true;
}

void TOrbReflectionImage::ReflectionChanged()
{
    FScreenBlock = QImage();
    FScreenBlockArea = QRect();
}

const QImage& TOrbReflectionImage::ReflectionBitmap() const
{
    if (!FReflectionStale)
        return FReflection;
    QImage reflection;
    try {
        reflection = BuildReflectionImage(FPicture->DecodedImage(), FValues.Parameters());
        if (reflection.isNull())
            throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
        throw std::runtime_error("Could not allocate memory for reflection image");
    }
    FReflection = reflection;
    FReflectionStale = false;
    return FReflection;
}

void TOrbReflectionImage::FitToPicture()
{
    if (FPicture->IsEmpty())
        return;
    FPicture->MeasureImage();
    const TReflectionDirection side = FValues.Direction();
    const QSize turned = TurnedSize(QSize(FPicture->Width(), FPicture->Height()), side);
    const QSize fitted = TurnedSize(QSize(turned.width(), turned.height() + FValues.Parameters().Size), side);
    SetWidth(fitted.width());
    SetHeight(fitted.height());
}

void TOrbReflectionImage::DrawOnCanvas(TCanvas& Canvas)
{
    DrawArea(Canvas, rect());
}

void TOrbReflectionImage::DrawArea(TCanvas& Canvas, const QRect& Area)
{
    if (FPicture->IsEmpty()) {
        Canvas.Pen()->SetStyle(TPen::psDot);
        Canvas.Pen()->SetColor(clBlue);
        Canvas.Brush()->SetStyle(TBrush::bsClear);
        Canvas.Rectangle(0, 0, width(), height());
        return;
    }
    FPicture->MeasureImage();
    const int pictureHeight = FPicture->Height();
    const QImage& picture = FPicture->DecodedImage();
    if (FValues.Direction() != TReflectionDirection::Below && !picture.isNull()) {
        DrawOnSide(Canvas, Area, picture);
        return;
    }
    if (FHasReflection && !picture.isNull()) {
        // The part of the reflection under Area, in reflection coordinates.
        const QPoint origin(0, pictureHeight + FValues.Parameters().Axis);
        const QRect wanted = Area.translated(-origin).intersected(
            QRect(0, 0, picture.width(), SquashedMirrorHeight(picture.height(), FValues.Parameters())));
        if (!wanted.isEmpty()) {
            if (FScreenBlock.isNull() || !FScreenBlockArea.contains(wanted)) {
                FScreenBlock = BuildReflectionBlock(picture, FValues.Parameters(), wanted);
                FScreenBlockArea = FScreenBlock.isNull() ? QRect() : wanted;
            }
            if (!FScreenBlock.isNull())
                Canvas.DrawImage(QRect(FScreenBlockArea.topLeft() + origin, FScreenBlockArea.size()),
                                 FScreenBlock, true);
        }
    }
    Canvas.Draw(0, 0, FPicture.get());
}

void TOrbReflectionImage::DrawOnSide(TCanvas& Canvas, const QRect& Area, const QImage& Picture)
{
    // The blocks are made below, from the picture turned so that the side
    // is at the bottom (kept while only the values change), and turned
    // back: only the part under Area is computed, as below.
    const TReflectionParameters& values = FValues.Parameters();
    const TReflectionDirection side = values.Direction;
    const TComposedPlaces places = ComposedPlaces(Picture.size(), values);
    if (FHasReflection) {
        if (FTurned.isNull() || FTurnedSource != Picture.cacheKey() || FTurnedSide != side) {
            FTurned = TurnedToBelow(Picture, side);
            FTurnedSource = Picture.cacheKey();
            FTurnedSide = side;
            ReflectionChanged();
        }
        const QSize turned = FTurned.size();
        const QSize frame(turned.width(), ComposedHeight(turned.height(), values));
        const QPoint origin(0, turned.height() + values.Axis);
        const QRect wanted =
            TurnedArea(Area, frame, side)
                .translated(-origin)
                .intersected(QRect(0, 0, turned.width(), SquashedMirrorHeight(turned.height(), values)));
        if (!FTurned.isNull() && !wanted.isEmpty()) {
            if (FScreenBlock.isNull() || !FScreenBlockArea.contains(wanted)) {
                const QImage block = BuildReflectionBlock(FTurned, AsBelow(values), wanted);
                FScreenBlock = block.isNull() ? block : TurnedBack(block, side);
                FScreenBlockArea = FScreenBlock.isNull() ? QRect() : wanted;
            }
            if (!FScreenBlock.isNull())
                Canvas.DrawImage(TurnedBackArea(FScreenBlockArea.translated(origin), frame, side),
                                 FScreenBlock, true);
        }
    }
    Canvas.Draw(places.Picture.x(), places.Picture.y(), FPicture.get());
}

bool TOrbReflectionImage::SaveReflection(const QString& FileName, ImageSaveFormat Format, QString* Reason)
{
    if (!FHasReflection) {
        if (Reason)
            *Reason = QStringLiteral("there is no picture to save");
        return false;
    }
    const QImage& picture = FPicture->DecodedImage();
    if (picture.isNull()) {
        if (Reason)
            *Reason = FPicture->LastError().isEmpty() ? QStringLiteral("the picture cannot be decoded")
                                                      : FPicture->LastError();
        return false;
    }
    // The composition goes to the encoder band by band: neither a full
    // reflection nor a composed copy is made beside the shown picture. The
    // opened file's colour profile and metadata go with it, as the window
    // and the command line write them: without its profile a wide-gamut
    // photo's colours would be read as sRGB and look washed out.
    return SaveReflectionFile(picture, FValues.Parameters(), Format, FileName, Reason, DefaultSaveQuality,
                              &FPicture->Packets()) == TGpStatus::Ok;
}

void TOrbReflectionImage::paintEvent(QPaintEvent* Event)
{
    QPainter painter(this);
    TCanvas canvas(&painter);
    DrawArea(canvas, Event->rect());
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
    const bool endsDoubleClick = std::exchange(FReleaseEndsDoubleClick, false);
    if (Event->button() == Qt::LeftButton && !endsDoubleClick && rect().contains(Event->position().toPoint()))
        Click();
}

void TOrbReflectionImage::mouseDoubleClickEvent(QMouseEvent* Event)
{
    TControl::mouseDoubleClickEvent(Event);
    if (Event->button() == Qt::LeftButton) {
        FReleaseEndsDoubleClick = true;
        FOnDblClick(this);
    }
}
