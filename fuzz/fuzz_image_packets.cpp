// Any bytes as a picture file's colour profile and metadata: reading the
// packets, rewriting the EXIF upright and moving them into JPEG, PNG and
// WebP containers never crashes, stalls or reads out of bounds, and a packet
// that passed the checks is always carried whole or named in a warning.
#include "fuzz_support.h"
#include "imaging/metadata/image_packets.h"
#include "imaging/metadata/packet_embedding.h"
#include "imaging/png/png_encoder.h"

#include <QSize>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Data), qsizetype(Size));
    const TImagePackets packets = ReadImagePackets(bytes);
    if (packets.Icc.size() > MaxIccProfileBytes || packets.Exif.size() > MaxMetadataPacketBytes ||
        packets.Xmp.size() > MaxMetadataPacketBytes)
        std::abort();
    // The bytes themselves as each kind of packet, as a hostile file could carry them.
    TImagePackets raw;
    raw.Exif = bytes;
    raw.Xmp = bytes;
    raw.Iptc = bytes;
    raw.Icc = bytes;
    CheckImagePackets(raw);
    for (const TImagePackets& candidate : {packets, raw}) {
        QStringList warnings;
        const TImagePackets out = PacketsForOutput(candidate, QSize(7, 5), &warnings);
        if (!candidate.Exif.isEmpty() && out.Exif.isEmpty() && warnings.isEmpty())
            std::abort();
        PngPacketChunks(out);
        const QByteArray jpeg = JpegWithPackets(QByteArrayLiteral("\xFF\xD8\xFF\xD9"), out, &warnings);
        if (!jpeg.startsWith("\xFF\xD8") || !jpeg.endsWith("\xFF\xD9"))
            std::abort();
        WebpWithPackets(QByteArray(), out, &warnings);
    }
    return 0;
}
