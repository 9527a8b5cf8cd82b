#include "imaging/codecs/avif_writer.h"

#include "imaging/codecs/heif_module.h"
#include "imaging/metadata/image_packets.h"

#include <QIODevice>
#include <QImage>

namespace
{
bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}
} // namespace

bool AvifWriterReady(QString* Reason)
{
    return LoadHeifModule(Reason) != nullptr;
}

bool WriteAvifImage(const QImage& Image, QIODevice* Device, int Quality, const TImagePackets* Packets,
                    QString* Reason)
{
    if (Image.isNull())
        return Fail(Reason, QStringLiteral("no image to write"));
    QString missing;
    const LumivexHeifModule* module = LoadHeifModule(&missing);
    if (!module)
        return Fail(Reason, missing);
    if (!module->CanEncodeAvif())
        return Fail(Reason, QStringLiteral("this libheif has no AV1 encoder"));
    const QImage pixels = Image.convertToFormat(QImage::Format_ARGB32);
    if (pixels.isNull())
        return Fail(Reason, QStringLiteral("out of memory converting the image"));

    LumivexHeifPicture picture{};
    picture.Rows = pixels.constBits();
    picture.Width = pixels.width();
    picture.Height = pixels.height();
    picture.Stride = size_t(pixels.bytesPerLine());
    if (Packets) {
        picture.Icc = Packets->Icc.constData();
        picture.IccSize = size_t(Packets->Icc.size());
        picture.Exif = Packets->Exif.constData();
        picture.ExifSize = size_t(Packets->Exif.size());
        picture.Xmp = Packets->Xmp.constData();
        picture.XmpSize = size_t(Packets->Xmp.size());
    }
    QByteArray bytes;
    QByteArray error;
    if (module->EncodeAvif(&picture, Quality, AppendToByteArray, &bytes, AppendToByteArray, &error) !=
        LUMIVEX_HEIF_OK)
        return Fail(Reason, QString::fromUtf8(error));
    if (Device->write(bytes) != bytes.size())
        return Fail(Reason, Device->errorString());
    return true;
}
