#include "imaging/saving/saving_plan.h"

#include "imaging/codecs/animation_decoding.h"
#include "imaging/codecs/png_row_decoder.h"
#include "imaging/png/png_encoder.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_direction.h"

#include <algorithm>
#include <array>

namespace
{
// What every road asks of a request and its facts.
struct TQuestion {
    bool Fastest;     // the caller allows more than the reference road
    bool Png;         // written as PNG
    bool FromRows;    // written by a writer that takes composed rows (JPEG, BMP, TIFF)
    bool Translucent; // the composition's alpha follows from the values: some reflection pixel is translucent
    // The reflection's side lets the composition be made top to bottom as
    // the rows arrive (ComposesRowByRow): every side but a styled left or
    // right, whose rows mix their neighbours and take the whole picture.
    bool RowByRow;
    bool Animated; // the format holds an animation
    const TInputFacts& Facts;
};

struct TRoad {
    TReadRoad Read;
    TWriteRoad Write;
    bool (*Takes)(const TQuestion&);
};

// The first road that takes a file is its road. A new road (a format, a
// direction of reflection) is one more line here or one more question
// above; its writer is the one place that knows how to write it
// (file_reflection.cpp).
constexpr std::array<TRoad, 12> Roads{{
    // An animation goes frame by frame wherever the format holds one; the
    // other formats take its first frame by the roads below.
    {TReadRoad::FrameByFrame, TWriteRoad::Animation,
     [](const TQuestion& Q) { return !Q.Facts.Decoded && Q.Facts.Frames > 1 && Q.Animated; }},
    {TReadRoad::InMemory, TWriteRoad::PngBands,
     [](const TQuestion& Q) { return Q.Facts.Decoded && Q.Png && Q.Translucent && Q.RowByRow; }},
    {TReadRoad::InMemory, TWriteRoad::PngAtOnce, [](const TQuestion& Q) { return Q.Facts.Decoded && Q.Png; }},
    {TReadRoad::InMemory, TWriteRoad::Rows,
     [](const TQuestion& Q) { return Q.Facts.Decoded && Q.FromRows && Q.RowByRow; }},
    {TReadRoad::InMemory, TWriteRoad::Encoded, [](const TQuestion& Q) { return Q.Facts.Decoded; }},
    // The encoder cannot wait for the last row to learn whether the file
    // needs alpha: the header or the values must tell it first.
    {TReadRoad::Streamed, TWriteRoad::PngBands,
     [](const TQuestion& Q) {
         return Q.Fastest && Q.Facts.RowsTakeIt && Q.Png && Q.RowByRow &&
                (Q.Translucent || !Q.Facts.MayHaveAlpha);
     }},
    {TReadRoad::RowDecoder, TWriteRoad::PngAtOnce,
     [](const TQuestion& Q) { return Q.Fastest && Q.Facts.RowsTakeIt && Q.Png; }},
    {TReadRoad::RowDecoder, TWriteRoad::Rows,
     [](const TQuestion& Q) { return Q.Fastest && Q.Facts.RowsTakeIt && Q.FromRows && Q.RowByRow; }},
    {TReadRoad::RowDecoder, TWriteRoad::Encoded,
     [](const TQuestion& Q) { return Q.Fastest && Q.Facts.RowsTakeIt; }},
    {TReadRoad::DecodeImage, TWriteRoad::PngAtOnce, [](const TQuestion& Q) { return Q.Png; }},
    {TReadRoad::DecodeImage, TWriteRoad::Rows, [](const TQuestion& Q) { return Q.FromRows && Q.RowByRow; }},
    {TReadRoad::DecodeImage, TWriteRoad::Encoded, [](const TQuestion&) { return true; }},
}};

int PngBands(const QSize& Picture, const TReflectionParameters& Values, bool Alpha)
{
    const QSize composed = ComposedSize(Picture, Values);
    const int height = composed.height();
    if (composed.width() <= 0 || height <= 0)
        return 0;
    const int rows = PngBandRows(std::size_t(composed.width()) * (Alpha ? 4 : 3), height);
    return (height + rows - 1) / rows;
}

QString FormatName(ImageSaveFormat Format)
{
    const TSaveFormatInfo* info = FindSaveFormat(Format);
    return info ? QString::fromLatin1(info->Description) : QStringLiteral("format %1").arg(int(Format));
}
} // namespace

