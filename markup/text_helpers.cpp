#include "markup/text_helpers.h"

#include <cstdint>

namespace
{

// Replaces every case-insensitive occurrence, left to right. Used only for
// patterns that cannot overlap themselves and replacements that cannot form a
// new occurrence, where it gives the same text as replacing the first
// occurrence again and again, without the quadratic cost on long texts.
QString ReplaceEveryText(const QString& Pattern, const QString& Replacement, const QString& Text)
{
    const QString upperText = UpperCaseAscii(Text);
    const QString upperPattern = UpperCaseAscii(Pattern);
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype found = upperText.indexOf(upperPattern, from);
        if (found < 0)
            break;
        result += QStringView(Text).mid(from, found - from);
        result += Replacement;
        from = found + Pattern.size();
    }
    if (from == 0)
        return Text;
    result += QStringView(Text).mid(from);
    return result;
}

// Text without the sections from Open to the next Close after it. An Open
// with no Close after it stays, with everything after it.
QString DropSections(const QString& Text, QStringView Open, QStringView Close)
{
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = Text.indexOf(Open, from);
        if (open < 0)
            break;
        const qsizetype close = Text.indexOf(Close, open + Open.size());
        if (close < 0)
            break;
        result += QStringView(Text).mid(from, open - from);
        from = close + Close.size();
    }
    if (from == 0)
        return Text;
    result += QStringView(Text).mid(from);
    return result;
}

int DigitValue(QChar C, int Base)
{
    const char16_t c = C.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (Base == 16 && c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (Base == 16 && c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

int IndexOfText(const QString& Pattern, const QString& Text)
{
    if (Pattern.isEmpty() || Pattern.size() > Text.size())
        return 0;
    // Compared in place: tags are searched for several attributes each, and
    // upper-casing copies of both texts for every search dominated the cost.
    const auto upper = [](QChar C) {
        const char16_t c = C.unicode();
        return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
    };
    const char16_t first = upper(Pattern[0]);
    const qsizetype last = Text.size() - Pattern.size();
    for (qsizetype i = 0; i <= last; ++i) {
        if (upper(Text[i]) != first)
            continue;
        qsizetype k = 1;
        while (k < Pattern.size() && upper(Text[i + k]) == upper(Pattern[k]))
            ++k;
        if (k == Pattern.size())
            return int(i + 1);
    }
    return 0;
}

bool ReplaceFirstText(const QString& Pattern, const QString& Replacement, QString& Text)
{
    const int position = IndexOfText(Pattern, Text);
    if (position == 0)
        return false;
    Text.replace(position - 1, Pattern.size(), Replacement);
    return true;
}

int IntValue(const QString& Text, bool* WholeText)
{
    const qsizetype length = Text.size();
    qsizetype i = 0;
    while (i < length && Text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < length && (Text[i] == u'+' || Text[i] == u'-')) {
        negative = Text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < length && Text[i] == u'$') {
        base = 16;
        ++i;
    }
    // Hexadecimal values fill all 32 bits ("$FFFFFFFF" is -1); decimal ones
    // reach down to the most negative 32-bit number.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
    const qsizetype firstDigit = i;
    std::uint64_t magnitude = 0;
    for (; i < length; ++i) {
        const int digit = DigitValue(Text[i], base);
        if (digit < 0)
            break;
        const std::uint64_t next = magnitude * std::uint64_t(base) + std::uint64_t(digit);
        if (next > limit)
            break;
        magnitude = next;
    }
    if (WholeText)
        *WholeText = i > firstDigit && i == length;
    std::uint32_t bits = std::uint32_t(magnitude);
    if (negative)
        bits = 0u - bits;
    return std::int32_t(bits);
}

QString LineBreaksToMarkup(const QString& Text, bool Convert)
{
    QString result;
    result.reserve(Text.size());
    for (const QChar c : Text) {
        if (c == u'\r') {
            if (Convert)
                result += u"<BR>";
        } else if (c != u'\n') {
            result += c;
        }
    }
    return result;
}

QString UnwrapHashTag(const QString& Text)
{
    const qsizetype start = Text.indexOf(u"<#");
    if (start < 0)
        return Text;
    QString result = Text;
    result.remove(start, 1);
    const qsizetype close = result.indexOf(u'>', start);
    if (close >= 0)
        result.remove(close, 1);
    return result;
}

QString StripMarkup(const QString& Text)
{
    // 1. Line-break and rule tags, in any case, become CR LF.
    QString text = ReplaceEveryText(QStringLiteral("<BR>"), QStringLiteral("\r\n"), Text);
    text = ReplaceEveryText(QStringLiteral("<HR>"), QStringLiteral("\r\n"), text);

    // 2./3. Hidden sections, each case on its own: "<z>" is only closed by
    // "</z>" and "<Z>" only by "</Z>". The text between sections still goes
    // through the tag step, so tags before a hidden section do not survive.
    text = DropSections(text, u"<z>", u"</z>");
    text = DropSections(text, u"<Z>", u"</Z>");

    QString result;
    qsizetype from = 0;
    // 4. Tags; a "<" without a ">" after it keeps the rest of the text.
    for (;;) {
        const qsizetype open = text.indexOf(u'<', from);
        if (open < 0)
            break;
        result += QStringView(text).mid(from, open - from);
        const qsizetype close = text.indexOf(u'>', open + 1);
        if (close < 0) {
            from = open;
            break;
        }
        from = close + 1;
    }
    // 5. What remains.
    result += QStringView(text).mid(from);
    return result;
}

QString RemoveBlanks(const QString& Text)
{
    QString result = Text;
    result.remove(u' ');
    return result;
}
