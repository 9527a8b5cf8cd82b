#include "imaging/metadata/colour_profiles.h"

#include <QImage>
#include <QSysInfo>
#include <lcms2.h>

namespace
{
struct TProfileCloser {
    void operator()(void* Profile) const { cmsCloseProfile(Profile); }
};
using TProfile = std::unique_ptr<void, TProfileCloser>;

TProfile OpenProfile(const QByteArray& Icc)
{
    if (Icc.isEmpty())
        return nullptr;
    TProfile profile(cmsOpenProfileFromMem(Icc.constData(), cmsUInt32Number(Icc.size())));
    if (profile && cmsGetColorSpace(profile.get()) != cmsSigRgbData)
        profile.reset();
    return profile;
}
} // namespace

bool IccProfileOpens(const QByteArray& Icc)
{
    return OpenProfile(Icc) != nullptr;
}

TSrgbConversion::TSrgbConversion(const QByteArray& Icc)
{
    const TProfile source = OpenProfile(Icc);
    if (!source) {
        FReason = QStringLiteral("the colour profile cannot be read");
        return;
    }
    const TProfile srgb(cmsCreate_sRGBProfile());
    // 0xAARRGGBB words lie in memory as B, G, R, A on little-endian machines;
    // alpha is copied, never converted.
    const cmsUInt32Number layout = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TYPE_BGRA_8 : TYPE_ARGB_8;
    if (srgb)
        FTransform =
            cmsCreateTransform(source.get(), layout, srgb.get(), layout, INTENT_RELATIVE_COLORIMETRIC,
                               cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA);
    if (!FTransform)
        FReason = QStringLiteral("the colour profile cannot be converted to sRGB");
}

TSrgbConversion::~TSrgbConversion()
{
    if (FTransform)
        cmsDeleteTransform(FTransform);
}

void TSrgbConversion::Convert(std::uint32_t* Pixels, int Count) const
{
    if (FTransform && Count > 0)
        cmsDoTransform(FTransform, Pixels, Pixels, cmsUInt32Number(Count));
}

bool ConvertToSrgb(QImage& Image, const QByteArray& Icc, QString* Reason)
{
    const auto fail = [Reason](const QString& Text) {
        if (Reason)
            *Reason = Text;
        return false;
    };
    if (Image.format() != QImage::Format_ARGB32 && Image.format() != QImage::Format_RGB32)
        return fail(QStringLiteral("the picture is not 32-bit RGB"));
    const TSrgbConversion conversion(Icc);
    if (!conversion.Valid())
        return fail(conversion.Reason());
    for (int y = 0; y < Image.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(Image.scanLine(y));
        if (!line)
            return fail(QStringLiteral("out of memory converting the picture"));
        conversion.Convert(line, Image.width());
    }
    return true;
}
