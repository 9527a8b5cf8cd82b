#include "markup/markup_colors.h"

#include <cstdint>

namespace
{

struct TNamedColor {
    const char16_t* Name;
    TColor Color;
};

const TNamedColor NamedColors[] = {
    {u"clred", clRed},
    {u"clblack", clBlack},
    {u"clblue", clBlue},
    {u"clgreen", clGreen},
    {u"claqua", clAqua},
    {u"clyellow", clYellow},
    {u"clfuchsia", clFuchsia},
    {u"clwhite", clWhite},
    {u"cllime", clLime},
    {u"clsilver", clSilver},
    {u"clgray", clGray},
    {u"clolive", clOlive},
    {u"clnavy", clNavy},
    {u"clpurple", clPurple},
    {u"clteal", clTeal},
    {u"clmaroon", clMaroon},
    {u"clbackground", clSystemColor | COLOR_BACKGROUND},
    {u"clactivecaption", clSystemColor | COLOR_ACTIVECAPTION},
    {u"clinactivecaption", clSystemColor | COLOR_INACTIVECAPTION},
    {u"clmenu", clSystemColor | COLOR_MENU},
    {u"clwindow", clSystemColor | COLOR_WINDOW},
    {u"clwindowframe", clSystemColor | COLOR_WINDOWFRAME},
    {u"clmenutext", clSystemColor | COLOR_MENUTEXT},
    {u"clwindowtext", clSystemColor | COLOR_WINDOWTEXT},
    {u"clcaptiontext", clSystemColor | COLOR_CAPTIONTEXT},
    {u"clactiveborder", clSystemColor | COLOR_ACTIVEBORDER},
    {u"clinactiveborder", clSystemColor | COLOR_INACTIVEBORDER},
    {u"clappworkspace", clSystemColor | COLOR_APPWORKSPACE},
    {u"clhighlight", clSystemColor | COLOR_HIGHLIGHT},
    {u"clhighlighttext", clSystemColor | COLOR_HIGHLIGHTTEXT},
    {u"clbtnface", clSystemColor | COLOR_BTNFACE},
    {u"clbtnshadow", clSystemColor | COLOR_BTNSHADOW},
    {u"clgraytext", clSystemColor | COLOR_GRAYTEXT},
    {u"clbtntext", clSystemColor | COLOR_BTNTEXT},
    {u"clinactivecaptiontext", clSystemColor | COLOR_INACTIVECAPTIONTEXT},
    {u"clbtnhighlight", clSystemColor | COLOR_BTNHIGHLIGHT},
    {u"cl3ddkshadow", clSystemColor | COLOR_3DDKSHADOW},
    {u"cl3dlight", clSystemColor | COLOR_3DLIGHT},
    {u"clinfotext", clSystemColor | COLOR_INFOTEXT},
    {u"clinfobk", clSystemColor | COLOR_INFOBK},
};

// The character's code in code page 1252, where the formula was made for;
// characters that page cannot hold count as "?".
std::int64_t AnsiCode(QChar C)
{
    static const char16_t upperHalfSpecials[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    const char16_t c = C.unicode();
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (upperHalfSpecials[i] == c && c != 0)
            return 0x80 + i;
    }
    return u'?';
}

std::int64_t HexDigitWorth(QChar C)
{
    const std::int64_t code = AnsiCode(C);
    return code < 65 ? code - 48 : code - 55;
}

// Worth of the pair starting at the 0-based Index; 0 when Value ends before it
// is complete.
std::int64_t PairWorth(const QString& Value, qsizetype Index)
{
    if (Index + 1 >= Value.size())
        return 0;
    return 16 * HexDigitWorth(Value[Index]) + HexDigitWorth(Value[Index + 1]);
}

} // namespace

TColor MarkupColor(const QString& Value)
{
    if (Value.isEmpty())
        return clNone;
    if (Value.front() == u'#')
        return HexMarkupColor(Value);
    return NamedMarkupColor(Value.toLower());
}

TColor HexMarkupColor(const QString& Value)
{
    const std::int64_t sum = PairWorth(Value, 1) + 256 * PairWorth(Value, 3) + 65536 * PairWorth(Value, 5);
    return TColor(sum);
}

TColor NamedMarkupColor(const QString& Name)
{
    for (const TNamedColor& entry : NamedColors) {
        if (Name == QStringView(entry.Name))
            return entry.Color;
    }
    return clBlack;
}
