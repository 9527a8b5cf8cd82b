#include "imaging/metadata/image_packets.h"

#include "imaging/metadata/colour_profiles.h"

#include <cstdint>
#include <map>
#include <zlib.h>

namespace
{

const unsigned char* Bytes(const QByteArray& Data)
{
    return reinterpret_cast<const unsigned char*>(Data.constData());
}

std::uint32_t BigEndian32(const unsigned char* At)
{
    return (std::uint32_t(At[0]) << 24) | (std::uint32_t(At[1]) << 16) | (std::uint32_t(At[2]) << 8) | At[3];
}

std::uint32_t LittleEndian32(const unsigned char* At)
{
    return (std::uint32_t(At[3]) << 24) | (std::uint32_t(At[2]) << 16) | (std::uint32_t(At[1]) << 8) | At[0];
}

// A zlib stream inflated, or nothing when it is damaged or inflates to more
// than Limit bytes: a few bytes must not become gigabytes.
QByteArray InflateBounded(const char* Data, qsizetype Size, qsizetype Limit)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    QByteArray out;
    char chunk[16384];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data));
    stream.avail_in = uInt(Size);
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (out.size() > Limit || (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0))
            status = Z_DATA_ERROR;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

bool StartsWith(const unsigned char* At, qsizetype Size, const char* Prefix, qsizetype PrefixSize)
{
    return Size >= PrefixSize &&
           std::equal(At, At + PrefixSize, reinterpret_cast<const unsigned char*>(Prefix));
}

// An EXIF packet as stored: some writers keep JPEG's "Exif\0\0" in front.
QByteArray WithoutExifHeader(QByteArray Exif)
{
    if (Exif.startsWith(QByteArrayLiteral("Exif\0\0")))
        Exif.remove(0, 6);
    return Exif;
}

