// The layout engine from any bytes: markup text, the area it is laid out in
// and the drawing options, on an off-screen canvas with a few pictures to
// find by index and by name. The canvas must come back as it was given.
#include "fuzz_support.h"
#include "markup/draw_markup.h"
#include "markup/markup_request.h"
#include "pictures/html_picture.h"
#include "pictures/picture_collection.h"
#include "pictures/picture_container.h"
#include "pictures/picture_item.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/image_list.h"

#include <QBuffer>
#include <QImage>
#include <QPoint>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace
{

constexpr int SurfaceWidth = 160;
constexpr int SurfaceHeight = 96;
constexpr int FontHeight = -11;

// The parameters take the input's first bytes; the markup is the rest.
struct TReader {
    const std::uint8_t* Data;
    std::size_t Size;
    std::uint8_t Next()
    {
        if (Size == 0)
            return 0;
        --Size;
        return *Data++;
    }
    // -128..127 scaled: areas may start left of, inside or past the surface.
    int Signed(int Scale) { return int(std::int8_t(Next())) * Scale; }
};

struct TFixture {
    QImage Image{SurfaceWidth, SurfaceHeight, QImage::Format_ARGB32};
    TImageList Images;
    TPictureContainer Container;

    TFixture()
    {
        RegisterTahomaFont();
        Images.SetSize(12, 10);
        Images.Add(SolidImage(12, 10, 0xFF20A040u));
        Images.Add(SolidImage(12, 10, 0x80FF0000u));
        QImage logo = SolidImage(9, 7, 0xFF2040E0u);
        QBuffer encoded;
        encoded.open(QIODevice::ReadWrite);
        logo.save(&encoded, "PNG");
        encoded.seek(0);
        TPictureItem* item = Container.Items()->Add();
        item->SetName(QStringLiteral("Logo"));
        item->Picture()->LoadStream(&encoded);
    }

    static QImage SolidImage(int Width, int Height, QRgb Color)
    {
        QImage image(Width, Height, QImage::Format_ARGB32);
        image.fill(Color);
        return image;
    }
};

TFixture* Fixture = nullptr;

TColor AnyColor(TReader& Input)
{
    // clNone and the system colours sit above the RGB range; keep some.
    const std::uint8_t kind = Input.Next();
    if (kind < 16)
        return clNone;
    return TColor(kind | (Input.Next() << 8) | (Input.Next() << 16));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartFuzzApplication(argc, argv);
    Fixture = new TFixture;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TReader input{Data, Size};
    TMarkupRequest request;
    request.Area = QRect(input.Signed(2), input.Signed(2), input.Signed(4), input.Signed(3));
    request.Point = QPoint(input.Signed(2), input.Signed(2));
    request.FocusIndex = input.Signed(1) / 16;
    request.HotIndex = input.Signed(1) / 16;
    request.ShadowShift = input.Signed(1) / 16;
    const std::uint8_t flags = input.Next();
    request.TestOnly = flags & 1;
    request.MeasureOnly = flags & 2;
    request.ScaleImages = flags & 4;
    request.KeepColors = flags & 8;
    request.BlinkVisible = flags & 16;
    request.HotOnly = flags & 32;
    request.WrapWords = flags & 64;
    const std::uint8_t sources = input.Next();
    request.Images = (sources & 1) ? &Fixture->Images : nullptr;
    request.PictureContainer = (sources & 2) ? &Fixture->Container : nullptr;
    request.ImageScale = 0.25 * (1 + input.Next() % 16);
    request.LineGap = input.Signed(1) / 8;
    request.AnchorColor = AnyColor(input);
    request.HotBackColor = AnyColor(input);
    request.HotTextColor = AnyColor(input);
    request.ShadowColor = AnyColor(input);
    const QString markup =
        QString::fromUtf8(reinterpret_cast<const char*>(input.Data), qsizetype(input.Size));

    Fixture->Image.fill(0xFFFFFFFFu);
    TCanvas canvas(&Fixture->Image);
    canvas.Font()->SetName(QStringLiteral("Tahoma"));
    canvas.Font()->SetHeight(FontHeight);
    canvas.Font()->SetColor(clBlack);

    const TMarkupResult result = DrawMarkup(canvas, markup, request);

    if (canvas.Font()->Height() != FontHeight || canvas.Font()->Color() != clBlack ||
        canvas.TextRotation() != 0)
        std::abort();
    // A negative line gap may shrink lines below nothing, so the extent is
    // not checked for sign; a count is.
    if (result.AnchorTotal < 0)
        std::abort();
    return 0;
}
