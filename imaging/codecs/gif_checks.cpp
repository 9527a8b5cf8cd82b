#include "imaging/codecs/gif_checks.h"

#include "imaging/codecs/image_decoding.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace
{
constexpr qsizetype ScreenHeaderSize = 13;
constexpr qsizetype ImageDescriptorSize = 10; // with its 0x2C introducer
constexpr unsigned char ExtensionIntroducer = 0x21;
constexpr unsigned char ImageIntroducer = 0x2C;
constexpr unsigned char Trailer = 0x3B;
// Later frames of an animation are checked until this many pixels have been
// decoded in all; the first frame, the one shown, is always checked whole.
constexpr qint64 MaxCheckedPixels = MaxDecodedPixels;

qsizetype ColourTableBytes(unsigned char Flags)
{
    return (Flags & 0x80) ? 3 * (qsizetype(2) << (Flags & 0x07)) : 0;
}

// Skips a chain of data sub-blocks; -1 when the data ends inside it.
qsizetype SkipSubBlocks(const unsigned char* Bytes, qsizetype Size, qsizetype Pos)
{
    while (Pos < Size) {
        const qsizetype length = Bytes[Pos];
        Pos += 1 + length;
        if (length == 0)
            return Pos;
    }
    return -1;
}

QString CheckStructure(const unsigned char* Bytes, qsizetype Size)
{
    if (Size < ScreenHeaderSize ||
        (std::memcmp(Bytes, "GIF87a", 6) != 0 && std::memcmp(Bytes, "GIF89a", 6) != 0))
        return QStringLiteral("the GIF header is missing");
    qsizetype pos = ScreenHeaderSize + ColourTableBytes(Bytes[10]);
    bool seenImage = false;
    while (pos < Size) {
        const unsigned char introducer = Bytes[pos];
        if (introducer == Trailer)
            return seenImage ? QString() : QStringLiteral("the file holds no picture");
        if (introducer == ExtensionIntroducer) {
            pos = pos + 2 <= Size ? SkipSubBlocks(Bytes, Size, pos + 2) : -1;
        } else if (introducer == ImageIntroducer) {
            if (Size - pos < ImageDescriptorSize)
                return QStringLiteral("the file is cut short");
            const qint64 width = qFromLittleEndian<quint16>(Bytes + pos + 5);
            const qint64 height = qFromLittleEndian<quint16>(Bytes + pos + 7);
            QString reason;
            if (CheckImageSize(width, height, &reason) != TGpStatus::Ok)
                return QStringLiteral("a frame has %1").arg(reason);
            pos += ImageDescriptorSize + ColourTableBytes(Bytes[pos + 9]);
            if (pos >= Size)
                return QStringLiteral("the file is cut short");
            const int codeSize = Bytes[pos];
            if (codeSize < 2 || codeSize > 8)
                return QStringLiteral("a frame's LZW code size %1 is outside 2..8").arg(codeSize);
            pos = SkipSubBlocks(Bytes, Size, pos + 1);
            seenImage = true;
        } else {
            return QStringLiteral("an unknown block 0x%1 follows the data")
                .arg(uint(introducer), 2, 16, QLatin1Char('0'));
        }
        if (pos < 0)
            return QStringLiteral("the file is cut short");
    }
    return QStringLiteral("the file is cut short (no trailer)");
}

struct TMemoryInput {
    const unsigned char* Bytes = nullptr;
    qsizetype Size = 0;
    qsizetype Pos = 0;
};

int ReadFromMemory(GifFileType* Gif, GifByteType* Target, int Count)
{
    auto* input = static_cast<TMemoryInput*>(Gif->UserData);
    const qsizetype taken = std::min<qsizetype>(Count, input->Size - input->Pos);
    std::memcpy(Target, input->Bytes + input->Pos, std::size_t(taken));
    input->Pos += taken;
    return int(taken);
}

QString GifError(int Error)
{
    const char* text = GifErrorString(Error);
    return QStringLiteral("giflib reports: %1").arg(QLatin1String(text ? text : "unknown error"));
}

// Decodes every frame's LZW data a row at a time into one row of memory.
QString CheckLzwData(const unsigned char* Bytes, qsizetype Size)
{
    TMemoryInput input{Bytes, Size, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, ReadFromMemory, &error);
    if (!gif)
        return GifError(error);
    QString damage;
    qint64 checked = 0;
    std::vector<GifPixelType> row;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    while (damage.isEmpty() && record != TERMINATE_RECORD_TYPE) {
        if (DGifGetRecordType(gif, &record) != GIF_OK) {
            damage = GifError(gif->Error);
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK) {
                damage = GifError(gif->Error);
                break;
            }
            // giflib records every descriptor in an array it grows by one
            // entry per frame; nothing here reads it, and with a reallocation
            // that moves (as the sanitizers' always does) a GIF of many
            // frames would cost the square of their number.
            GifFreeSavedImages(gif);
            gif->ImageCount = 0;
            const int width = gif->Image.Width;
            const int height = gif->Image.Height;
            if (checked > 0 && checked + qint64(width) * height > MaxCheckedPixels)
                break;
            checked += qint64(width) * height;
            row.resize(std::size_t(std::max(width, 1)));
            for (int y = 0; y < height && damage.isEmpty(); ++y)
                if (DGifGetLine(gif, row.data(), width) != GIF_OK)
                    damage = GifError(gif->Error);
        } else if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK)
                damage = GifError(gif->Error);
            while (damage.isEmpty() && block)
                if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                    damage = GifError(gif->Error);
        }
    }
    DGifCloseFile(gif, &error);
    return damage;
}
} // namespace

QString FindGifDamage(const QByteArray& Data)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(Data.constData());
    const QString structure = CheckStructure(bytes, Data.size());
    if (!structure.isEmpty())
        return structure;
    return CheckLzwData(bytes, Data.size());
}
