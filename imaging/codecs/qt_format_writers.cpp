#include "imaging/codecs/qt_format_writers.h"

#include "imaging/metadata/packet_embedding.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageWriter>

namespace
{
bool WriteWithQt(const QImage& Image, QIODevice* Device, const char* Format, int Quality, int Compression,
                 QString* Reason)
{
    QImageWriter writer(Device, Format);
    if (Quality >= 0)
        writer.setQuality(Quality);
    if (Compression >= 0)
        writer.setCompression(Compression);
    // Huffman tables fitted to the image: the same pixels in fewer bytes.
    writer.setOptimizedWrite(true);
    if (writer.write(Image))
        return true;
    if (Reason)
        *Reason = writer.errorString();
    return false;
}

// Qt's TIFF writer takes this as "LZW".
constexpr int TiffCompressionLzw = 1;

// The picture without the colour space a reader may have tagged it with:
// the profile written is the file's own, or none.
QImage Untagged(const QImage& Image)
{
    if (!Image.colorSpace().isValid())
        return Image;
    QImage untagged = Image;
    untagged.setColorSpace(QColorSpace());
    return untagged;
}
} // namespace

bool WriteTiffImage(const QImage& Image, QIODevice* Device, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason)
{
    QImage tagged = Untagged(Image);
    if (Packets && !Packets->Icc.isEmpty()) {
        const QColorSpace space = QColorSpace::fromIccProfile(Packets->Icc);
        if (space.isValid())
            tagged.setColorSpace(space);
        else if (Warnings)
            *Warnings << QStringLiteral("the ICC profile: the TIFF writer cannot read it");
    }
    return WriteWithQt(tagged, Device, "tiff", -1, TiffCompressionLzw, Reason);
}
