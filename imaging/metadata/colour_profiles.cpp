#include "imaging/metadata/colour_profiles.h"

#include <QImage>
#include <QSysInfo>
#include <lcms2.h>
#include <memory>

namespace
{
struct TProfileCloser {
    void operator()(void* Profile) const { cmsCloseProfile(Profile); }
};
struct TTransformDeleter {
    void operator()(void* Transform) const { cmsDeleteTransform(Transform); }
};
using TProfile = std::unique_ptr<void, TProfileCloser>;
using TTransform = std::unique_ptr<void, TTransformDeleter>;

TProfile OpenProfile(const QByteArray& Icc)
{
    if (Icc.isEmpty())
        return nullptr;
    TProfile profile(cmsOpenProfileFromMem(Icc.constData(), cmsUInt32Number(Icc.size())));
    if (profile && cmsGetColorSpace(profile.get()) != cmsSigRgbData)
        profile.reset();
    return profile;
}

bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}
} // namespace

bool IccProfileOpens(const QByteArray& Icc)
{
    return OpenProfile(Icc) != nullptr;
}

bool ConvertToSrgb(QImage& Image, const QByteArray& Icc, QString* Reason)
{
    if (Image.format() != QImage::Format_ARGB32 && Image.format() != QImage::Format_RGB32)
        return Fail(Reason, QStringLiteral("the picture is not 32-bit RGB"));
    const TProfile source = OpenProfile(Icc);
    if (!source)
        return Fail(Reason, QStringLiteral("the colour profile cannot be read"));
    const TProfile srgb(cmsCreate_sRGBProfile());
    if (!srgb)
        return Fail(Reason, QStringLiteral("out of memory for the sRGB profile"));
    // 0xAARRGGBB words lie in memory as B, G, R, A on the little-endian
    // machines Qt runs on here; alpha is copied, never converted.
    const cmsUInt32Number layout = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TYPE_BGRA_8 : TYPE_ARGB_8;
    const TTransform transform(cmsCreateTransform(source.get(), layout, srgb.get(), layout,
                                                  INTENT_RELATIVE_COLORIMETRIC,
                                                  cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA));
    if (!transform)
        return Fail(Reason, QStringLiteral("the colour profile cannot be converted to sRGB"));
    for (int y = 0; y < Image.height(); ++y) {
        uchar* line = Image.scanLine(y);
        if (!line)
            return Fail(Reason, QStringLiteral("out of memory converting the picture"));
        cmsDoTransform(transform.get(), line, line, cmsUInt32Number(Image.width()));
    }
    return true;
}
