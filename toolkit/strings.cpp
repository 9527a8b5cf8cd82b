#include "toolkit/strings.h"

#include <stdexcept>

QString TStrings::Strings(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return Items.at(Index);
}

void TStrings::Add(const QString& Line)
{
    Items.append(Line);
    Changed();
}

void TStrings::Clear()
{
    Items.clear();
    Changed();
}

void TStrings::SetLines(const QStringList& Lines)
{
    Items = Lines;
    Changed();
}

QString TStrings::Text() const
{
    QString text;
    for (const QString& line : Items) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

void TStrings::SetText(const QString& Text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = Text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = Text[i];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(Text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && Text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(Text.mid(start));
    SetLines(lines);
}

void TStrings::CopyFrom(const TPersistent* Source)
{
    const auto* source = qobject_cast<const TStrings*>(Source);
    if (!source || source == this)
        return;
    SetLines(source->Items);
}

void TStrings::Changed()
{
    if (OnChange)
        OnChange(this);
}
