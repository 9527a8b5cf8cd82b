#include "imaging/saving/file_reflection.h"

#include "imaging/codecs/png_row_decoder.h"
#include "imaging/codecs/png_row_picture.h"
#include "imaging/metadata/packet_embedding.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/animation_saving.h"
#include "imaging/saving/output_target.h"
#include "imaging/saving/reflection_output.h"

namespace
{
// The kind of a failure to write, from the status the writers give.
TFailureKind KindOfWriteStatus(TGpStatus Status)
{
    switch (Status) {
    case TGpStatus::OutOfMemory:
        return TFailureKind::OutOfMemory;
    case TGpStatus::InvalidParameter:
    case TGpStatus::NotImplemented:
    case TGpStatus::ValueOverflow: // a side the format cannot hold
        return TFailureKind::Unsupported;
    default:
        return TFailureKind::Unwritable;
    }
}

void Fail(TFileReflection& Result, TGpStatus Status, TFailureKind Kind, QString Text)
{
    Result.Status = Status;
    Result.Failure = TFailure{Kind, std::move(Text)};
}

bool ComposedSizeFits(int Width, int PictureHeight, const TReflectionParameters& Parameters,
                      TFileReflection& Result)
{
    const QSize composed = ComposedSize(QSize(Width, PictureHeight), Parameters);
    if (CheckImageSize(composed.width(), composed.height()) == TGpStatus::Ok)
        return true;
    Fail(Result, TGpStatus::OutOfMemory, TFailureKind::OutOfMemory,
         QStringLiteral("the reflection would be too large: %1 × %2 pixels")
             .arg(composed.width())
             .arg(composed.height()));
    return false;
}

// Written, failed, or the row decoder gave up: the whole-picture road must
// write the file then, and nothing is left behind.
enum class TStreamOutcome { Written, Failed, Unreadable };

// A PNG's rows decoded, composed and encoded band by band.
TStreamOutcome StreamPngReflection(const TSaveRequest& Request, const TSavingPlan& Plan,
                                   TFileReflection& Result)
{
    TPngRowDecoder decoder(*Request.Input);
    if (!decoder.Streamable())
        return TStreamOutcome::Unreadable;
    const int width = decoder.Width();
    const int height = decoder.Height();
    if (!ComposedSizeFits(width, height, Request.Reflection, Result))
        return TStreamOutcome::Failed;

    TOutputFile target;
    QString reason;
    if (Plan.ToDevice ? !target.Open(Request.Sink.Device) : !target.Open(Request.Sink.FileName, &reason)) {
        Fail(Result, TGpStatus::Win32Error, TFailureKind::Unwritable, reason);
        return TStreamOutcome::Failed;
    }
    // The profile and metadata, read from the file's chunks before any row.
    const TOutputPackets packets = PlanOutputPackets(ReadImagePackets(*Request.Input), Request.Strip, true,
                                                     ComposedSize(QSize(width, height), Request.Reflection));
    int read = 0;
    TComposedRows rows(width, height, Request.Reflection, [&](std::uint32_t* Out) {
        return decoder.ReadRow(Out) && (++read < height || decoder.Finish());
    });
    const bool translucent = TComposedRows::AlwaysTranslucent(QSize(width, height), Request.Reflection);
    const bool written = WriteComposedPng(
        rows, translucent, [&target](const char* Data, qint64 Size) { return target.Write(Data, Size); },
        &reason, &packets);
    if (!written && !decoder.Streamable())
        return TStreamOutcome::Unreadable;
    if (!written && !target.Failed()) {
        Fail(Result, TGpStatus::GenericError,
             rows.OutOfMemory() ? TFailureKind::OutOfMemory : TFailureKind::Unwritable, reason);
        return TStreamOutcome::Failed;
    }
    if (!target.Commit(&reason)) {
        Fail(Result, TGpStatus::Win32Error, TFailureKind::Unwritable, reason);
        return TStreamOutcome::Failed;
    }
    Result.Status = TGpStatus::Ok;
    Result.Warnings = packets.Warnings;
    return TStreamOutcome::Written;
}
} // namespace

TFileReflection WriteFileReflection(const TSaveRequest& Request)
{
    static const QByteArray none;
    const QByteArray& input = Request.Input ? *Request.Input : none;
    TFileReflection result;
    TInputFacts facts = ProbeInput(input);
    result.Plan = PlanSaving(Request, facts);
    if (result.Plan.Read == TReadRoad::FrameByFrame)
        return WriteAnimationReflection(Request, result.Plan);
    if (facts.Frames > 1) {
        const TSaveFormatInfo* format = FindSaveFormat(Request.Format);
        result.FirstFrameOnly =
            QStringLiteral("only the first of the %1 frames is written (%2 holds one picture)")
                .arg(facts.Frames)
                .arg(QString::fromLatin1(format ? format->Description : "the format"));
    }
    if (result.Plan.Read == TReadRoad::Streamed) {
        if (StreamPngReflection(Request, result.Plan, result) != TStreamOutcome::Unreadable)
            return result;
        // Found unreadable half-way: DecodeImage keeps or refuses it.
        facts.RowsTakeIt = false;
        result.Plan = PlanSaving(Request, facts);
    }

    TDecodedImage decoded = result.Plan.Read == TReadRoad::RowDecoder
                                ? DecodeImageQuickly(input, Request.Options)
                                : DecodeImage(input, Request.Options);
    if (Request.DoneWithInput)
        Request.DoneWithInput();
    if (decoded.Status != TGpStatus::Ok) {
        Fail(result, decoded.Status, decoded.Kind, decoded.Reason);
        return result;
    }
    if (decoded.Damaged)
        result.Damage = decoded.Reason;
    QImage picture = std::move(decoded.Image);
    facts.Decoded = true;
    facts.DecodedBy = result.Plan.Read;
    facts.Size = picture.size();
    result.Plan = PlanSaving(Request, facts);
    if (!ComposedSizeFits(picture.width(), picture.height(), Request.Reflection, result))
        return result;
    QString reason;
    TSaveRequest withPackets = Request;
    withPackets.Packets = &decoded.Packets;
    // Handed over, so that the picture is freed once it is composed.
    result.Status =
        WritePlannedReflection(std::move(picture), withPackets, result.Plan, &reason, &result.Warnings);
    if (result.Status != TGpStatus::Ok)
        result.Failure = TFailure{KindOfWriteStatus(result.Status), reason};
    return result;
}
