#include "pictures/html_picture.h"

#include "imaging/codecs/image_decoding.h"
#include "pictures/download_thread.h"
#include "pictures/gif_frames.h"
#include "pictures/picture_location.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/canvas_geometry.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <new>
#include <stdexcept>

namespace
{

// The decoded size is kept as the picture loader reports it: in HIMETRIC
// units (0.01 mm), converted from pixels at 96 pixels per inch.
constexpr int HimetricPerInch = 2540;
constexpr int DecodeResolution = 96;

[[noreturn]] void ThrowNoMemory()
{
    throw std::runtime_error("Could not allocate memory for image");
}

// Every byte the stream has from its start, refusing more than the imaging
// layer would ever read so that a huge stream never takes the machine's memory.
QByteArray ReadAllFromStart(QIODevice* Stream)
{
    if (!Stream->isSequential()) {
        if (Stream->size() > MaxEncodedBytes)
            ThrowNoMemory();
        Stream->seek(0);
    }
    QByteArray data;
    try {
        constexpr qint64 Chunk = 4 << 20;
        while (true) {
            const QByteArray part = Stream->read(Chunk);
            if (part.isEmpty())
                break;
            if (data.size() + part.size() > MaxEncodedBytes)
                ThrowNoMemory();
            data += part;
        }
    } catch (const std::bad_alloc&) {
        ThrowNoMemory();
    }
    return data;
}

} // namespace

THTMLPicture::THTMLPicture(QObject* Parent) : TGraphic(Parent), FMaxPixels(MaxDecodedPixels) {}

THTMLPicture::~THTMLPicture() = default;

int THTMLPicture::Width() const
{
    return FDecoded.isNull() ? 0 : MulDiv(FHimetricWidth, FResolutionX, HimetricPerInch);
}

int THTMLPicture::Height() const
{
    return FDecoded.isNull() ? 0 : MulDiv(FHimetricHeight, FResolutionY, HimetricPerInch);
}

int THTMLPicture::LogicalWidth() const
{
    if (FDecoded.isNull())
        return 0;
    return FLogicalWidth != 0 ? FLogicalWidth : Width();
}

int THTMLPicture::LogicalHeight() const
{
    if (FDecoded.isNull())
        return 0;
    return FLogicalHeight != 0 ? FLogicalHeight : Height();
}

void THTMLPicture::DrawInRect(TCanvas& Canvas, const QRect& Rect)
{
    if (FEmpty || FDecoded.isNull())
        return;
    if (FStretch) {
        Canvas.DrawImageSmooth(Rect.normalized(), FDecoded, true);
        return;
    }
    const int width = MulDiv(FHimetricWidth, Canvas.PixelsPerInchX(), HimetricPerInch);
    const int height = MulDiv(FHimetricHeight, Canvas.PixelsPerInchY(), HimetricPerInch);
    if (width <= 0 || height <= 0)
        return;
    Canvas.DrawImageSmooth(QRect(Rect.x(), Rect.y(), width, height), FDecoded, true);
}

void THTMLPicture::SetFrame(int Value)
{
    FFrame = Value;
    if (FEncodedData.isEmpty())
        return;
    DecodePicture();
    FOnFrameChange(this);
}

bool THTMLPicture::HasGifSignature() const
{
    return ::HasGifSignature(FEncodedData);
}

int THTMLPicture::CountFrames() const
{
    if (FFrameCount != -1)
        return FFrameCount;
    if (!HasGifSignature())
        return -1;
    FFrameCount = CountGifFrames(FEncodedData);
    return FFrameCount;
}

void THTMLPicture::DecodePicture()
{
    FFrameLeft = FFrameTop = 0;
    FLogicalWidth = FLogicalHeight = 0;
    QByteArray bytes;
    try {
        if (HasGifSignature() && CountFrames() > 0) {
            TGifFrameBytes frame = SelectGifFrame(FEncodedData, FFrame);
            FFrameLeft = frame.FrameLeft;
            FFrameTop = frame.FrameTop;
            FLogicalWidth = frame.LogicalWidth;
            FLogicalHeight = frame.LogicalHeight;
            bytes = std::move(frame.Bytes);
        } else {
            bytes = FEncodedData;
        }
    } catch (const std::bad_alloc&) {
        ThrowNoMemory();
    }
    // The previous picture goes just before the new bytes are decoded, so a
    // failure to prepare them leaves it in place.
    FDecoded = QImage();
    FHimetricWidth = FHimetricHeight = 0;
    FNaturalSize = QSize();
    FLoadError.clear();
    FLoadFailureKind = TFailureKind::None;
    // The GIF decoder allocates the logical screen before it reads a pixel,
    // whatever size the image itself has: a screen over the limit is refused
    // here.
    if (::HasGifSignature(bytes)) {
        const QSize screen = GifLogicalScreen(bytes);
        if (qint64(screen.width()) * screen.height() > FMaxPixels)
            Refuse(TFailureKind::OverLimit, "Could not load image. Invalid format",
                   QStringLiteral("the GIF's screen of %1 × %2 is over the limit of %3 pixels")
                       .arg(screen.width())
                       .arg(screen.height())
                       .arg(FMaxPixels));
    }
    TDecodeOptions options;
    options.MaxPixels = FMaxPixels;
    // The picture's own size, which the queries report, when it is decoded
    // smaller than that.
    QSize natural;
    if (FDecodeBox.isValid()) {
        natural = DeclaredImageSize(bytes);
        if (natural.isValid())
            options.ScaledSize = FDecodeBox;
    }
    TDecodedImage decoded;
    try {
        decoded = DecodeImage(bytes, options);
    } catch (const std::bad_alloc&) {
        FLoadError = QStringLiteral("out of memory");
        FLoadFailureKind = TFailureKind::OutOfMemory;
        ThrowNoMemory();
    }
    if (decoded.Status != TGpStatus::Ok)
        Refuse(decoded.Kind, "Could not load image. Invalid format", decoded.Reason);
    if (decoded.Image.isNull())
        Refuse(TFailureKind::Unreadable, "Could not load image", QString());
    // Kept in the form the painter blends, so drawing converts nothing.
    FDecoded = std::move(decoded.Image);
    FDecoded.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (FDecoded.isNull()) {
        FLoadError = QStringLiteral("out of memory");
        FLoadFailureKind = TFailureKind::OutOfMemory;
        ThrowNoMemory();
    }
    FNaturalSize = natural.isValid() ? natural : FDecoded.size();
    FHimetricWidth = MulDiv(FNaturalSize.width(), HimetricPerInch, DecodeResolution);
    FHimetricHeight = MulDiv(FNaturalSize.height(), HimetricPerInch, DecodeResolution);
}

