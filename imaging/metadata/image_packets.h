#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a picture file says about its pixels besides the pixels: the colour
// profile and the metadata packets, as the bytes they are, moved between
// containers without being read beyond what moving them needs.
struct TImagePackets {
    QByteArray Icc;      // the embedded ICC profile, whole
    QByteArray Exif;     // a TIFF structure ("II*\0" or "MM\0*"), without JPEG's "Exif\0\0"
    QByteArray Xmp;      // the XMP packet (XML)
    QByteArray Iptc;     // IPTC in Photoshop's image resource block (JPEG APP13 "Photoshop 3.0")
    bool Srgb = false;   // a PNG sRGB chunk: the pixels are sRGB and say so
    QStringList Dropped; // what was found but not taken, and why ("the ICC profile: ...")

    bool IsEmpty() const
    {
        return Icc.isEmpty() && Exif.isEmpty() && Xmp.isEmpty() && Iptc.isEmpty() && !Srgb;
    }
};

// The largest packet of metadata taken from a file; a larger one is dropped
// with a warning. ICC profiles may be larger (LUT-based printer profiles).
inline constexpr qsizetype MaxMetadataPacketBytes = 1 << 20;
inline constexpr qsizetype MaxIccProfileBytes = 16 << 20;

// The packets of a JPEG, PNG, WebP or TIFF file (for TIFF: the profile, XMP
// and IPTC of the first directory). Damaged or hostile containers give what
// could be read whole; a packet that fails its checks is left out and named
// in Dropped.
TImagePackets ReadImagePackets(const QByteArray& File);

// Keeps only the packets that pass their checks, naming the others in
// Packets.Dropped: an ICC profile whose header length differs from its size
// or that LittleCMS cannot open, packets over the size limits.
void CheckImagePackets(TImagePackets& Packets);
