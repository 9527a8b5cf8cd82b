#pragma once

#include "controls/reflection_side.h"
#include "controls/reflection_values.h"
#include "imaging/saving/save_formats.h"
#include "markup/markup_request.h"
#include "pictures/picture_container.h"
#include "toolkit/graphics/image_list.h"
#include "toolkit/notify_event.h"
#include "toolkit/widgets/control.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <memory>

Q_MOC_INCLUDE("toolkit/graphics/font.h")
Q_MOC_INCLUDE("toolkit/strings.h")

class TCanvas;
class TLabelRendering;
struct TLabelPictureOptions;
class TStrings;
class THTMLPictureCache;

// Shows a short text written in the markup language standing on a mirrored,
// fading copy of itself. It paints into an off-screen image of its own size
// (its canvas) and then onto the screen, so that the text area can be copied
// back for the reflection and the whole area saved as shown. A change of the
// text, its font or the control's size only marks the reflection stale; the
// next paint draws the text, rebuilds the reflection from it and paints again.
class TOrbReflectionLabel : public TControl
{
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft DESIGNABLE false)
    Q_PROPERTY(int Top READ Top WRITE SetTop DESIGNABLE false)
    Q_PROPERTY(int Width READ Width WRITE SetWidth DESIGNABLE false)
    Q_PROPERTY(int Height READ Height WRITE SetHeight DESIGNABLE false)
    Q_PROPERTY(TControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TStrings* HTMLText READ HTMLText WRITE SetHTMLText)
    Q_PROPERTY(QString Markup READ MarkupText WRITE SetMarkup)
    Q_PROPERTY(TImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TPictureContainer* PictureContainer READ PictureContainer WRITE SetPictureContainer)
    Q_PROPERTY(int ReflectionOpacityStart READ ReflectionOpacityStart WRITE SetReflectionOpacityStart)
    Q_PROPERTY(int ReflectionOpacityEnd READ ReflectionOpacityEnd WRITE SetReflectionOpacityEnd)
    Q_PROPERTY(int ReflectionSize READ ReflectionSize WRITE SetReflectionSize)
    Q_PROPERTY(int ReflectionAxis READ ReflectionAxis WRITE SetReflectionAxis)
    Q_PROPERTY(int ReflectionBlur READ ReflectionBlur WRITE SetReflectionBlur)
    Q_PROPERTY(int ReflectionScale READ ReflectionScale WRITE SetReflectionScale)
    Q_PROPERTY(TReflectionTypes::TReflectionSide ReflectionDirection READ ReflectionDirection WRITE
                   SetReflectionDirection)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TColor URLColor READ URLColor WRITE SetURLColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick READ OnDblClick WRITE SetOnDblClick)
    Q_PROPERTY(TNotifyEvent OnMouseDown READ OnMouseDown WRITE SetOnMouseDown)
    Q_PROPERTY(TNotifyEvent OnMouseMove READ OnMouseMove WRITE SetOnMouseMove)
    Q_PROPERTY(TNotifyEvent OnMouseUp READ OnMouseUp WRITE SetOnMouseUp)
    Q_PROPERTY(TNotifyEvent OnMouseLeave READ OnMouseLeave WRITE SetOnMouseLeave)
    Q_PROPERTY(TNotifyEvent OnMouseEnter READ OnMouseEnter WRITE SetOnMouseEnter)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion DESIGNABLE false)
  public:
    explicit TOrbReflectionLabel(QWidget* Parent = nullptr);
    ~TOrbReflectionLabel() override;

    Q_INVOKABLE bool IsAlignStored() const { return Align() != alNone; }
    Q_INVOKABLE bool IsColorStored() const { return !ParentColor(); }
    Q_INVOKABLE bool IsFontStored() const { return !ParentFont(); }
    Q_INVOKABLE bool IsParentColorStored() const { return !ParentColor(); }
    Q_INVOKABLE bool IsParentFontStored() const { return !ParentFont(); }

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value) { setEnabled(Value); }
    Q_INVOKABLE bool IsEnabledStored() const { return !Enabled(); }
    // The hint is shown as it is, while ShowHint is on.
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value);
    Q_INVOKABLE bool IsHintStored() const { return !FHint.isEmpty(); }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    Q_INVOKABLE bool IsShowHintStored() const { return !FParentShowHint; }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value) { FParentShowHint = Value; }
    Q_INVOKABLE bool IsParentShowHintStored() const { return !FParentShowHint; }

    // The markup, one line per entry; edits through the list itself rebuild.
    TStrings* HTMLText() const { return FHTMLText.get(); }
    // Takes Value's full text with every line break removed as the single
    // line of the markup.
    void SetHTMLText(TStrings* Value);
    Q_INVOKABLE bool IsHTMLTextStored() const;
    // The markup as one text, for editors that know no string lists (a form
    // designer's property editor); line breaks are removed as by
    // SetHTMLText. Layouts keep HTMLText, never this.
    void SetMarkup(const QString& Value);
    Q_INVOKABLE bool IsMarkupStored() const { return false; }

    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    Q_INVOKABLE bool IsImagesStored() const { return FImages != nullptr; }
    // Referred to, not owned; assigning it does not repaint.
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value) { FPictureContainer = Value; }
    Q_INVOKABLE bool IsPictureContainerStored() const { return FPictureContainer != nullptr; }

    // Each setter takes its value by the row of reflection_ranges.h, as the
    // image control does: opacities outside 0..255 are ignored, the style
    // (reflection_style.h) is clamped to 0..100 and 10..100, unchanged values
    // do nothing. Unlike the image control, the label stores any size,
    // negative ones included: its own size never follows the reflection's,
    // so a negative size only shows no reflection rows and is shown back as
    // it was set. A size change draws the text again before the reflection
    // is rebuilt; the other changes rebuild at once from the text area as
    // last captured, and the axis only moves the reflection.
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
    // Above puts the mirror over the text, left and right beside it.
    TReflectionSide ReflectionDirection() const { return TReflectionSide(FValues.Direction()); }
    void SetReflectionDirection(TReflectionSide Value);
    Q_INVOKABLE bool IsReflectionDirectionStored() const { return FValues.IsDirectionStored(); }

    // Without its own background the label shows the colour behind it.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    Q_INVOKABLE bool IsTransparentStored() const { return !FTransparent; }

    TColor URLColor() const;
    void SetURLColor(TColor Value);
    Q_INVOKABLE bool IsURLColorStored() const { return URLColor() != clBlue; }

    Q_INVOKABLE bool IsVisibleStored() const { return !Visible(); }

    // Code generated from a Qt Designer form (uic) calls each changed
    // property's setter as set<Property>; these let such a form compile.
    // (Designer edits the position and size as the geometry, and the version
    // not at all.)
    void setAlign(TAlign Value) { SetAlign(Value); }
    void setColor(TColor Value) { SetColor(Value); }
    void setHint(const QString& Value) { SetHint(Value); }
    void setShowHint(bool Value) { SetShowHint(Value); }
    void setParentShowHint(bool Value) { SetParentShowHint(Value); }
    void setParentColor(bool Value) { SetParentColor(Value); }
    void setParentFont(bool Value) { SetParentFont(Value); }
    void setMarkup(const QString& Value) { SetMarkup(Value); }
    void setReflectionOpacityStart(int Value) { SetReflectionOpacityStart(Value); }
    void setReflectionOpacityEnd(int Value) { SetReflectionOpacityEnd(Value); }
    void setReflectionSize(int Value) { SetReflectionSize(Value); }
    void setReflectionAxis(int Value) { SetReflectionAxis(Value); }
    void setReflectionBlur(int Value) { SetReflectionBlur(Value); }
    void setReflectionScale(int Value) { SetReflectionScale(Value); }
    void setReflectionDirection(TReflectionSide Value) { SetReflectionDirection(Value); }
    void setTransparent(bool Value) { SetTransparent(Value); }
    void setURLColor(TColor Value) { SetURLColor(Value); }

    // The colour the label is seen in: its own, or with ParentColor the
    // nearest ancestor's that has one of its own.
    TColor ShownColor() const;

    TNotifyEvent OnDblClick() const { return FOnDblClick; }
    void SetOnDblClick(const TNotifyEvent& Value) { FOnDblClick = Value; }
    TNotifyEvent OnMouseDown() const { return FOnMouseDown; }
    void SetOnMouseDown(const TNotifyEvent& Value) { FOnMouseDown = Value; }
    TNotifyEvent OnMouseMove() const { return FOnMouseMove; }
    void SetOnMouseMove(const TNotifyEvent& Value) { FOnMouseMove = Value; }
    // The handler learns the button from LastMouseButton.
    TNotifyEvent OnMouseUp() const { return FOnMouseUp; }
    void SetOnMouseUp(const TNotifyEvent& Value) { FOnMouseUp = Value; }
    TNotifyEvent OnMouseLeave() const { return FOnMouseLeave; }
    void SetOnMouseLeave(const TNotifyEvent& Value) { FOnMouseLeave = Value; }
    TNotifyEvent OnMouseEnter() const { return FOnMouseEnter; }
    void SetOnMouseEnter(const TNotifyEvent& Value) { FOnMouseEnter = Value; }
    Qt::MouseButton LastMouseButton() const { return FLastMouseButton; }

    // "1.5.0.0"; a stored version text is read and discarded.
    QString Version() const;
    void SetVersion(const QString& Value) { Q_UNUSED(Value); }
    virtual int VersionNumber() const;

    // Every line of HTMLText joined with nothing between them.
    virtual QString MarkupText() const;
    // DrawMarkup with the label's picture cache and container; the reported
    // text size becomes MarkupWidth and MarkupHeight.
    virtual TMarkupResult RenderMarkup(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request);
    virtual void RequestRepaint();
    // Marks the reflection stale and repaints; the paint rebuilds it.
    void InvalidateReflection();
    // Rebuilds the reflection from the text area as currently drawn.
    void BuildReflection();

    int MarkupWidth() const;
    int MarkupHeight() const;
    int MarkupLeft() const;
    const QImage& ReflectionBitmap() const;
    bool HasReflection() const;
    THTMLPictureCache* PictureCache() const;
    int CurrentAnchorIndex() const { return FAnchorIndex; }

    // What the control shows, painted now if it never was: its canvas.
    const QImage& Surface();
    // Paints the control's canvas (background, reflection, markup).
    void PaintSurface();

    // The anchor under the client point (X, Y): its target, or empty. The
    // rectangle receives the anchor's area, (-1, -1, -1, -1) when none.
    QString AnchorAt(int X, int Y, QRect* AnchorRect = nullptr);
    void MouseMoved(Qt::KeyboardModifiers Shift, int X, int Y);
    void MousePressed(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

    // Renames the component; a new control whose markup is still empty takes
    // its first name as its text.
    void Rename(const QString& NewName);

    // Writes the client area as shown (background, reflection, text) to
    // FileName. False, with the reason, when nothing was written; an
    // existing file is replaced only by a complete new one.
    bool SaveReflection(const QString& FileName, ImageSaveFormat Format, QString* Reason = nullptr);
    // Writes the picture Options ask for: trimmed to the text and its
    // reflection, without background, or both (a transparent picture is
    // flattened over the label's colour for formats without alpha). Default
    // options save the area as shown.
    bool SaveReflection(const QString& FileName, ImageSaveFormat Format, const TLabelPictureOptions& Options,
                        QString* Reason = nullptr);
    // What SaveReflection writes for Format and Options, flattened as it
    // flattens; null, with the reason, when nothing would be written. A
    // caller may encode it elsewhere (on a thread of its own).
    QImage SavedPicture(ImageSaveFormat Format, const TLabelPictureOptions& Options,
                        QString* Reason = nullptr);
    // The picture such a save writes, before any flattening; null, with the
    // reason, when there is no text. Painted afresh at the control's size
    // with no mouse over it.
    QImage Picture(const TLabelPictureOptions& Options, QString* Reason = nullptr);
    // The same picture untrimmed, drawn for a screen of Ratio device pixels
    // per pixel (Ratio times the pixels each way, the device pixel ratio
    // set), as the control paints itself there: for showing a transparent
    // picture as sharp as the label. Null when the surface cannot be made.
    QImage ScreenPicture(double Ratio, bool Transparent);

    void LayoutLoaded() override;

  protected:
    void FontChanged() override;
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

  private:
    void MarkupTextChanged();
    // Takes one reflection value and does what its change needs.
    void SetReflectionValue(TReflectionValues::TValue Which, int Value);
    void ReflectionValueChanged(const TReflectionChange& Change);
    void SyncRendering();
    TColor AncestorColor() const;
    TColor BackgroundColor() const;

    std::unique_ptr<TStrings> FHTMLText;
    std::unique_ptr<TLabelRendering> FRendering;
    // The rendering draws with a copy, taken at each accepted change.
    TReflectionValues FValues{LabelReflectionDefaults, TOutsideRange::Stored};
    QPointer<TImageList> FImages;
    QPointer<TPictureContainer> FPictureContainer;
    QImage FSurface;
    QString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    bool FPainting = false;
    bool FTransparent = true;
    int FAnchorIndex = -1;
    QString FLastAnchor;
    int FLastAnchorIndex = -1;
    QRect FLastAnchorRect;
    Qt::MouseButton FLastMouseButton = Qt::NoButton;
    TNotifyEvent FOnDblClick;
    TNotifyEvent FOnMouseDown;
    TNotifyEvent FOnMouseMove;
    TNotifyEvent FOnMouseUp;
    TNotifyEvent FOnMouseLeave;
    TNotifyEvent FOnMouseEnter;
};
