#include "imaging/codecs/damage_checks.h"

#include "imaging/codecs/bmp_checks.h"
#include "imaging/codecs/gif_checks.h"
#include "imaging/codecs/png_checks.h"

QString FindDamage(const QByteArray& Data, const QByteArray& Format, bool* Unreadable)
{
    if (Unreadable)
        *Unreadable = false;
    if (Format == "png")
        return FindPngDamage(Data, Unreadable);
    if (Format == "gif")
        return FindGifDamage(Data);
    if (Format == "bmp")
        return FindBmpDamage(Data);
    return {};
}
