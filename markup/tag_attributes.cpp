#include "markup/tag_attributes.h"

#include "markup/tag_recognition.h"
#include "markup/text_helpers.h"

namespace
{

// The text between the first two double quotes at or after the 0-based From.
QString QuotedText(const QString& Text, qsizetype From)
{
    const qsizetype open = Text.indexOf(u'"', From);
    if (open < 0)
        return {};
    const qsizetype close = Text.indexOf(u'"', open + 1);
    if (close < 0)
        return {};
    return Text.mid(open + 1, close - open - 1);
}

} // namespace

QString TagAttributes(const QString& Markup, int Skip)
{
    return TagText(Markup).mid(Skip);
}

bool HasAttribute(const QString& Attributes, const QString& Name)
{
    return IndexOfText(Name, Attributes) > 0;
}

QString AttributeValue(const QString& Attributes, const QString& Name, TValueCase Case)
{
    const int position = IndexOfText(Name, Attributes);
    if (position == 0)
        return {};
    const QString& source = Case == TValueCase::Upper ? UpperCaseAscii(Attributes) : Attributes;
    return QuotedText(source, position - 1 + Name.size());
}

std::optional<int> SizeAttribute(const QString& Attributes)
{
    const int position = IndexOfText(QStringLiteral("SIZE"), Attributes);
    if (position == 0)
        return std::nullopt;
    QString rest = Attributes.mid(position - 1 + 4);
    rest = rest.mid(rest.indexOf(u'=') + 1);
    const qsizetype quote = rest.indexOf(u'"');
    if (quote >= 0)
        rest = rest.mid(quote + 1);
    return IntValue(rest);
}

int FontSizeFromMarkup(int Size)
{
    switch (Size) {
    case 1:
        return 8;
    case 2:
        return 10;
    case 3:
        return 12;
    case 4:
        return 14;
    case 5:
        return 16;
    default:
        return Size;
    }
}

QString AnchorTarget(const QString& Markup)
{
    return QuotedText(TagText(Markup), 0);
}

QString LetterValue(const QString& Markup, char16_t Letter)
{
    const QString tag = TagText(Markup);
    const QChar lower = QChar(Letter).toLower(), upper = QChar(Letter).toUpper();
    for (qsizetype i = ShortTagPrefix; i < tag.size(); ++i) {
        if (tag[i] == lower || tag[i] == upper)
            return QuotedText(tag, i + 2);
    }
    return {};
}
