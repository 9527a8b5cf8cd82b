#include "imaging/codecs/heif_decoding.h"

#include "imaging/codecs/heif_module.h"
#include "imaging/image_limits.h"

#include <QImage>
#include <cstring>

namespace
{
TDecodedImage Failure(TFailureKind Kind, TGpStatus Status, QString Reason, QByteArray Format,
                      bool Damaged = false)
{
    TDecodedImage result;
    result.Kind = Kind;
    result.Status = Status;
    result.Reason = std::move(Reason);
    result.Format = std::move(Format);
    result.Damaged = Damaged;
    return result;
}

// The main brands libheif 1.15 takes for HEIF (heif_check_filetype): a
// file is recognised without loading the module, which only files of these
// brands need.
constexpr const char* HeifBrands[] = {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm",
                                      "hevs", "mif1", "msf1", "avif", "avis", "vvic"};

// A file read by the module, closed on every return path.
class TModuleFile
{
  public:
    TModuleFile(const LumivexHeifModule& Module, const QByteArray& Data)
        : FModule(Module), FFile(Module.Open(Data.constData(), size_t(Data.size()), MaxDecodedSide))
    {
    }
    ~TModuleFile()
    {
        if (FFile)
            FModule.Close(FFile);
    }
    TModuleFile(const TModuleFile&) = delete;
    TModuleFile& operator=(const TModuleFile&) = delete;

    LumivexHeifFile* Get() const { return FFile; }
    // The primary image's size; false when the file has none to read.
    bool PrimarySize(int& Width, int& Height) const
    {
        return FFile && FModule.PrimarySize(FFile, &Width, &Height);
    }
    QString Error() const
    {
        return FFile ? QString::fromUtf8(FModule.Error(FFile)) : QStringLiteral("out of memory");
    }

  private:
    const LumivexHeifModule& FModule;
    LumivexHeifFile* FFile;
};

QByteArray PacketOf(const LumivexHeifModule& Module, const TModuleFile& File, int Kind, qsizetype MaxSize)
{
    QByteArray packet;
    if (!Module.Packet(File.Get(), Kind, size_t(MaxSize), AppendToByteArray, &packet))
        return {};
    return packet;
}

// The bounds are those of the packets themselves: the EXIF block has room
// for what a writer puts before its TIFF header, and an XMP packet one byte
// over the bound is left for CheckImagePackets to refuse.
TImagePackets PacketsOf(const LumivexHeifModule& Module, const TModuleFile& File)
{
    TImagePackets packets;
    packets.Icc = PacketOf(Module, File, LUMIVEX_HEIF_ICC, MaxIccProfileBytes);
    packets.Exif = PacketOf(Module, File, LUMIVEX_HEIF_EXIF, MaxMetadataPacketBytes + 64);
    packets.Xmp = PacketOf(Module, File, LUMIVEX_HEIF_XMP, MaxMetadataPacketBytes + 1);
    if (packets.Exif.startsWith(QByteArrayLiteral("Exif\0\0")))
        packets.Exif.remove(0, 6);
    CheckImagePackets(packets);
    return packets;
}
} // namespace

QByteArray DetectHeifFormat(const QByteArray& Head)
{
    if (Head.size() < 12 || Head.mid(4, 4) != "ftyp")
        return {};
    const QByteArray brand = Head.mid(8, 4);
    if (brand == "avif" || brand == "avis")
        return QByteArrayLiteral("avif");
    for (const char* known : HeifBrands)
        if (brand == known)
            return QByteArrayLiteral("heif");
    return {};
}

QStringList HeifFileSuffixes()
{
    return {QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("avif")};
}

QSize DeclaredHeifSize(const QByteArray& Head)
{
    if (DetectHeifFormat(Head).isEmpty())
        return {};
    const LumivexHeifModule* module = LoadHeifModule();
    if (!module)
        return {};
    const TModuleFile file(*module, Head);
    int width = 0, height = 0;
    if (!file.PrimarySize(width, height))
        return {};
    return QSize(width, height);
}

