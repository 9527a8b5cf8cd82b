#pragma once

#include "imaging/codecs/image_decoding.h"
#include "imaging/metadata/image_packets.h"
#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_formats.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>

class QIODevice;

// Where a saved reflection goes: FileName by the rules of TOutputFile, or,
// when Device is given, Device once everything is encoded.
struct TOutputSink {
    QString FileName;
    QIODevice* Device = nullptr;
};

// What a caller allows.
enum class TReflectionRoad {
    // Rows streamed from decoder to encoder where the file allows it, the
    // whole picture otherwise, a PNG's read by the row decoder where it
    // takes the file.
    Fastest,
    // Always decode the whole picture with DecodeImage first (the reference
    // for the other roads).
    WholePicture,
};

// One file's reflection to be written: Input decoded with Options, composed
// with Reflection, written in Format at Quality (JPEG's and WebP's) to Sink.
// DoneWithInput, when given, is called as soon as Input is no longer needed.
struct TSaveRequest {
    const QByteArray* Input = nullptr;
    TDecodeOptions Options;
    TReflectionParameters Reflection;
    ImageSaveFormat Format = ImageSaveFormat::Png;
    int Quality = DefaultSaveQuality;
    TOutputSink Sink;
    TReflectionRoad Road = TReflectionRoad::Fastest;
    std::function<void()> DoneWithInput;
    // Write no colour profile and no metadata; a profiled picture's colours
    // are converted to sRGB first.
    bool Strip = false;
    // The input's colour profile and metadata once read (WriteFileReflection
    // sets it); nullptr: none, as for a picture made in memory.
    const TImagePackets* Packets = nullptr;
};

// How the pixels are read.
enum class TReadRoad : std::uint8_t {
    Streamed,     // row by row from the PNG row decoder into the encoder
    RowDecoder,   // the whole picture through the PNG row decoder
    DecodeImage,  // the whole picture through DecodeImage
    InMemory,     // the picture is already decoded
    FrameByFrame, // an animation's frames, each composed, reflected and encoded before the next is read
};

// What is known of the picture when a plan is made: a PNG's header before
// any pixel is read, any picture's size once it is decoded.
struct TInputFacts {
    bool RowsTakeIt = false;  // the PNG row decoder reads the file, as far as it has seen
    bool MayHaveAlpha = true; // the header allows translucent pixels
    QSize Size;               // the picture's upright size; invalid while unknown
    bool Decoded = false;     // the whole picture is in memory, read as DecodedBy says
    TReadRoad DecodedBy = TReadRoad::InMemory;
    int Frames = 1; // an animation's frames, as its structure tells them
};

// How the composition is written.
enum class TWriteRoad : std::uint8_t {
    PngBands,  // PNG, the composition made band by band as the encoder asks
    PngAtOnce, // PNG from the whole composition: its alpha is known only at the end
    Rows,      // JPEG, BMP, TIFF: the composition made a band of rows at a time (flattened but for TIFF)
    Encoded,   // the format's own writer, from the whole composition
    Animation, // the format's animation writer, frame after frame
};

// The road one file takes.
struct TSavingPlan {
    TReadRoad Read = TReadRoad::DecodeImage;
    TWriteRoad Write = TWriteRoad::Encoded;
    ImageSaveFormat Format = ImageSaveFormat::Png;
    bool ToDevice = false;
    int Bands = 0;  // the PNG bands, when the size is known
    int Frames = 0; // the animation's frames, on its road
    TReflectionDirection Direction = TReflectionDirection::Below;
    // A styled reflection on a side mixes neighbouring rows of the
    // composition, which is then made whole whatever the format.
    bool MixesRows = false;
};

// The facts a PNG's header gives; of another format, the frames of an
// animation (GIF, WebP).
TInputFacts ProbeInput(const QByteArray& Encoded);

// Whether Format has a writer that takes the composition a band of rows at
// a time (TWriteRoad::Rows), where the reflection's side allows it.
bool WritesFromRows(ImageSaveFormat Format);

// The one place the road is chosen. The whole-picture roads learn the
// picture's height only once it is decoded and plan again with it; the
// streamed road plans again when the row decoder gives up half-way.
TSavingPlan PlanSaving(const TSaveRequest& Request, const TInputFacts& Facts);

// The plan as a line: "streamed PNG, 12 bands", "whole picture, JPEG",
// "animation, 24 frames, GIF", "..., reflection left", "..., to a device"
// (the side is named when it is not below).
QString DescribeSavingPlan(const TSavingPlan& Plan);
