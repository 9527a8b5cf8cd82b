#include "imaging/saving/file_reflection.h"

#include "imaging/codecs/png_row_decoder.h"
#include "imaging/codecs/png_row_picture.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/output_target.h"
#include "imaging/saving/reflection_output.h"

#include <QBuffer>
#include <QIODevice>

namespace
{
TFileReflection Failed(TGpStatus Status, QString Reason)
{
    TFileReflection result;
    result.Status = Status;
    result.Reason = std::move(Reason);
    return result;
}

TGpStatus CheckComposedSize(int Width, int PictureHeight, const TReflectionParameters& Parameters,
                            QString* Reason)
{
    const int height = ComposedHeight(PictureHeight, Parameters);
    const TGpStatus status = CheckImageSize(Width, height);
    if (status != TGpStatus::Ok && Reason)
        *Reason = QStringLiteral("the reflection would be too large: %1 × %2 pixels").arg(Width).arg(height);
    return status;
}

// Where the bytes go: the file's temporary as they come, or memory until a
// device gets them all at once.
class TTarget
{
  public:
    TTarget(const QString& FileName, QIODevice* Device) : FName(FileName), FDevice(Device) {}

    bool Open(QString* Reason) { return FDevice || FFile.Open(FName, Reason); }
    bool Write(const char* Data, qint64 Size)
    {
        if (!FDevice)
            return FFile.Write(Data, Size);
        FHeld.append(Data, qsizetype(Size));
        return true;
    }
    bool Failed() const { return !FDevice && FFile.Failed(); }
    bool Commit(QString* Reason)
    {
        if (!FDevice)
            return FFile.Commit(Reason);
        if (FDevice->write(FHeld) == FHeld.size())
            return true;
        if (Reason)
            *Reason = QStringLiteral("could not write: %1").arg(FDevice->errorString());
        return false;
    }

  private:
    QString FName;
    QIODevice* FDevice;
    TOutputFile FFile;
    QByteArray FHeld;
};

// Declined: the row decoder reads the file, but the encoder cannot take it
// as it comes (its alpha is known only at the end). Unreadable: the row
// decoder does not take the file, from the start or from some point on.
enum class TStreamOutcome { Written, Declined, Unreadable, Failed };

// The streamed road: a PNG's rows decoded, composed and encoded band by
// band. Declined or Unreadable when the whole-picture road must write the
// file, whatever point that shows at; nothing is left behind then.
TStreamOutcome StreamPngReflection(const QByteArray& Encoded, const TReflectionParameters& Parameters,
                                   const QString& FileName, QIODevice* Device, TFileReflection& Result)
{
    TPngRowDecoder decoder(Encoded);
    if (!decoder.Streamable())
        return TStreamOutcome::Unreadable;
    const int width = decoder.Width();
    const int height = decoder.Height();
    // The header must tell whether the file needs alpha: the encoder cannot
    // wait for the last row to find out.
    const bool translucent = TComposedRows::AlwaysTranslucent(height, Parameters);
    if (!translucent && decoder.MayHaveAlpha())
        return TStreamOutcome::Declined;
    if (CheckComposedSize(width, height, Parameters, &Result.Reason) != TGpStatus::Ok) {
        Result.Status = TGpStatus::OutOfMemory;
        return TStreamOutcome::Failed;
    }

    TTarget target(FileName, Device);
    if (!target.Open(&Result.Reason)) {
        Result.Status = TGpStatus::Win32Error;
        return TStreamOutcome::Failed;
    }
    int read = 0;
    TComposedRows rows(width, height, Parameters, [&](std::uint32_t* Out) {
        return decoder.ReadRow(Out) && (++read < height || decoder.Finish());
    });
    QString reason;
    const bool written = WriteComposedPng(
        rows, translucent, [&target](const char* Data, qint64 Size) { return target.Write(Data, Size); },
        &reason);
    if (!written && !decoder.Streamable())
        return TStreamOutcome::Unreadable;
    if (!written && !target.Failed()) {
        Result.Status = TGpStatus::GenericError;
        Result.Reason = reason;
        return TStreamOutcome::Failed;
    }
    if (!target.Commit(&Result.Reason)) {
        Result.Status = TGpStatus::Win32Error;
        return TStreamOutcome::Failed;
    }
    Result.Status = TGpStatus::Ok;
    Result.Streamed = true;
    return TStreamOutcome::Written;
}
} // namespace

TFileReflection WriteFileReflection(const QByteArray& Encoded, const TDecodeOptions& Options,
                                    const TReflectionParameters& Parameters, ImageSaveFormat Format,
                                    const QString& FileName, QIODevice* Device,
                                    const std::function<void()>& DoneWithInput, TReflectionRoad Road,
                                    int Quality)
{
    bool rowsReadable = Road == TReflectionRoad::Fastest;
    if (Road == TReflectionRoad::Fastest && Format == ImageSaveFormat::Png &&
        Encoded.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n"))) {
        TFileReflection result;
        const TStreamOutcome outcome = StreamPngReflection(Encoded, Parameters, FileName, Device, result);
        if (outcome == TStreamOutcome::Written || outcome == TStreamOutcome::Failed)
            return result;
        // The row decoder has already found that it cannot read this file.
        rowsReadable = outcome != TStreamOutcome::Unreadable;
    }

    // The fastest road reads a PNG it cannot stream as a whole through the
    // row decoder too: the same pixels in one inflate.
    TDecodedImage decoded =
        rowsReadable ? DecodeImageQuickly(Encoded, Options) : DecodeImage(Encoded, Options);
    if (DoneWithInput)
        DoneWithInput();
    if (decoded.Status != TGpStatus::Ok)
        return Failed(decoded.Status, decoded.Reason);
    TFileReflection result;
    if (decoded.Damaged)
        result.Damage = decoded.Reason;
    const QImage picture = std::move(decoded.Image);
    if (CheckComposedSize(picture.width(), picture.height(), Parameters, &result.Reason) != TGpStatus::Ok) {
        result.Status = TGpStatus::OutOfMemory;
        return result;
    }
    if (!Device) {
        result.Status = SaveReflectionFile(picture, Parameters, Format, FileName, &result.Reason, Quality);
        return result;
    }
    if (Format == ImageSaveFormat::Png) {
        const QByteArray bytes = EncodeReflectionPng(picture, Parameters, &result.Reason);
        if (bytes.isEmpty()) {
            result.Status = TGpStatus::GenericError;
            return result;
        }
        TTarget target(FileName, Device);
        target.Write(bytes.constData(), bytes.size());
        result.Status = target.Commit(&result.Reason) ? TGpStatus::Ok : TGpStatus::Win32Error;
        return result;
    }
    const QImage composed = RenderReflection(picture, Parameters);
    if (composed.isNull())
        return Failed(TGpStatus::OutOfMemory, QStringLiteral("out of memory composing the reflection"));
    result.Status = EncodeReflection(composed, Format, Device, &result.Reason, Quality);
    return result;
}
