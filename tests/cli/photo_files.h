#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Photo files as cameras and phones make them, built in the test: RGB
// profiles from LittleCMS, EXIF from libexif, HEIF from libheif's encoder.

// An RGB profile with the given primaries (x, y of red, green, blue) and a
// D65 white. TableEntries 0 gives a gamma curve of 2.2; more gives curves
// tabulated with that many entries, which makes the profile large (over
// 64 KiB from about 33,000 entries, the three channels sharing one curve:
// several JPEG segments).
struct TPrimaries {
    double Red[2], Green[2], Blue[2];
};
inline constexpr TPrimaries AdobeLikePrimaries{{0.64, 0.33}, {0.21, 0.71}, {0.15, 0.06}};
inline constexpr TPrimaries P3LikePrimaries{{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}};
QByteArray MakeRgbProfile(const TPrimaries& Primaries, int TableEntries = 0);

// A photo-like opaque picture (the test data's JPEG, cut to Size).
QImage PhotoPicture(QSize Size);

// A picture of saturated colours (every hue across, darker to lighter
// down), where a change of primaries shows most.
QImage SaturatedPicture(QSize Size);

// The file Qt's writer makes of Picture in Format ("jpeg", "png") with Icc
// embedded (none when empty).
QByteArray ProfiledFile(const QImage& Picture, const QByteArray& Icc, const char* Format);

// An EXIF packet (a TIFF structure, without "Exif\0\0") with Orientation,
// Copyright and the pixel dimensions Size.
QByteArray MakeExif(int Orientation, const QString& Copyright, QSize Size);

// Jpeg with one more segment right after its start of image.
QByteArray WithJpegSegment(const QByteArray& Jpeg, unsigned char Marker, const QByteArray& Payload);
// Png with one more chunk right after its header.
QByteArray WithPngChunk(const QByteArray& Png, const QByteArray& Type, const QByteArray& Data);

// The EXIF tags read back by libexif: empty strings when missing.
struct TExifFacts {
    QString Copyright;
    int Orientation = 0;
    int PixelWidth = 0;
    int PixelHeight = 0;
};
TExifFacts ReadExifFacts(const QByteArray& Exif);

// Whether libheif here can encode HEVC (HEIC) or AV1 (AVIF).
bool CanEncodeHeic();
// A HEIC file of Picture (lossless where the encoder offers it) with Icc
// and Exif attached; empty when the encoder is missing or fails.
QByteArray MakeHeic(const QImage& Picture, const QByteArray& Icc, const QByteArray& Exif);

// Picture's colours converted from Icc to sRGB by LittleCMS, as a reference.
QImage ConvertedToSrgb(const QImage& Picture, const QByteArray& Icc);

// Peak signal-to-noise ratio of B against A over R, G and B (same sizes).
double Psnr(const QImage& A, const QImage& B);

bool WriteFile(const QString& FileName, const QByteArray& Bytes);