void THTMLPicture::Refuse(TFailureKind Kind, const char* Message, const QString& Reason)
{
    FLoadError = Reason.isEmpty() ? QString::fromLatin1(Message) : Reason;
    FLoadFailureKind = Kind;
    throw std::runtime_error(Message);
}

void THTMLPicture::DecodeFor(const QSize& Box)
{
    if (FEmpty || FDecoded.isNull())
        return;
    const QSize needed = Box.isValid() && !Box.isEmpty()
                             ? FNaturalSize.scaled(Box, Qt::KeepAspectRatio).boundedTo(FNaturalSize)
                             : FNaturalSize;
    if (FDecoded.width() >= needed.width() && FDecoded.height() >= needed.height())
        return;
    FDecodeBox = needed == FNaturalSize ? QSize() : Box;
    try {
        DecodePicture();
    } catch (...) {
        FEmpty = true;
    }
}

void THTMLPicture::TakeBytes(QIODevice* Stream)
{
    FEncodedData = ReadAllFromStart(Stream);
    // A count made for earlier bytes would select frames that do not exist.
    FFrameCount = -1;
    FEmpty = false;
    DecodePicture();
}

void THTMLPicture::LoadFile(const QString& FileName)
{
    try {
        FLoadError.clear();
        FLoadFailureKind = TFailureKind::None;
        // Only regular files: a device or a pipe could block or never end.
        if (!QFileInfo(FileName).isFile())
            throw std::runtime_error(QFileInfo::exists(FileName) ? "not a regular file" : "no such file");
        QFile file(FileName);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(file.errorString().toStdString());
        TakeBytes(&file);
    } catch (const std::exception& error) {
        if (FLoadError.isEmpty()) {
            FLoadError = QString::fromUtf8(error.what());
            FLoadFailureKind = TFailureKind::Unreadable;
        }
        FEmpty = true;
        return;
    } catch (...) {
        FEmpty = true;
        return;
    }
    Changed();
}

void THTMLPicture::LoadStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    TakeBytes(Stream);
    Changed();
}

void THTMLPicture::SaveStream(QIODevice* Stream)
{
    if (Stream)
        Stream->write(FEncodedData);
}

void THTMLPicture::ReadStoredData(QIODevice* Stream)
{
    if (Stream)
        TakeBytes(Stream);
}

void THTMLPicture::WriteStoredData(QIODevice* Stream)
{
    SaveStream(Stream);
}

void THTMLPicture::LoadFromResource(const QString& Name)
{
    QFile resource(QStringLiteral(":/rcdata/") + Name);
    if (Name.isEmpty() || !resource.exists() || !resource.open(QIODevice::ReadOnly))
        return;
    LoadStream(&resource);
}

void THTMLPicture::LoadFromLocation(const QString& Text)
{
    // The identifier is set before anything is loaded, so a picture whose
    // source is missing is still found again under its location text.
    const TPictureLocation location = ParsePictureLocation(Text);
    if (location.Kind == TPictureLocation::TKind::Resource) {
        FIdentifier = Text;
        if (!location.Name.isEmpty())
            LoadFromResource(location.Name);
    } else if (location.Kind == TPictureLocation::TKind::File) {
        FIdentifier = Text;
        if (!location.Name.isEmpty())
            LoadFile(location.Name);
    } else if (FAsynchronous) {
        if (FBusy)
            return;
        FLocation = Text;
        FBusy = true;
        new TDownLoadThread(this); // deletes itself when finished
    } else {
        FLocation = Text;
        FIdentifier = Text;
    }
}

void THTMLPicture::CopyFrom(const TPersistent* Source)
{
    if (Source == this)
        return;
    FEmpty = true;
    FDecoded = QImage();
    FHimetricWidth = FHimetricHeight = 0;
    FFrameCount = -1;
    FFrame = 1;
    if (!Source) {
        FEncodedData.clear();
        return;
    }
    const auto* source = qobject_cast<const THTMLPicture*>(Source);
    if (!source)
        return;
    FStretch = source->FStretch;
    FFrame = source->FFrame;
    FIdentifier = source->FIdentifier;
    // An empty source gives an empty copy: decoding its bytes (none, or
    // ones its own loading refused) could only fail.
    if (source->FEmpty) {
        FEncodedData.clear();
        Changed();
        return;
    }
    FEncodedData = source->FEncodedData;
    FEmpty = false;
    DecodePicture();
    Changed();
}
