#pragma once

#include "controls/orb_hint_info.h"
#include "controls/reflection_side.h"
#include "controls/reflection_values.h"
#include "imaging/gdip_picture.h"
#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/save_formats.h"
#include "toolkit/notify_event.h"
#include "toolkit/widgets/control.h"

#include <QImage>
#include <memory>

class TCanvas;

// Shows a picture standing on a mirrored, fading copy of itself. The
// reflection is computed once per change of the picture or of the fade and
// cached; painting only blends the two images. The control paints over its
// parent's background.
class TOrbReflectionImage : public TControl
{
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft DESIGNABLE false)
    Q_PROPERTY(int Top READ Top WRITE SetTop DESIGNABLE false)
    Q_PROPERTY(int Width READ Width WRITE SetWidth DESIGNABLE false)
    Q_PROPERTY(int Height READ Height WRITE SetHeight DESIGNABLE false)
    Q_PROPERTY(TControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TGDIPPicture* Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(TOrbHintInfo* OfficeHint READ OfficeHint WRITE SetOfficeHint)
    Q_PROPERTY(int ReflectionOpacityStart READ ReflectionOpacityStart WRITE SetReflectionOpacityStart)
    Q_PROPERTY(int ReflectionOpacityEnd READ ReflectionOpacityEnd WRITE SetReflectionOpacityEnd)
    Q_PROPERTY(int ReflectionSize READ ReflectionSize WRITE SetReflectionSize)
    Q_PROPERTY(int ReflectionAxis READ ReflectionAxis WRITE SetReflectionAxis)
    Q_PROPERTY(int ReflectionBlur READ ReflectionBlur WRITE SetReflectionBlur)
    Q_PROPERTY(int ReflectionScale READ ReflectionScale WRITE SetReflectionScale)
    Q_PROPERTY(TReflectionTypes::TReflectionSide ReflectionDirection READ ReflectionDirection WRITE
                   SetReflectionDirection)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion DESIGNABLE false)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick READ OnDblClick WRITE SetOnDblClick)
    Q_PROPERTY(TNotifyEvent OnMouseEnter READ OnMouseEnter WRITE SetOnMouseEnter)
    Q_PROPERTY(TNotifyEvent OnMouseLeave READ OnMouseLeave WRITE SetOnMouseLeave)
  public:
    explicit TOrbReflectionImage(QWidget* Parent = nullptr);
    ~TOrbReflectionImage() override;

    Q_INVOKABLE bool IsAlignStored() const { return Align() != alNone; }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

    // Copies Value into the control's own picture, which then rebuilds.
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* Value);

    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    Q_INVOKABLE bool IsShowHintStored() const { return FShowHint; }

    TOrbHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TOrbHintInfo* Value);

    // The reflection values together; ImageReflectionDefaults at first.
    const TReflectionParameters& ReflectionParameters() const { return FValues.Parameters(); }

    // Each setter takes its value by the row of reflection_ranges.h:
    // opacities outside 0..255 are ignored, the style (reflection_style.h)
    // is clamped to 0..100 and 10..100, as a stored layout from elsewhere may
    // hold any number, and unchanged values do nothing. A negative size is
    // ignored as well: the control fits its height to picture plus size, and
    // a negative one would hide the picture's last rows while showing no
    // reflection (the label, whose height never follows its reflection,
    // stores one). The axis only moves the reflection: no rebuild, no resize.
    int ReflectionOpacityStart() const { return FValues.Get(&TReflectionParameters::OpacityStart); }
    void SetReflectionOpacityStart(int Value)
    {
        SetReflectionValue(&TReflectionParameters::OpacityStart, Value);
    }
    Q_INVOKABLE bool IsReflectionOpacityStartStored() const
    {
        return FValues.IsStored(&TReflectionParameters::OpacityStart);
    }
    int ReflectionOpacityEnd() const { return FValues.Get(&TReflectionParameters::OpacityEnd); }
    void SetReflectionOpacityEnd(int Value) { SetReflectionValue(&TReflectionParameters::OpacityEnd, Value); }
    Q_INVOKABLE bool IsReflectionOpacityEndStored() const
    {
        return FValues.IsStored(&TReflectionParameters::OpacityEnd);
    }
    int ReflectionSize() const { return FValues.Get(&TReflectionParameters::Size); }
    void SetReflectionSize(int Value) { SetReflectionValue(&TReflectionParameters::Size, Value); }
    Q_INVOKABLE bool IsReflectionSizeStored() const { return FValues.IsStored(&TReflectionParameters::Size); }
    int ReflectionAxis() const { return FValues.Get(&TReflectionParameters::Axis); }
    void SetReflectionAxis(int Value) { SetReflectionValue(&TReflectionParameters::Axis, Value); }
    Q_INVOKABLE bool IsReflectionAxisStored() const { return FValues.IsStored(&TReflectionParameters::Axis); }
    int ReflectionBlur() const { return FValues.Get(&TReflectionParameters::Blur); }
    void SetReflectionBlur(int Value) { SetReflectionValue(&TReflectionParameters::Blur, Value); }
    Q_INVOKABLE bool IsReflectionBlurStored() const { return FValues.IsStored(&TReflectionParameters::Blur); }
    int ReflectionScale() const { return FValues.Get(&TReflectionParameters::Scale); }
    void SetReflectionScale(int Value) { SetReflectionValue(&TReflectionParameters::Scale, Value); }
    Q_INVOKABLE bool IsReflectionScaleStored() const
    {
        return FValues.IsStored(&TReflectionParameters::Scale);
    }

    TReflectionSide ReflectionDirection() const { return TReflectionSide(FValues.Direction()); }
    void SetReflectionDirection(TReflectionSide Value);
    Q_INVOKABLE bool IsReflectionDirectionStored() const { return FValues.IsDirectionStored(); }

    // The program's version with build 0 ("1.5.0.0"); a stored version text is
    // read and discarded.
    QString Version() const;
    void SetVersion(const QString& Value) { Q_UNUSED(Value); }
    virtual int VersionNumber() const;

    Q_INVOKABLE bool IsVisibleStored() const { return !Visible(); }

    // Code generated from a Qt Designer form (uic) calls each changed
    // property's setter as set<Property>; these let such a form compile.
    // (Designer edits the position and size as the geometry, and the version
    // not at all.)
    void setAlign(TAlign Value) { SetAlign(Value); }
    void setAutoSize(bool Value) { SetAutoSize(Value); }
    void setShowHint(bool Value) { SetShowHint(Value); }
    void setReflectionOpacityStart(int Value) { SetReflectionOpacityStart(Value); }
    void setReflectionOpacityEnd(int Value) { SetReflectionOpacityEnd(Value); }
    void setReflectionSize(int Value) { SetReflectionSize(Value); }
    void setReflectionAxis(int Value) { SetReflectionAxis(Value); }
    void setReflectionBlur(int Value) { SetReflectionBlur(Value); }
    void setReflectionScale(int Value) { SetReflectionScale(Value); }
    void setReflectionDirection(TReflectionSide Value) { SetReflectionDirection(Value); }

    TNotifyEvent OnDblClick() const { return FOnDblClick; }
    void SetOnDblClick(const TNotifyEvent& Value) { FOnDblClick = Value; }
    TNotifyEvent OnMouseEnter() const { return FOnMouseEnter; }
    void SetOnMouseEnter(const TNotifyEvent& Value) { FOnMouseEnter = Value; }
    TNotifyEvent OnMouseLeave() const { return FOnMouseLeave; }
    void SetOnMouseLeave(const TNotifyEvent& Value) { FOnMouseLeave = Value; }

    // The cached reflection (the picture's size, Format_ARGB32); null before
    // the first build. Built in full only when first read after a change:
    // the screen needs just the rows in view.
    const QImage& ReflectionBitmap() const;
    bool HasReflection() const { return FHasReflection; }

    // Rebuilds the cached reflection from the picture's bytes (marking the
    // full bitmap for its next reading); nothing while the control is being
    // read from a layout or the picture is empty.
    void BuildReflection();
    // Width of the picture and height of picture plus ReflectionSize (the
    // width plus it for a reflection on the left or right).
    void FitToPicture();

    // Draws what the control shows: a dotted outline while empty, otherwise
    // the reflection at H + ReflectionAxis (or on its side, as saved) and
    // the picture over it.
    virtual void DrawOnCanvas(TCanvas& Canvas);
    // The same, limited to Area: only the reflection pixels inside it are
    // computed, so a large picture scrolled into view paints at once.
    void DrawArea(TCanvas& Canvas, const QRect& Area);

    // Writes the picture over its reflection to FileName. False, with the
    // reason, when nothing was written (no picture yet, or the save failed);
    // an existing file is replaced only by a complete new one. The opened
    // file's colour profile and metadata go where the format has room.
    bool SaveReflection(const QString& FileName, ImageSaveFormat Format, QString* Reason = nullptr);

    void LayoutLoaded() override;

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

  private:
    void PictureChanged();
    // Takes one reflection value and does what its change needs.
    void SetReflectionValue(TReflectionValues::TValue Which, int Value);
    void ReflectionValueChanged(const TReflectionChange& Change);
    // DrawArea for a reflection above or beside the picture.
    void DrawOnSide(TCanvas& Canvas, const QRect& Area, const QImage& Picture);
    // Marks the reflection out of date after a change of picture or fade.
    void ReflectionChanged();

    std::unique_ptr<TOrbHintInfo> FOfficeHint;
    std::unique_ptr<TGDIPPicture> FPicture;
    mutable QImage FReflection;
    mutable bool FReflectionStale = false;
    QImage FScreenBlock;    // the last painted part of the reflection, premultiplied
    QRect FScreenBlockArea; // below, or in the turned picture's reflection for another side
    // The picture turned so that the reflection's side is at the bottom.
    QImage FTurned;
    qint64 FTurnedSource = 0;
    TReflectionDirection FTurnedSide = TReflectionDirection::Below;
    bool FHasReflection = false;
    bool FAutoSize = false;
    bool FShowHint = false;
    TReflectionValues FValues{ImageReflectionDefaults, TOutsideRange::Refused};
    TNotifyEvent FOnDblClick;
    TNotifyEvent FOnMouseEnter;
    TNotifyEvent FOnMouseLeave;
    // The release that ends a double click is not a click of its own.
    bool FReleaseEndsDoubleClick = false;
};
