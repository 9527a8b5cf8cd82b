#pragma once

#include "imaging/failure.h"
#include "toolkit/graphics/graphic.h"
#include "toolkit/notify_event.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>

class QObject;

// Handlers of a transfer that nothing performs: declared so that callers can
// assign them, never raised.
using TDownloadErrorEvent = std::function<void(QObject* Sender, const QString& err)>;
using TDownloadCompleteEvent = std::function<void(QObject* Sender)>;
using TDownloadCancelEvent = std::function<void(QObject* Sender, bool& Cancel)>;
using TDownloadProgressEvent = std::function<void(QObject* Sender, quint32 dwSize, quint32 dwTotSize)>;

// A picture of the markup: the encoded bytes of one image held exactly as
// loaded, decoded once per load (or frame change) into an image that is then
// only drawn. Stored in a window layout as its published properties and the
// raw bytes ("Data").
//
// Decoding errors are std::runtime_error with one of these messages:
// "Could not allocate memory for image" (the bytes cannot be copied for
// decoding, or there are more than the imaging layer reads), "Could not load
// image. Invalid format" (unknown or damaged bytes, or a decoded size over the
// imaging layer's limit, refused before the pixels are allocated) and "Could
// not load image" (a decoder that succeeds without a picture). Wrapping bytes
// in an in-memory stream cannot fail here, so the stream errors of the
// classic loader do not occur.
class THTMLPicture : public TGraphic
{
    Q_OBJECT
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(int Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(TNotifyEvent OnFrameChange READ OnFrameChange WRITE SetOnFrameChange)
  public:
    explicit THTMLPicture(QObject* Parent = nullptr);
    ~THTMLPicture() override;

    const QByteArray& EncodedData() const { return FEncodedData; }

    bool IsEmpty() const override { return FEmpty; }
    // The decoded size at 96 pixels per inch (a selected GIF frame's own
    // size); 0 without a decoded picture.
    int Width() const override;
    int Height() const override;
    // The GIF's logical screen size when a frame was selected, else the size.
    int LogicalWidth() const;
    int LogicalHeight() const;
    bool HasDecodedPicture() const { return !FDecoded.isNull(); }
    // The decoded pixels' own size: smaller than the picture when it was
    // decoded for a smaller drawing (SetDecodeBox).
    QSize DecodedSize() const { return FDecoded.size(); }
    qint64 DecodedBytes() const { return FDecoded.sizeInBytes(); }

    // Limits for the decodes that follow. A picture whose header declares
    // more than MaxPixels pixels is refused before its pixels exist. A valid
    // Box makes a larger picture decode at the size that fits the box (its
    // proportions kept), while its width and height queries still report its
    // own size; an invalid box decodes it whole.
    void SetMaxPixels(qint64 Value) { FMaxPixels = Value; }
    void SetDecodeBox(const QSize& Box) { FDecodeBox = Box; }
    // Decodes again when the picture is to be drawn into Box (invalid: at its
    // own size) and the pixels held are fewer than that needs. Never throws:
    // a failure leaves the picture empty, with LoadError saying why.
    void DecodeFor(const QSize& Box);
    // Why the last load or decode left the picture without pixels; empty
    // after a success.
    QString LoadError() const { return FLoadError; }
    // Its kind, for a caller that adds advice (raise a limit) to the reason.
    TFailureKind LoadFailureKind() const { return FLoadFailureKind; }

    // Stretched into Rect, or at natural size at Rect's top-left corner scaled
    // by the canvas's resolution (Rect's size then plays no part); upright,
    // alpha-blended, smoothly interpolated.
    void DrawInRect(TCanvas& Canvas, const QRect& Rect) override;

    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { FStretch = Value; }
    int Frame() const { return FFrame; }
    // Stores the number; with bytes held, decodes again (errors reach the
    // caller) and raises OnFrameChange.
    void SetFrame(int Value);
    TNotifyEvent OnFrameChange() const { return FOnFrameChange; }
    void SetOnFrameChange(const TNotifyEvent& Value) { FOnFrameChange = Value; }

    quint16 FrameLeft() const { return FFrameLeft; }
    quint16 FrameTop() const { return FFrameTop; }

    bool HasGifSignature() const;
    // Frames (images with a graphic control extension) in the held GIF,
    // counted once per held bytes and kept; -1 for bytes that are not a GIF.
    int CountFrames() const;

    QString Location() const { return FLocation; }
    QString Identifier() const { return FIdentifier; }
    void SetIdentifier(const QString& Value) { FIdentifier = Value; }
    bool Asynchronous() const { return FAsynchronous; }
    void SetAsynchronous(bool Value) { FAsynchronous = Value; }
    // Whether a download worker was ever started for this picture.
    bool Busy() const { return FBusy; }

    // Never reports an error: a failure marks the picture empty.
    void LoadFile(const QString& FileName) override;
    // All bytes of the stream from its beginning; decoding errors reach the caller.
    void LoadStream(QIODevice* Stream) override;
    void SaveStream(QIODevice* Stream) override;
    // As LoadStream without OnChange.
    void ReadStoredData(QIODevice* Stream) override;
    void WriteStoredData(QIODevice* Stream) override;
    // The program resource ":/rcdata/<Name>"; nothing when there is none.
    void LoadFromResource(const QString& Name);
    // "RES://name", "FILE://path" (scheme in any letter case), or a remote
    // location, which is recorded and never fetched.
    void LoadFromLocation(const QString& Text);
    // From another THTMLPicture (its bytes, Stretch, Frame and Identifier;
    // an empty one gives an empty copy); nullptr empties the picture; other
    // sources leave it marked empty.
    void CopyFrom(const TPersistent* Source) override;

    TDownloadErrorEvent OnDownLoadError;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadProgressEvent OnDownLoadProgress;

  private:
    void TakeBytes(QIODevice* Stream);
    void DecodePicture();
    [[noreturn]] void Refuse(TFailureKind Kind, const char* Message, const QString& Reason);

    QByteArray FEncodedData;
    bool FEmpty = true;
    QImage FDecoded;
    int FHimetricWidth = 0;
    int FHimetricHeight = 0;
    bool FStretch = false;
    int FResolutionX = 96;
    int FResolutionY = 96;
    QString FLocation;
    QString FIdentifier;
    bool FAsynchronous = true;
    bool FBusy = false;
    int FFrame = 1;
    mutable int FFrameCount = -1;
    TNotifyEvent FOnFrameChange;
    quint16 FFrameLeft = 0;
    quint16 FFrameTop = 0;
    quint16 FLogicalWidth = 0;
    quint16 FLogicalHeight = 0;
    qint64 FMaxPixels;
    QSize FDecodeBox;
    QSize FNaturalSize; // of the decoded picture before any scaling
    QString FLoadError;
    TFailureKind FLoadFailureKind = TFailureKind::None;
};
