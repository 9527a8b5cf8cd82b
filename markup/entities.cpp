#include "markup/entities.h"

#include "markup/text_helpers.h"

namespace
{

struct TEntity {
    QStringView Name; // lower case, from "&" to ";"
    QStringView Replacement;
};

// The order in which one round replaces them.
const TEntity TextEntities[] = {
    {u"&amp;", u"&&"},        {u"&quot;", u"\""},      {u"&sect;", u"\u00A7"},
    {u"&permil;", u"\u2030"}, {u"&reg;", u"\u00AE"},   {u"&copy;", u"\u00A9"},
    {u"&para;", u"\u00B6"},   {u"&trade;", u"\u2122"}, {u"&euro;", u"\u20AC"},
};

const TEntity RunEntities[] = {
    {u"&nbsp;", u" "},
    {u"&lt;", u"<"},
    {u"&gt;", u">"},
};

char16_t UpperAscii(char16_t C)
{
    return C >= u'a' && C <= u'z' ? char16_t(C - (u'a' - u'A')) : C;
}

bool EndsWithText(const QString& Text, QStringView Name)
{
    if (Text.size() < Name.size())
        return false;
    const qsizetype start = Text.size() - Name.size();
    for (qsizetype i = 0; i < Name.size(); ++i) {
        if (UpperAscii(Text[start + i].unicode()) != UpperAscii(Name[i].unicode()))
            return false;
    }
    return true;
}

// The run's occurrences of Name in any case, from the first up to and
// including the last lower-case one, are replaced. That is what replacing the
// first occurrence while a lower-case one is left amounts to, since entities
// cannot overlap and the replacements cannot form a new one.
QString ReplaceUpToLastLowerCase(const QString& Run, const TEntity& Entity)
{
    const qsizetype last = Run.lastIndexOf(Entity.Name);
    if (last < 0)
        return Run;
    const QString upperRun = UpperCaseAscii(Run);
    const QString upperName = UpperCaseAscii(Entity.Name.toString());
    QString result;
    qsizetype from = 0;
    while (from <= last) {
        const qsizetype found = upperRun.indexOf(upperName, from);
        if (found < 0 || found > last)
            break;
        result += QStringView(Run).mid(from, found - from);
        result += Entity.Replacement;
        from = found + Entity.Name.size();
    }
    result += QStringView(Run).mid(from);
    return result;
}

} // namespace

bool DrawsAmpersandsLiterally(const QString& Markup)
{
    return Markup.contains(u" & ");
}

QString ReplaceEntities(const QString& Markup)
{
    // Replacing the first occurrence of each entity, round after round until a
    // round finds none, ends in the text in which no entity is left. Entities
    // cannot overlap and every replacement shortens the text, so that text is
    // the same whatever order the replacements are made in; building it in one
    // pass keeps long texts fast. An entity can only be completed by its ";",
    // so the end of the result is checked each time a ";" is added, and the
    // replacement stays open to the text that follows ("&&" + "copy;").
    QString result;
    result.reserve(Markup.size());
    qsizetype from = 0;
    while (from < Markup.size()) {
        const qsizetype semicolon = Markup.indexOf(u';', from);
        const qsizetype end = semicolon < 0 ? Markup.size() : semicolon + 1;
        result += QStringView(Markup).mid(from, end - from);
        from = end;
        if (semicolon < 0)
            break;
        for (const TEntity& entity : TextEntities) {
            if (EndsWithText(result, entity.Name)) {
                result.chop(entity.Name.size());
                result += entity.Replacement;
                break;
            }
        }
    }
    return result;
}

QString ReplaceRunEntities(const QString& Run)
{
    QString result = Run;
    for (const TEntity& entity : RunEntities)
        result = ReplaceUpToLastLowerCase(result, entity);
    return result;
}

TNormalizedMarkup NormalizeMarkup(const QString& Markup)
{
    TNormalizedMarkup normalized;
    normalized.LiteralAmpersands = DrawsAmpersandsLiterally(Markup);
    QString text = Markup.contains(u'&') ? ReplaceEntities(Markup) : Markup;
    text = UnwrapHashTag(text);
    normalized.Text = LineBreaksToMarkup(text, true);
    return normalized;
}
