#include "imaging/saving/animation_saving.h"

#include "imaging/codecs/animation_decoding.h"
#include "imaging/codecs/gif_animation_writer.h"
#include "imaging/codecs/webp_animation_writer.h"
#include "imaging/metadata/image_packets.h"
#include "imaging/parallel_work.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/output_target.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_progress.h"

#include <QBuffer>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace
{
void Fail(TFileReflection& Result, TGpStatus Status, TFailureKind Kind, QString Text)
{
    Result.Status = Status;
    Result.Failure = TFailure{Kind, std::move(Text)};
}

// False, with the refusal, when the frames together or the composed frame
// are too large.
bool SizesFit(const TAnimationFacts& Facts, const TSaveRequest& Request, TFileReflection& Result)
{
    const QSize canvas = Facts.Canvas;
    QString reason;
    const TGpStatus status = CheckImageSize(canvas.width(), canvas.height(), &reason);
    if (status != TGpStatus::Ok) {
        Fail(Result, status,
             status == TGpStatus::InvalidParameter ? TFailureKind::Damaged : TFailureKind::OutOfMemory,
             reason);
        return false;
    }
    if (Facts.Pixels() > Request.Options.MaxPixels) {
        Fail(Result, TGpStatus::OutOfMemory, TFailureKind::OverLimit,
             QStringLiteral("the animation's %1 frames of %2 × %3 pixels are %4 pixels, over the limit of %5")
                 .arg(Facts.Frames)
                 .arg(canvas.width())
                 .arg(canvas.height())
                 .arg(Facts.Pixels())
                 .arg(Request.Options.MaxPixels));
        return false;
    }
    if (Facts.StoredPixels > Request.Options.MaxPixels) {
        Fail(Result, TGpStatus::OutOfMemory, TFailureKind::OverLimit,
             QStringLiteral("the animation's %1 frames hold %2 pixels, over the limit of %3")
                 .arg(Facts.Frames)
                 .arg(Facts.StoredPixels)
                 .arg(Request.Options.MaxPixels));
        return false;
    }
    const QSize composed = ComposedSize(canvas, Request.Reflection);
    if (CheckImageSize(composed.width(), composed.height()) != TGpStatus::Ok) {
        Fail(Result, TGpStatus::OutOfMemory, TFailureKind::OutOfMemory,
             QStringLiteral("the reflection would be too large: %1 × %2 pixels")
                 .arg(composed.width())
                 .arg(composed.height()));
        return false;
    }
    return true;
}

// The writer of the plan's format.
class TAnimationEncoder
{
  public:
    TAnimationEncoder(const TSaveRequest& Request, const QSize& Composed, int Plays)
    {
        if (Request.Format == ImageSaveFormat::Gif)
            FGif.emplace(Composed, Plays);
        else
            FWebp.emplace(Composed, Plays, std::clamp(Request.Quality, 0, 100));
    }
    // A composed frame made ready for Add: GIF's reduced to its colours.
    struct TReady {
        QImage Composed;
        TPalettePicture Reduced;
        bool Ok() const { return !Composed.isNull() && (!Reduces || !Reduced.Palette.empty()); }
        bool Reduces = false;
    };
    // Safe on any thread, several at once.
    static TReady Ready(ImageSaveFormat Format, QImage Composed)
    {
        TReady ready{std::move(Composed), {}, false};
        if (Format == ImageSaveFormat::Gif && !ready.Composed.isNull()) {
            ready.Reduces = true;
            ready.Reduced = TGifAnimationWriter::Reduce(ready.Composed);
        }
        return ready;
    }
    bool Add(TReady Ready, int DelayMs, QString* Reason)
    {
        return FGif ? FGif->Add(std::move(Ready.Reduced), Ready.Composed.size(), DelayMs, Reason)
                    : FWebp->Add(Ready.Composed, DelayMs, Reason);
    }
    bool Finish(QByteArray& File, QString* Reason)
    {
        return FGif ? FGif->Finish(File, Reason) : FWebp->Finish(File, Reason);
    }

  private:
    std::optional<TGifAnimationWriter> FGif;
    std::optional<TWebpAnimationWriter> FWebp;
};

TFileReflection WriteAnimation(const TSaveRequest& Request, const TSavingPlan& Plan,
                               const std::function<QImage(const QImage&)>& Prepare)
{
    TFileReflection result;
    result.Plan = Plan;
    static const QByteArray none;
    const QByteArray& input = Request.Input ? *Request.Input : none;
    const TAnimationFacts facts = ProbeAnimation(input);
    if (!SizesFit(facts, Request, result))
        return result;
    const std::unique_ptr<TFrameReader> frames = OpenFrames(input);
    if (!frames) {
        Fail(result, DamagedImageStatus, TFailureKind::Damaged,
             QStringLiteral("damaged image: the animation's frames cannot be read"));
        return result;
    }
    // Made for the first composed frame's size, which every frame has.
    std::optional<TAnimationEncoder> encoder;
    TSaveProgress* progress = CurrentSaveProgress();
    TAnimationFrame frame;
    QString damage;
    QString reason;
    int written = 0;
    // Frames are decoded one after another, made ready a few at a time on
    // the thread budget's cores (reflected, and for GIF reduced to their
    // colours), and encoded in order: the bytes do not depend on the cores.
    const TParallelWork work;
    const int batch = 2 * work.ThreadsFor(facts.Frames);
    struct TPending {
        QImage Frame;
        int DelayMs = 0;
        TAnimationEncoder::TReady Ready;
    };
    std::vector<TPending> pending;
    bool more = true;
    while (more) {
        pending.clear();
        // Never more frames than the structure counted, so the budget holds
        // whatever the decoder finds.
        while (int(pending.size()) < batch && written + int(pending.size()) < facts.Frames &&
               (more = frames->Next(frame, damage)))
            pending.push_back({frame.Image, frame.DelayMs, {}});
        if (pending.empty())
            break;
        if (progress && progress->Cancelled()) {
            Fail(result, TGpStatus::Aborted, TFailureKind::Unwritable, QStringLiteral("cancelled"));
            return result;
        }
        work.ForEach(int(pending.size()), [&](int Index, int) {
            TPending& one = pending[std::size_t(Index)];
            QImage reflected = RenderReflection(one.Frame, Request.Reflection);
            one.Frame = QImage();
            if (Prepare && !reflected.isNull())
                reflected = Prepare(reflected);
            one.Ready = TAnimationEncoder::Ready(Request.Format, std::move(reflected));
        });
        for (TPending& one : pending) {
            if (!one.Ready.Ok()) {
                Fail(result, TGpStatus::OutOfMemory, TFailureKind::OutOfMemory,
                     QStringLiteral("out of memory composing the reflection"));
                return result;
            }
            if (!encoder)
                encoder.emplace(Request, one.Ready.Composed.size(), facts.Plays);
            if (!encoder->Add(std::move(one.Ready), one.DelayMs, &reason)) {
                Fail(result, TGpStatus::GenericError, TFailureKind::Unwritable, reason);
                return result;
            }
            ++written;
            if (progress)
                progress->Report(double(written) / facts.Frames);
        }
    }
    if (!damage.isEmpty()) {
        const QString text = QStringLiteral("damaged image: frame %1 of %2: %3")
                                 .arg(written + 1)
                                 .arg(facts.Frames)
                                 .arg(damage);
        if (!Request.Options.KeepDamaged || written == 0) {
            Fail(result, DamagedImageStatus, TFailureKind::Damaged, text);
            return result;
        }
        result.Damage = text;
    }
    if (Request.DoneWithInput)
        Request.DoneWithInput();
    if (!encoder) {
        Fail(result, DamagedImageStatus, TFailureKind::Damaged,
             QStringLiteral("damaged image: the animation has no frame"));
        return result;
    }
    QByteArray file;
    if (!encoder->Finish(file, &reason)) {
        Fail(result, TGpStatus::GenericError, TFailureKind::Unwritable, reason);
        return result;
    }
    TOutputFile target;
    if (Request.Sink.Device ? !target.Open(Request.Sink.Device)
                            : !target.Open(Request.Sink.FileName, &reason)) {
        Fail(result, TGpStatus::Win32Error, TFailureKind::Unwritable, reason);
        return result;
    }
    if (!target.Write(file.constData(), file.size()) || !target.Commit(&reason)) {
        Fail(result, TGpStatus::Win32Error, TFailureKind::Unwritable, reason);
        return result;
    }
    result.Status = TGpStatus::Ok;
    result.Plan.Frames = written;
    // The frames go out as decoded: an animation carries no profile or
    // metadata of the input.
    const TImagePackets packets = Request.Strip ? TImagePackets() : ReadImagePackets(input);
    for (const auto& [packet, name] :
         {std::pair{&packets.Icc, "the colour profile"}, std::pair{&packets.Exif, "the EXIF packet"},
          std::pair{&packets.Xmp, "the XMP packet"}})
        if (!packet->isEmpty())
            result.Warnings
                << QStringLiteral("%1 (an animation is written without it)").arg(QLatin1String(name));
    return result;
}
} // namespace

TFileReflection WriteAnimationReflection(const TSaveRequest& Request, const TSavingPlan& Plan)
{
    return WriteAnimation(Request, Plan, {});
}

QByteArray AnimationReflectionBytes(const QByteArray& Input, const TReflectionParameters& Reflection,
                                    ImageSaveFormat Format, int Quality,
                                    const std::function<QImage(const QImage&)>& Prepare, int* Frames,
                                    QString* Reason)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TSaveRequest request;
    request.Input = &Input;
    request.Reflection = Reflection;
    request.Format = Format;
    request.Quality = Quality;
    request.Sink.Device = &buffer;
    const TSavingPlan plan = PlanSaving(request, ProbeInput(Input));
    if (plan.Write != TWriteRoad::Animation) {
        if (Reason)
            *Reason = QStringLiteral("the picture is no animation the format holds");
        return {};
    }
    const TFileReflection result = WriteAnimation(request, plan, Prepare);
    if (result.Status != TGpStatus::Ok) {
        if (Reason)
            *Reason = result.Failure.Text;
        return {};
    }
    if (Frames)
        *Frames = result.Plan.Frames;
    return bytes;
}