void ReadJpeg(const QByteArray& File, TImagePackets& Packets)
{
    static const char Exif[] = "Exif\0";
    static const char Xmp[] = "http://ns.adobe.com/xap/1.0/";
    static const char Icc[] = "ICC_PROFILE";
    static const char Photoshop[] = "Photoshop 3.0";
    const unsigned char* bytes = Bytes(File);
    const qsizetype size = File.size();
    std::map<int, QByteArray> iccParts;
    int iccCount = 0;
    bool iccBroken = false;
    qsizetype pos = 2;
    while (pos + 4 <= size && bytes[pos] == 0xFF) {
        const unsigned char code = bytes[pos + 1];
        if (code == 0xFF) {
            ++pos;
            continue;
        }
        if (code == 0xDA || code == 0xD9)
            break;
        const qsizetype length = (qsizetype(bytes[pos + 2]) << 8) | bytes[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            break;
        const unsigned char* payload = bytes + pos + 4;
        const qsizetype payloadSize = length - 2;
        const auto tail = [&](qsizetype Skip) {
            return QByteArray(reinterpret_cast<const char*>(payload + Skip), payloadSize - Skip);
        };
        if (code == 0xE1 && StartsWith(payload, payloadSize, Exif, sizeof Exif) && Packets.Exif.isEmpty())
            Packets.Exif = tail(6);
        else if (code == 0xE1 && StartsWith(payload, payloadSize, Xmp, sizeof Xmp) && Packets.Xmp.isEmpty())
            Packets.Xmp = tail(qsizetype(sizeof Xmp));
        else if (code == 0xE2 && StartsWith(payload, payloadSize, Icc, sizeof Icc) &&
                 payloadSize >= qsizetype(sizeof Icc) + 2) {
            // A profile over 64 KiB is split over numbered segments.
            const int sequence = payload[sizeof Icc];
            const int count = payload[sizeof Icc + 1];
            if (sequence < 1 || sequence > count || (iccCount && count != iccCount) ||
                iccParts.count(sequence))
                iccBroken = true;
            iccCount = count;
            iccParts[sequence] = tail(qsizetype(sizeof Icc) + 2);
        } else if (code == 0xED && StartsWith(payload, payloadSize, Photoshop, sizeof Photoshop))
            Packets.Iptc += tail(qsizetype(sizeof Photoshop));
        pos += 2 + length;
    }
    if (iccParts.empty())
        return;
    if (iccBroken || int(iccParts.size()) != iccCount) {
        Packets.Dropped << QStringLiteral("the ICC profile: its parts are missing or out of order");
        return;
    }
    for (const auto& part : iccParts)
        Packets.Icc += part.second;
}

// iTXt: keyword, NUL, compression flag and method, language tag, NUL,
// translated keyword, NUL, text.
QByteArray ITxtText(const QByteArray& Data, const char* Keyword, TImagePackets& Packets)
{
    const QByteArray keyword(Keyword);
    if (!Data.startsWith(keyword + '\0') || Data.size() < keyword.size() + 3)
        return {};
    qsizetype pos = keyword.size() + 1;
    const bool compressed = Data[pos] != 0;
    pos += 2;
    for (int field = 0; field < 2; ++field) {
        const qsizetype end = Data.indexOf('\0', pos);
        if (end < 0)
            return {};
        pos = end + 1;
    }
    if (!compressed)
        return Data.mid(pos);
    QByteArray text = InflateBounded(Data.constData() + pos, Data.size() - pos, MaxMetadataPacketBytes + 1);
    if (text.isEmpty())
        Packets.Dropped << QStringLiteral("the XMP packet: its compressed text is damaged or too large");
    return text;
}

void ReadPng(const QByteArray& File, TImagePackets& Packets)
{
    const unsigned char* bytes = Bytes(File);
    const qsizetype size = File.size();
    qsizetype pos = 8;
    while (pos + 12 <= size) {
        const qsizetype length = qsizetype(BigEndian32(bytes + pos));
        if (length > size - pos - 12)
            break;
        const QByteArray type(File.constData() + pos + 4, 4);
        const QByteArray data(File.constData() + pos + 8, length);
        if (type == "IEND")
            break;
        if (type == "iCCP") {
            const qsizetype name = data.indexOf('\0');
            if (name < 1 || name + 2 > data.size() || data[name + 1] != 0)
                Packets.Dropped << QStringLiteral("the ICC profile: its chunk is malformed");
            else {
                Packets.Icc =
                    InflateBounded(data.constData() + name + 2, data.size() - name - 2, MaxIccProfileBytes);
                if (Packets.Icc.isEmpty())
                    Packets.Dropped << QStringLiteral("the ICC profile: its compressed data is damaged");
            }
        } else if (type == "sRGB")
            Packets.Srgb = true;
        else if (type == "eXIf")
            Packets.Exif = WithoutExifHeader(data);
        else if (type == "iTXt" && Packets.Xmp.isEmpty())
            Packets.Xmp = ITxtText(data, "XML:com.adobe.xmp", Packets);
        pos += 12 + length;
    }
}

void ReadWebp(const QByteArray& File, TImagePackets& Packets)
{
    const unsigned char* bytes = Bytes(File);
    const qsizetype size = File.size();
    qsizetype pos = 12;
    while (pos + 8 <= size) {
        const qsizetype length = qsizetype(LittleEndian32(bytes + pos + 4));
        if (length > size - pos - 8)
            break;
        const QByteArray type(File.constData() + pos, 4);
        const QByteArray data(File.constData() + pos + 8, length);
        if (type == "ICCP")
            Packets.Icc = data;
        else if (type == "EXIF")
            Packets.Exif = WithoutExifHeader(data);
        else if (type == "XMP ")
            Packets.Xmp = data;
        pos += 8 + length + (length & 1);
    }
}

void ReadTiff(const QByteArray& File, TImagePackets& Packets)
{
    const unsigned char* bytes = Bytes(File);
    const qsizetype size = File.size();
    const bool little = bytes[0] == 'I';
    const auto read16 = [&](qsizetype At) {
        return little ? std::uint32_t(bytes[At] | (bytes[At + 1] << 8))
                      : std::uint32_t((bytes[At] << 8) | bytes[At + 1]);
    };
    const auto read32 = [&](qsizetype At) {
        return little ? LittleEndian32(bytes + At) : BigEndian32(bytes + At);
    };
    const qsizetype directory = qsizetype(read32(4));
    if (directory < 8 || directory + 2 > size)
        return;
    const qsizetype entries = qsizetype(read16(directory));
    for (qsizetype i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + 12 * i;
        if (entry + 12 > size)
            break;
        const std::uint32_t tag = read16(entry);
        const std::uint32_t type = read16(entry + 2);
        const qsizetype count = qsizetype(read32(entry + 4));
        // The packets are bytes (BYTE or UNDEFINED) or, as some writers put
        // IPTC, LONG words holding bytes.
        const qsizetype unit = type == 4 ? 4 : (type == 1 || type == 7) ? 1 : 0;
        if (unit == 0 || count <= 0 || count > size / unit)
            continue;
        const qsizetype length = count * unit;
        const qsizetype at = length <= 4 ? entry + 8 : qsizetype(read32(entry + 8));
        if (at < 0 || at > size - length)
            continue;
        const QByteArray data(File.constData() + at, length);
        if (tag == 34675)
            Packets.Icc = data;
        else if (tag == 700)
            Packets.Xmp = data;
        else if (tag == 34377)
            Packets.Iptc = data;
    }
}

// A profile that states another length than it has, or that LittleCMS
// cannot open, would make every colour-managed reader of the output guess.
QString IccProblem(const QByteArray& Icc)
{
    if (Icc.size() < 132 || qsizetype(BigEndian32(Bytes(Icc))) != Icc.size())
        return QStringLiteral("its header gives another length than it has");
    if (Icc.mid(36, 4) != "acsp")
        return QStringLiteral("it has no profile signature");
    if (!IccProfileOpens(Icc))
        return QStringLiteral("it cannot be read as a colour profile");
    return {};
}

} // namespace

