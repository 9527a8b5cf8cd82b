#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class QImage;

// Whether LittleCMS opens Icc as a profile of RGB colours, the only kind
// that may be attached to the RGB pictures written here.
bool IccProfileOpens(const QByteArray& Icc);

// Converts 0xAARRGGBB pixels from a profile's colours to sRGB, alpha
// untouched: for the formats that hold no profile and for pictures whose
// profile is stripped. One conversion may serve rows from any thread, one
// call at a time or several.
class TSrgbConversion
{
  public:
    explicit TSrgbConversion(const QByteArray& Icc);
    ~TSrgbConversion();
    TSrgbConversion(const TSrgbConversion&) = delete;
    TSrgbConversion& operator=(const TSrgbConversion&) = delete;

    // False when the profile cannot be used; Reason says why.
    bool Valid() const { return FTransform != nullptr; }
    QString Reason() const { return FReason; }

    void Convert(std::uint32_t* Pixels, int Count) const;

  private:
    void* FTransform = nullptr;
    QString FReason;
};

// Converts Image's colours (Format_ARGB32 or Format_RGB32) from Icc's to
// sRGB in place, alpha untouched. False, with Reason, when the profile
// cannot be used; Image is then unchanged.
bool ConvertToSrgb(QImage& Image, const QByteArray& Icc, QString* Reason = nullptr);