bool WritesFromRows(ImageSaveFormat Format)
{
    return Format == ImageSaveFormat::Jpeg || Format == ImageSaveFormat::Bmp ||
           Format == ImageSaveFormat::Tiff;
}

TInputFacts ProbeInput(const QByteArray& Encoded)
{
    TInputFacts facts;
    if (!Encoded.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n"))) {
        // A canvas without a size (some GIF writers leave it 0 × 0) is left
        // to the whole-picture road, which takes the first frame's.
        const TAnimationFacts animation = ProbeAnimation(Encoded);
        facts.Frames = animation.Canvas.isEmpty() ? 1 : std::max(1, animation.Frames);
        return facts;
    }
    const TPngRowDecoder decoder(Encoded);
    facts.RowsTakeIt = decoder.Streamable();
    if (facts.RowsTakeIt) {
        facts.MayHaveAlpha = decoder.MayHaveAlpha();
        facts.Size = QSize(decoder.Width(), decoder.Height());
    }
    return facts;
}

TSavingPlan PlanSaving(const TSaveRequest& Request, const TInputFacts& Facts)
{
    const bool translucent =
        Facts.Size.isValid() && TComposedRows::AlwaysTranslucent(Facts.Size, Request.Reflection);
    const TSaveFormatInfo* format = FindSaveFormat(Request.Format);
    const TQuestion question{Request.Road == TReflectionRoad::Fastest,
                             Request.Format == ImageSaveFormat::Png,
                             WritesFromRows(Request.Format),
                             translucent,
                             ComposesRowByRow(Request.Reflection),
                             format && format->HoldsAnimation,
                             Facts};
    TSavingPlan plan;
    for (const TRoad& road : Roads)
        if (road.Takes(question)) {
            plan.Read = road.Read;
            plan.Write = road.Write;
            break;
        }
    if (Facts.Decoded)
        plan.Read = Facts.DecodedBy;
    plan.Format = Request.Format;
    plan.ToDevice = Request.Sink.Device != nullptr;
    plan.Direction = Request.Reflection.Direction;
    plan.MixesRows = !ComposesRowByRow(Request.Reflection);
    if (plan.Write == TWriteRoad::Animation)
        plan.Frames = Facts.Frames;
    if (plan.Write == TWriteRoad::PngBands && Facts.Size.isValid())
        plan.Bands = PngBands(Facts.Size, Request.Reflection, translucent);
    return plan;
}

QString DescribeSavingPlan(const TSavingPlan& Plan)
{
    QString line;
    switch (Plan.Read) {
    case TReadRoad::Streamed:
        line = QStringLiteral("streamed PNG");
        break;
    case TReadRoad::RowDecoder:
        line = QStringLiteral("whole picture (row decoder), ");
        break;
    case TReadRoad::DecodeImage:
        line = QStringLiteral("whole picture, ");
        break;
    case TReadRoad::InMemory:
        line = QStringLiteral("picture in memory, ");
        break;
    case TReadRoad::FrameByFrame:
        line = QStringLiteral("animation, %1 frames, ").arg(Plan.Frames);
        break;
    }
    switch (Plan.Write) {
    case TWriteRoad::PngBands: {
        const QString bands =
            Plan.Bands > 0 ? QStringLiteral("%1 band%2").arg(Plan.Bands).arg(Plan.Bands == 1 ? "" : "s")
                           : QStringLiteral("bands");
        line += Plan.Read == TReadRoad::Streamed ? QStringLiteral(", ") + bands
                                                 : QStringLiteral("PNG in ") + bands;
        break;
    }
    case TWriteRoad::PngAtOnce:
        line += Plan.MixesRows ? QStringLiteral("PNG at once (the styled side mixes rows)")
                               : QStringLiteral("PNG at once (alpha known only at the end)");
        break;
    case TWriteRoad::Rows:
        line += FormatName(Plan.Format) + QStringLiteral(" in rows");
        break;
    case TWriteRoad::Encoded:
    case TWriteRoad::Animation:
        line += FormatName(Plan.Format);
        break;
    }
    if (Plan.Direction != TReflectionDirection::Below)
        line += QStringLiteral(", reflection %1")
                    .arg(QLatin1String(ReflectionDirectionInfo(Plan.Direction).Name));
    if (Plan.ToDevice)
        line += QStringLiteral(", to a device");
    return line;
}
