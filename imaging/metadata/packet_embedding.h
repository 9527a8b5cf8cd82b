#pragma once

#include "imaging/metadata/image_packets.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QStringList>

struct TPngChunk;

// What one output gets of its input's packets.
struct TOutputPackets {
    TImagePackets Packets;  // what the writer embeds where its format has room
    QByteArray ConvertFrom; // the profile whose colours become sRGB before writing; empty: none
    QStringList Warnings;   // packets left out, each with its reason ("the EXIF packet: ...")
};

// The one decision: with Strip nothing is written and a profiled picture is
// converted to sRGB; a format that holds no profile (HoldsProfile false)
// gets the conversion too; otherwise everything goes, the EXIF rewritten for
// an output of OutputSize pixels.
TOutputPackets PlanOutputPackets(const TImagePackets& Input, bool Strip, bool HoldsProfile, QSize OutputSize);

// The packets as an output of Size pixels carries them: the EXIF rewritten
// upright with the new size (see exif_upright.h). A packet that cannot be
// carried is left out and named in Warnings; the rest still goes.
TImagePackets PacketsForOutput(const TImagePackets& Packets, QSize Size, QStringList* Warnings = nullptr);

// The chunks a PNG carries them in, written after its header: iCCP (or sRGB
// for a picture that said so), eXIf and the XMP packet's iTXt. PNG has no
// place for IPTC.
QList<TPngChunk> PngPacketChunks(const TImagePackets& Packets);

// Jpeg (a whole JPEG file) with the packets in segments after its start and
// JFIF header: EXIF and XMP in APP1, the profile in as many APP2 parts as it
// needs, IPTC in APP13. A packet too large for its segment is named in
// Warnings and left out.
QByteArray JpegWithPackets(const QByteArray& Jpeg, const TImagePackets& Packets,
                           QStringList* Warnings = nullptr);

// Webp (a whole WebP file) with ICCP, EXIF and XMP chunks; Webp as it was
// when libwebp's muxer refuses it. WebP has no place for IPTC.
QByteArray WebpWithPackets(const QByteArray& Webp, const TImagePackets& Packets,
                           QStringList* Warnings = nullptr);
