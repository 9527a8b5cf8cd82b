#include "markup/markup_colors.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>

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

// The colour keywords of CSS and SVG, as web pages and drawing programs name
// colours; in alphabetical order, values as 0xRRGGBB.
struct TWebColor {
    const char16_t* Name;
    std::uint32_t Rgb;
};

const TWebColor WebColors[] = {
    {u"aliceblue", 0xF0F8FF},
    {u"antiquewhite", 0xFAEBD7},
    {u"aqua", 0x00FFFF},
    {u"aquamarine", 0x7FFFD4},
    {u"azure", 0xF0FFFF},
    {u"beige", 0xF5F5DC},
    {u"bisque", 0xFFE4C4},
    {u"black", 0x000000},
    {u"blanchedalmond", 0xFFEBCD},
    {u"blue", 0x0000FF},
    {u"blueviolet", 0x8A2BE2},
    {u"brown", 0xA52A2A},
    {u"burlywood", 0xDEB887},
    {u"cadetblue", 0x5F9EA0},
    {u"chartreuse", 0x7FFF00},
    {u"chocolate", 0xD2691E},
    {u"coral", 0xFF7F50},
    {u"cornflowerblue", 0x6495ED},
    {u"cornsilk", 0xFFF8DC},
    {u"crimson", 0xDC143C},
    {u"cyan", 0x00FFFF},
    {u"darkblue", 0x00008B},
    {u"darkcyan", 0x008B8B},
    {u"darkgoldenrod", 0xB8860B},
    {u"darkgray", 0xA9A9A9},
    {u"darkgreen", 0x006400},
    {u"darkgrey", 0xA9A9A9},
    {u"darkkhaki", 0xBDB76B},
    {u"darkmagenta", 0x8B008B},
    {u"darkolivegreen", 0x556B2F},
    {u"darkorange", 0xFF8C00},
    {u"darkorchid", 0x9932CC},
    {u"darkred", 0x8B0000},
    {u"darksalmon", 0xE9967A},
    {u"darkseagreen", 0x8FBC8F},
    {u"darkslateblue", 0x483D8B},
    {u"darkslategray", 0x2F4F4F},
    {u"darkslategrey", 0x2F4F4F},
    {u"darkturquoise", 0x00CED1},
    {u"darkviolet", 0x9400D3},
    {u"deeppink", 0xFF1493},
    {u"deepskyblue", 0x00BFFF},
    {u"dimgray", 0x696969},
    {u"dimgrey", 0x696969},
    {u"dodgerblue", 0x1E90FF},
    {u"firebrick", 0xB22222},
    {u"floralwhite", 0xFFFAF0},
    {u"forestgreen", 0x228B22},
    {u"fuchsia", 0xFF00FF},
    {u"gainsboro", 0xDCDCDC},
    {u"ghostwhite", 0xF8F8FF},
    {u"gold", 0xFFD700},
    {u"goldenrod", 0xDAA520},
    {u"gray", 0x808080},
    {u"green", 0x008000},
    {u"greenyellow", 0xADFF2F},
    {u"grey", 0x808080},
    {u"honeydew", 0xF0FFF0},
    {u"hotpink", 0xFF69B4},
    {u"indianred", 0xCD5C5C},
    {u"indigo", 0x4B0082},
    {u"ivory", 0xFFFFF0},
    {u"khaki", 0xF0E68C},
    {u"lavender", 0xE6E6FA},
    {u"lavenderblush", 0xFFF0F5},
    {u"lawngreen", 0x7CFC00},
    {u"lemonchiffon", 0xFFFACD},
    {u"lightblue", 0xADD8E6},
    {u"lightcoral", 0xF08080},
    {u"lightcyan", 0xE0FFFF},
    {u"lightgoldenrodyellow", 0xFAFAD2},
    {u"lightgray", 0xD3D3D3},
    {u"lightgreen", 0x90EE90},
    {u"lightgrey", 0xD3D3D3},
    {u"lightpink", 0xFFB6C1},
    {u"lightsalmon", 0xFFA07A},
    {u"lightseagreen", 0x20B2AA},
    {u"lightskyblue", 0x87CEFA},
    {u"lightslategray", 0x778899},
    {u"lightslategrey", 0x778899},
    {u"lightsteelblue", 0xB0C4DE},
    {u"lightyellow", 0xFFFFE0},
    {u"lime", 0x00FF00},
    {u"limegreen", 0x32CD32},
    {u"linen", 0xFAF0E6},
    {u"magenta", 0xFF00FF},
    {u"maroon", 0x800000},
    {u"mediumaquamarine", 0x66CDAA},
    {u"mediumblue", 0x0000CD},
    {u"mediumorchid", 0xBA55D3},
    {u"mediumpurple", 0x9370DB},
    {u"mediumseagreen", 0x3CB371},
    {u"mediumslateblue", 0x7B68EE},
    {u"mediumspringgreen", 0x00FA9A},
    {u"mediumturquoise", 0x48D1CC},
    {u"mediumvioletred", 0xC71585},
    {u"midnightblue", 0x191970},
    {u"mintcream", 0xF5FFFA},
    {u"mistyrose", 0xFFE4E1},
    {u"moccasin", 0xFFE4B5},
    {u"navajowhite", 0xFFDEAD},
    {u"navy", 0x000080},
    {u"oldlace", 0xFDF5E6},
    {u"olive", 0x808000},
    {u"olivedrab", 0x6B8E23},
    {u"orange", 0xFFA500},
    {u"orangered", 0xFF4500},
    {u"orchid", 0xDA70D6},
    {u"palegoldenrod", 0xEEE8AA},
    {u"palegreen", 0x98FB98},
    {u"paleturquoise", 0xAFEEEE},
    {u"palevioletred", 0xDB7093},
    {u"papayawhip", 0xFFEFD5},
    {u"peachpuff", 0xFFDAB9},
    {u"peru", 0xCD853F},
    {u"pink", 0xFFC0CB},
    {u"plum", 0xDDA0DD},
    {u"powderblue", 0xB0E0E6},
    {u"purple", 0x800080},
    {u"rebeccapurple", 0x663399},
    {u"red", 0xFF0000},
    {u"rosybrown", 0xBC8F8F},
    {u"royalblue", 0x4169E1},
    {u"saddlebrown", 0x8B4513},
    {u"salmon", 0xFA8072},
    {u"sandybrown", 0xF4A460},
    {u"seagreen", 0x2E8B57},
    {u"seashell", 0xFFF5EE},
    {u"sienna", 0xA0522D},
    {u"silver", 0xC0C0C0},
    {u"skyblue", 0x87CEEB},
    {u"slateblue", 0x6A5ACD},
    {u"slategray", 0x708090},
    {u"slategrey", 0x708090},
    {u"snow", 0xFFFAFA},
    {u"springgreen", 0x00FF7F},
    {u"steelblue", 0x4682B4},
    {u"tan", 0xD2B48C},
    {u"teal", 0x008080},
    {u"thistle", 0xD8BFD8},
    {u"tomato", 0xFF6347},
    {u"turquoise", 0x40E0D0},
    {u"violet", 0xEE82EE},
    {u"wheat", 0xF5DEB3},
    {u"white", 0xFFFFFF},
    {u"whitesmoke", 0xF5F5F5},
    {u"yellow", 0xFFFF00},
    {u"yellowgreen", 0x9ACD32},
};

// The keyword's value as a colour value (red in the low byte), or nothing.
std::optional<TColor> WebColor(const QString& Name)
{
    const auto* end = std::end(WebColors);
    const auto* found =
        std::lower_bound(std::begin(WebColors), end, Name, [](const TWebColor& Entry, const QString& Key) {
            return QStringView(Entry.Name) < QStringView(Key);
        });
    if (found == end || QStringView(found->Name) != QStringView(Name))
        return std::nullopt;
    const std::uint32_t rgb = found->Rgb;
    return TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

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
    return WebColor(Name).value_or(clBlack);
}
