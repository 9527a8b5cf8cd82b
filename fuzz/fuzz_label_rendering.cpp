// The whole label rendering from any bytes: markup, area size and options from
// the input, drawn, hit-tested and measured the way the window and the command
// line do, with pictures allowed from a folder of small hostile files (the
// working folder while an input runs, so "file://name" reaches them) and a
// low picture limit.
#include "fuzz_support.h"
#include "markup/label/label_rendering.h"
#include "pictures/html_picture.h"
#include "pictures/html_picture_cache.h"
#include "toolkit/graphics/font.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdint>
#include <cstdlib>
#include <zlib.h>

namespace
{
constexpr std::size_t OptionBytes = 6;
constexpr int MaxSide = 512;

QByteArray Chunk(const char* Type, const QByteArray& Data)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(Data.size()), out.data());
    const QByteArray body = QByteArray(Type, 4) + Data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))), crc.data());
    return out + body + crc;
}

// A PNG whose header declares Width x Height over a few bytes of data.
QByteArray PngDeclaring(quint32 Width, quint32 Height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(Width, header.data());
    qToBigEndian<quint32>(Height, header.data() + 4);
    header[8] = 8;
    header[9] = 6;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", QByteArray(16, '\0')) +
           Chunk("IEND", {});
}

void Write(const QString& Name, const QByteArray& Bytes)
{
    QFile file(Name);
    if (file.open(QIODevice::WriteOnly))
        file.write(Bytes);
}

// tiny.png (2 x 2), huge.png (declares 30000 x 30000), cut.png (cut short),
// tall.gif (a 1 x 4000 GIF), outside.png (a link to a file outside the folder).
void MakePictureFolder(const QString& Folder, const QString& Outside)
{
    QImage tiny(2, 2, QImage::Format_ARGB32);
    tiny.fill(0x80FF0000u);
    tiny.save(Folder + QStringLiteral("/tiny.png"));
    Write(Folder + QStringLiteral("/huge.png"), PngDeclaring(30000, 30000));
    QFile tinyFile(Folder + QStringLiteral("/tiny.png"));
    tinyFile.open(QIODevice::ReadOnly);
    Write(Folder + QStringLiteral("/cut.png"), tinyFile.readAll().left(40));
    QImage tall(1, 4000, QImage::Format_RGB32);
    tall.fill(Qt::blue);
    tall.save(Folder + QStringLiteral("/tall.gif"));
    tiny.save(Outside + QStringLiteral("/secret.png"));
    QFile::link(Outside + QStringLiteral("/secret.png"), Folder + QStringLiteral("/outside.png"));
}

QTemporaryDir& Folders()
{
    static QTemporaryDir folders;
    return folders;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartFuzzApplication(argc, argv);
    RegisterTahomaFont();
    const QString root = Folders().path();
    QDir(root).mkpath(QStringLiteral("pictures"));
    QDir(root).mkpath(QStringLiteral("private"));
    MakePictureFolder(root + QStringLiteral("/pictures"), root + QStringLiteral("/private"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size < OptionBytes)
        return 0;
    const int width = 1 + Data[0] * MaxSide / 256;
    const int height = 1 + Data[1] * MaxSide / 256;
    const QString markup =
        QString::fromUtf8(reinterpret_cast<const char*>(Data + OptionBytes), qsizetype(Size - OptionBytes));
    // The fuzzer's own paths (corpus, findings) stay relative to where it
    // was started.
    const QString started = QDir::currentPath();
    QDir::setCurrent(Folders().path() + QStringLiteral("/pictures"));

    TLabelRendering rendering;
    rendering.Font()->SetName(QStringLiteral("Tahoma"));
    rendering.Font()->SetSize(1 + Data[2] % 40);
    rendering.Background = (Data[3] & 1) ? clWhite : clBlack;
    rendering.Parameters.Size = Data[4] % 101;
    rendering.Parameters.Axis = int(Data[5] % 21) - 10;
    TPicturePolicy policy;
    policy.ReadAnyLocalFile = false;
    policy.AllowFolder(QDir::currentPath());
    policy.MaxPicturePixels = 1'000'000;
    policy.MaxCachedBytes = 8 << 20;
    // Every path the lookup looks at, pictures and shell icons alike, must lie
    // inside the allowed folder once resolved.
    const QString inside = policy.AllowedFolders.value(0) + u'/';
    bool lookedOutside = false;
    policy.OnLocalPath = [&](const QString& Path) {
        if (!Path.startsWith(inside))
            lookedOutside = true;
    };
    rendering.PictureCache()->SetPolicy(policy);

    QImage surface(width, height, QImage::Format_RGB32);
    rendering.Paint(surface, markup, QPoint(width / 2, height / 2), -1, false);
    QString anchor;
    QRect anchorRect;
    int anchorIndex = -1;
    rendering.AnchorAt(surface, markup, width / 3, height / 3, anchor, anchorRect, anchorIndex);
    const QSize fitting = rendering.FittingSize(markup, width);
    bool readOutside = false;
    const THTMLPictureCache& cache = *rendering.PictureCache();
    for (int i = 0; i < cache.Count(); ++i)
        if (cache.PictureAt(i)->Identifier().contains(QLatin1String("outside")) &&
            !cache.PictureAt(i)->IsEmpty())
            readOutside = true;
    // A link out of the folder is refused as such, never followed, and no
    // path outside it is looked at; the
    // laid-out size is never negative and the surface keeps its size.
    if (readOutside || lookedOutside || fitting.width() < 1 || fitting.height() < 1 ||
        rendering.MarkupWidth() < 0 || surface.size() != QSize(width, height))
        std::abort();
    QDir::setCurrent(started);
    return 0;
}