TImagePackets ReadImagePackets(const QByteArray& File)
{
    TImagePackets packets;
    if (File.startsWith("\xFF\xD8"))
        ReadJpeg(File, packets);
    else if (File.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n")))
        ReadPng(File, packets);
    else if (File.startsWith("RIFF") && File.mid(8, 4) == "WEBP")
        ReadWebp(File, packets);
    else if (File.size() >= 8 &&
             (File.startsWith(QByteArrayLiteral("II*\0")) || File.startsWith(QByteArrayLiteral("MM\0*"))))
        ReadTiff(File, packets);
    CheckImagePackets(packets);
    return packets;
}

void CheckImagePackets(TImagePackets& Packets)
{
    if (!Packets.Icc.isEmpty()) {
        const QString problem = Packets.Icc.size() > MaxIccProfileBytes ? QStringLiteral("it is too large")
                                                                        : IccProblem(Packets.Icc);
        if (!problem.isEmpty()) {
            Packets.Dropped << QStringLiteral("the ICC profile: %1").arg(problem);
            Packets.Icc.clear();
        }
    }
    const auto limit = [&](QByteArray& Packet, const char* Name) {
        if (Packet.size() <= MaxMetadataPacketBytes)
            return;
        Packets.Dropped << QStringLiteral("the %1 packet: %2 bytes, over the limit of %3")
                               .arg(QLatin1String(Name))
                               .arg(Packet.size())
                               .arg(MaxMetadataPacketBytes);
        Packet.clear();
    };
    limit(Packets.Exif, "EXIF");
    limit(Packets.Xmp, "XMP");
    limit(Packets.Iptc, "IPTC");
    if (!Packets.Exif.isEmpty() && !Packets.Exif.startsWith(QByteArrayLiteral("II*\0")) &&
        !Packets.Exif.startsWith(QByteArrayLiteral("MM\0*"))) {
        Packets.Dropped << QStringLiteral("the EXIF packet: it does not start with a TIFF header");
        Packets.Exif.clear();
    }
}