TDecodedImage DecodeHeif(const QByteArray& Data, const TDecodeOptions& Options)
{
    const QByteArray format = DetectHeifFormat(Data);
    if (format.isEmpty())
        return Failure(TFailureKind::Unsupported, TGpStatus::UnknownImageFormat,
                       QStringLiteral("unknown image format"), {});
    QString missing;
    const LumivexHeifModule* module = LoadHeifModule(&missing);
    if (!module)
        return Failure(TFailureKind::Unsupported, TGpStatus::UnknownImageFormat, missing, format);
    const TModuleFile file(*module, Data);
    int width = 0, height = 0;
    if (!file.PrimarySize(width, height))
        return Failure(TFailureKind::Damaged, DamagedImageStatus,
                       QStringLiteral("damaged image: %1").arg(file.Error()), format, true);

    // The declared size decides before any pixel memory exists.
    QString reason;
    const TGpStatus sizeStatus = CheckImageSize(width, height, &reason);
    if (sizeStatus != TGpStatus::Ok)
        return Failure(sizeStatus == TGpStatus::InvalidParameter ? TFailureKind::Damaged
                                                                 : TFailureKind::OutOfMemory,
                       sizeStatus, reason, format);
    if (qint64(width) * height > Options.MaxPixels)
        return Failure(TFailureKind::OverLimit, TGpStatus::OutOfMemory,
                       PixelLimitReason(width, height, Options.MaxPixels), format);

    const int outcome = file.Get() ? module->Decode(file.Get()) : int(LUMIVEX_HEIF_FAILED);
    if (outcome == LUMIVEX_HEIF_UNSUPPORTED)
        return Failure(TFailureKind::Unsupported, TGpStatus::UnknownImageFormat,
                       QStringLiteral("could not decode the %1 image: %2")
                           .arg(QString::fromLatin1(format), file.Error()),
                       format);
    if (outcome != LUMIVEX_HEIF_OK)
        return Failure(TFailureKind::Damaged, DamagedImageStatus,
                       QStringLiteral("damaged image: %1").arg(file.Error()), format, true);
    int planeWidth = 0, planeHeight = 0, stride = 0;
    const unsigned char* plane = module->Pixels(file.Get(), &planeWidth, &planeHeight, &stride);
    if (!plane || planeWidth <= 0 || planeHeight <= 0 || qint64(planeWidth) * planeHeight > Options.MaxPixels)
        return Failure(TFailureKind::Damaged, DamagedImageStatus,
                       QStringLiteral("damaged image: the decoded picture has no pixels"), format, true);
    QImage rgba(planeWidth, planeHeight, QImage::Format_RGBA8888);
    if (rgba.isNull())
        return Failure(TFailureKind::OutOfMemory, TGpStatus::OutOfMemory,
                       QStringLiteral("out of memory decoding the image"), format);
    for (int y = 0; y < planeHeight; ++y)
        std::memcpy(rgba.scanLine(y), plane + std::size_t(y) * std::size_t(stride),
                    std::size_t(planeWidth) * 4);

    TDecodedImage result;
    result.Image = rgba.convertToFormat(QImage::Format_ARGB32);
    if (Options.ScaledSize.isValid() && !Options.ScaledSize.isEmpty() &&
        (result.Image.width() > Options.ScaledSize.width() ||
         result.Image.height() > Options.ScaledSize.height()))
        result.Image = result.Image.scaled(Options.ScaledSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (result.Image.isNull())
        return Failure(TFailureKind::OutOfMemory, TGpStatus::OutOfMemory,
                       QStringLiteral("out of memory converting the image"), format);
    result.Format = format;
    result.Status = TGpStatus::Ok;
    result.Packets = PacketsOf(*module, file);
    return result;
}

TImagePackets ReadHeifPackets(const QByteArray& Data)
{
    if (DetectHeifFormat(Data).isEmpty())
        return {};
    const LumivexHeifModule* module = LoadHeifModule();
    if (!module)
        return {};
    const TModuleFile file(*module, Data);
    int width = 0, height = 0;
    return file.PrimarySize(width, height) ? PacketsOf(*module, file) : TImagePackets();
}
