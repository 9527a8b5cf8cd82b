#include "imaging/metadata/packet_embedding.h"

#include "imaging/metadata/exif_upright.h"
#include "imaging/png/png_encoder.h"

#include <algorithm>
#include <webp/mux.h>
#include <zlib.h>

namespace
{
// A JPEG segment's length field counts itself and holds 16 bits.
constexpr qsizetype MaxSegmentPayload = 0xFFFF - 2;

QByteArray Segment(unsigned char Marker, const QByteArray& Payload)
{
    QByteArray segment;
    segment.reserve(Payload.size() + 4);
    const qsizetype length = Payload.size() + 2;
    segment.append(char(0xFF)).append(char(Marker)).append(char(length >> 8)).append(char(length & 0xFF));
    return segment + Payload;
}

QByteArray Deflated(const QByteArray& Data)
{
    uLongf size = compressBound(uLong(Data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(Data.constData()), uLong(Data.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}

void Warn(QStringList* Warnings, const QString& Text)
{
    if (Warnings)
        *Warnings << Text;
}
} // namespace

TImagePackets PacketsForOutput(const TImagePackets& Packets, QSize Size, QStringList* Warnings)
{
    TImagePackets out = Packets;
    out.Dropped.clear();
    if (!out.Exif.isEmpty()) {
        QString reason;
        out.Exif = UprightExif(Packets.Exif, Size, &reason);
        if (out.Exif.isEmpty())
            Warn(Warnings, QStringLiteral("the EXIF packet: %1").arg(reason));
    }
    return out;
}

QList<TPngChunk> PngPacketChunks(const TImagePackets& Packets)
{
    QList<TPngChunk> chunks;
    if (!Packets.Icc.isEmpty()) {
        const QByteArray deflated = Deflated(Packets.Icc);
        if (!deflated.isEmpty())
            chunks.append(TPngChunk{"iCCP", QByteArrayLiteral("ICC Profile\0\0") + deflated});
    } else if (Packets.Srgb)
        chunks.append(TPngChunk{"sRGB", QByteArray(1, '\0')});
    if (!Packets.Exif.isEmpty())
        chunks.append(TPngChunk{"eXIf", Packets.Exif});
    if (!Packets.Xmp.isEmpty())
        chunks.append(TPngChunk{"iTXt", QByteArrayLiteral("XML:com.adobe.xmp\0\0\0\0\0") + Packets.Xmp});
    return chunks;
}

QByteArray JpegWithPackets(const QByteArray& Jpeg, const TImagePackets& Packets, QStringList* Warnings)
{
    if (!Jpeg.startsWith("\xFF\xD8"))
        return Jpeg;
    QByteArray segments;
    const auto add = [&](unsigned char Marker, const QByteArray& Header, const QByteArray& Packet,
                         const char* Name) {
        if (Packet.isEmpty())
            return;
        if (Header.size() + Packet.size() > MaxSegmentPayload) {
            Warn(Warnings, QStringLiteral("the %1 packet: %2 bytes do not fit in a JPEG segment")
                               .arg(QLatin1String(Name))
                               .arg(Packet.size()));
            return;
        }
        segments += Segment(Marker, Header + Packet);
    };
    add(0xE1, QByteArrayLiteral("Exif\0\0"), Packets.Exif, "EXIF");
    add(0xE1, QByteArrayLiteral("http://ns.adobe.com/xap/1.0/\0"), Packets.Xmp, "XMP");
    if (!Packets.Icc.isEmpty()) {
        // Numbered parts of at most 64 KiB, as every reader reassembles them.
        const QByteArray header = QByteArrayLiteral("ICC_PROFILE\0");
        const qsizetype part = MaxSegmentPayload - header.size() - 2;
        const qsizetype count = (Packets.Icc.size() + part - 1) / part;
        if (count > 255)
            Warn(Warnings, QStringLiteral("the ICC profile: %1 bytes do not fit in a JPEG file")
                               .arg(Packets.Icc.size()));
        else
            for (qsizetype i = 0; i < count; ++i)
                segments +=
                    Segment(0xE2, header + char(i + 1) + char(count) + Packets.Icc.mid(i * part, part));
    }
    // Photoshop's resources may run over several APP13 segments.
    const QByteArray photoshop = QByteArrayLiteral("Photoshop 3.0\0");
    const qsizetype part = MaxSegmentPayload - photoshop.size();
    for (qsizetype at = 0; at < Packets.Iptc.size(); at += part)
        segments += Segment(0xED, photoshop + Packets.Iptc.mid(at, part));

    // After the JFIF header when there is one: readers look for it first.
    qsizetype at = 2;
    if (Jpeg.size() > 6 && uchar(Jpeg[2]) == 0xFF && uchar(Jpeg[3]) == 0xE0)
        at = std::min(Jpeg.size(), 4 + ((qsizetype(uchar(Jpeg[4])) << 8) | uchar(Jpeg[5])));
    return Jpeg.left(at) + segments + Jpeg.mid(at);
}

QByteArray WebpWithPackets(const QByteArray& Webp, const TImagePackets& Packets, QStringList* Warnings)
{
    if (Packets.Icc.isEmpty() && Packets.Exif.isEmpty() && Packets.Xmp.isEmpty())
        return Webp;
    const WebPData input{reinterpret_cast<const uint8_t*>(Webp.constData()), size_t(Webp.size())};
    WebPMux* mux = WebPMuxCreate(&input, 0);
    if (!mux) {
        Warn(Warnings, QStringLiteral("the colour profile and metadata: the WebP muxer refused the file"));
        return Webp;
    }
    bool set = true;
    const auto put = [&](const char* Type, const QByteArray& Packet) {
        if (Packet.isEmpty())
            return;
        const WebPData chunk{reinterpret_cast<const uint8_t*>(Packet.constData()), size_t(Packet.size())};
        set = set && WebPMuxSetChunk(mux, Type, &chunk, 1) == WEBP_MUX_OK;
    };
    put("ICCP", Packets.Icc);
    put("EXIF", Packets.Exif);
    put("XMP ", Packets.Xmp);
    WebPData assembled;
    WebPDataInit(&assembled);
    QByteArray out;
    if (set && WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK)
        out = QByteArray(reinterpret_cast<const char*>(assembled.bytes), qsizetype(assembled.size));
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);
    if (out.isEmpty()) {
        Warn(Warnings, QStringLiteral("the colour profile and metadata: the WebP muxer failed"));
        return Webp;
    }
    return out;
}

TOutputPackets PlanOutputPackets(const TImagePackets& Input, bool Strip, bool HoldsProfile, QSize OutputSize)
{
    TOutputPackets out;
    out.Warnings = Input.Dropped;
    if (Strip || !HoldsProfile)
        out.ConvertFrom = Input.Icc;
    if (Strip)
        return out;
    out.Packets = PacketsForOutput(Input, OutputSize, &out.Warnings);
    if (!HoldsProfile)
        out.Packets.Icc.clear();
    return out;
}
